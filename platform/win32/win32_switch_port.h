// The switch port of the Windows programs: the switch's kernel-mode port
// driver "\\.\Vornlpt", one DeviceIoControl with a 9-byte request per
// register write. The driver sits behind PortDriver so that tests can see
// the exact requests; Win32PortDriver is the real one.
#pragma once

#include <windows.h>

#include <array>

#include "platform/switch_port.h"
#include "platform/win32/port_io_request.h"

namespace qv::win32 {

class PortDriver {
 public:
  virtual ~PortDriver() = default;
  // INVALID_HANDLE_VALUE when the device cannot be opened.
  virtual HANDLE OpenDevice() = 0;
  virtual void Request(HANDLE device, const std::array<std::uint8_t, PortIoRequest::kSize>& request) = 0;
  virtual void CloseDevice(HANDLE device) = 0;
};

class Win32PortDriver final : public PortDriver {
 public:
  static constexpr const char* kDeviceName = "\\\\.\\Vornlpt";
  static constexpr DWORD kWriteRegister = 0x9C40A440;  // type 0x9C40, function 0x910, buffered, write

  HANDLE OpenDevice() override;
  void Request(HANDLE device, const std::array<std::uint8_t, PortIoRequest::kSize>& request) override;
  void CloseDevice(HANDLE device) override { CloseHandle(device); }
};

class Win32SwitchPort final : public SwitchPort {
 public:
  // `driver` must outlive the port and its sessions.
  explicit Win32SwitchPort(PortDriver& driver) : driver_(driver) {}
  // Any failure to open the driver is kAbsent: without the driver the
  // command is dropped silently, as the Windows program always did. What
  // the driver answers a request is not looked at, so every write succeeds
  // and a refused request never cuts the command short.
  PortOpening Open(std::uint32_t lpt) override;

 private:
  PortDriver& driver_;
};

}  // namespace qv::win32
