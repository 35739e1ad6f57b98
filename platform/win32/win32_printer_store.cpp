#include "platform/win32/win32_printer_store.h"

#include <string>

namespace qv::win32 {

bool Win32PrinterStore::OpenDeviceList() {
  CloseDeviceList();
  return RegOpenKeyExA(HKEY_CURRENT_USER, kDevicesKey, 0, KEY_ALL_ACCESS, &devices_) == ERROR_SUCCESS;
}

unsigned Win32PrinterStore::DeviceCount() {
  DWORD values = 0;
  if (!devices_ || RegQueryInfoKeyA(devices_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                    nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  return values;
}

PrinterDeviceEntry Win32PrinterStore::Device(unsigned index) {
  PrinterDeviceEntry entry;
  if (!devices_) {
    entry.status = ERROR_INVALID_HANDLE;
    return entry;
  }
  // Both capacities start at the full 256 bytes for every entry.
  DWORD dataSize = static_cast<DWORD>(entry.data.size());
  entry.name.FillWith([&](char* buffer, std::size_t size) {
    DWORD nameSize = static_cast<DWORD>(size);
    entry.status = RegEnumValueA(devices_, index, buffer, &nameSize, nullptr, nullptr, entry.data.data(), &dataSize);
  });
  return entry;
}

void Win32PrinterStore::CloseDeviceList() {
  if (devices_) RegCloseKey(devices_);
  devices_ = nullptr;
}

bool Win32PrinterStore::WriteDefaultDevice(std::string_view value) {
  HKEY windows = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kWindowsKey, 0, KEY_ALL_ACCESS, &windows) != ERROR_SUCCESS) return false;
  const std::string text(value);
  RegSetValueExA(windows, "device", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(windows);
  return true;
}

}  // namespace qv::win32
