#include "platform/win32/win32_services.h"

#include <string>

namespace qv::win32 {
namespace {

class Win32PortSession final : public PortSession {
 public:
  explicit Win32PortSession(HANDLE device) : device_(device) {}
  ~Win32PortSession() override { CloseHandle(device_); }
  void Write(const PortIoRequest& request) override {
    auto bytes = request.Serialise();
    DWORD returned = 0;
    DeviceIoControl(device_, Win32SwitchPort::kWriteRegister, bytes.data(), static_cast<DWORD>(bytes.size()),
                    nullptr, 0, &returned, nullptr);
  }

 private:
  HANDLE device_;
};

}  // namespace

Win32Clock::Win32Clock() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  frequency_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

std::chrono::nanoseconds Win32Clock::PreciseNow() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  // Whole seconds and the rest apart, so that the product cannot overflow.
  const LONGLONG seconds = counter.QuadPart / frequency_;
  const LONGLONG rest = counter.QuadPart % frequency_;
  return std::chrono::nanoseconds(seconds * 1000000000LL + rest * 1000000000LL / frequency_);
}

std::unique_ptr<PortSession> Win32SwitchPort::Open() {
  HANDLE device = CreateFileA(kDeviceName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32PortSession>(device);
}

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

void Win32Launcher::Start(std::string_view commandLine) {
  const std::string line(commandLine);
  WinExec(line.c_str(), SW_SHOWNA);
}

}  // namespace qv::win32
