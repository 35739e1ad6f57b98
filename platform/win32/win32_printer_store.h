// The user's printers as the registry lists them under HKEY_CURRENT_USER,
// and the default printer beside them.
#pragma once

#include <windows.h>

#include "platform/printer_store.h"

namespace qv::win32 {

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

}  // namespace qv::win32
