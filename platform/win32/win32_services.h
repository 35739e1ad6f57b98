// The setting program's Windows services beside the profile store and the
// switch port: the clock, the registry's printer list and WinExec.
#pragma once

#include <windows.h>

#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/printer_store.h"

namespace qv::win32 {

class Win32Clock final : public Clock {
 public:
  Win32Clock();
  std::uint32_t TickCount() override { return GetTickCount(); }
  std::chrono::nanoseconds PreciseNow() override;

 private:
  LONGLONG frequency_ = 0;
};

// The user's printers under HKEY_CURRENT_USER.
class Win32PrinterStore final : public PrinterStore {
 public:
  static constexpr const char* kDevicesKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
  static constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

  ~Win32PrinterStore() override { CloseDeviceList(); }
  bool OpenDeviceList() override;
  unsigned DeviceCount() override;
  PrinterDeviceEntry Device(unsigned index) override;
  void CloseDeviceList() override;
  bool WriteDefaultDevice(std::string_view value) override;

 private:
  HKEY devices_ = nullptr;
};

class Win32Launcher final : public Launcher {
 public:
  void Start(std::string_view commandLine) override;
};

}  // namespace qv::win32
