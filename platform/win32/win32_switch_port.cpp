#include "platform/win32/win32_switch_port.h"

namespace qv::win32 {
namespace {

class Win32PortSession final : public PortSession {
 public:
  Win32PortSession(PortDriver& driver, HANDLE device, std::uint32_t lpt)
      : driver_(driver), device_(device), lpt_(lpt) {}
  ~Win32PortSession() override { driver_.CloseDevice(device_); }
  bool WriteControl(std::uint8_t value) override { return Send(kControlRegister, value); }
  bool WriteData(std::uint8_t value) override { return Send(kDataRegister, value); }

 private:
  bool Send(std::uint32_t registerOffset, std::uint8_t value) {
    driver_.Request(device_, PortIoRequest{lpt_, registerOffset, value}.Serialise());
    return true;
  }

  PortDriver& driver_;
  HANDLE device_;
  std::uint32_t lpt_;
};

}  // namespace

HANDLE Win32PortDriver::OpenDevice() {
  return CreateFileA(kDeviceName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

void Win32PortDriver::Request(HANDLE device, const std::array<std::uint8_t, PortIoRequest::kSize>& request) {
  // DeviceIoControl takes a non-const buffer.
  std::array<std::uint8_t, PortIoRequest::kSize> bytes = request;
  DWORD returned = 0;
  DeviceIoControl(device, kWriteRegister, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, 0, &returned,
                  nullptr);
}

PortOpening Win32SwitchPort::Open(std::uint32_t lpt) {
  const HANDLE device = driver_.OpenDevice();
  if (device == INVALID_HANDLE_VALUE) return {nullptr, PortFailure::kAbsent};
  return {std::make_unique<Win32PortSession>(driver_, device, lpt)};
}

}  // namespace qv::win32
