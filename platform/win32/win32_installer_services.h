// The installer's Windows services: the file system over kernel32 and the
// LZ expansion library, the firmware port table (through selector 0x40 on
// 32-bit x86), and the solid brush that the progress control frames with.
#pragma once

#include <windows.h>

#include "platform/firmware_port_table.h"
#include "platform/installer_file_system.h"
#include "platform/progress_control_class.h"

namespace qv::win32 {

class Win32InstallerFileSystem final : public InstallerFileSystem {
 public:
  Text256 ModulePath() override;
  bool FileExists(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;
  bool EnterDirectory(std::string_view path) override;
  bool MakeDirectory(std::string_view path) override;
  Text256 WindowsDirectory() override;
  Text256 SystemDirectory() override;
  void SetCriticalErrorMode(unsigned mode) override;
  LzCopyResult CopyExpanded(std::string_view source, std::string_view destination) override;
};

class Win32FirmwarePortTable final : public FirmwarePortTable {
 public:
  std::optional<std::array<std::uint16_t, 3>> ReadBaseAddresses() override;
  int CountKnownPorts() override;
};

class Win32Brush final : public PlatformBrush {
 public:
  explicit Win32Brush(HBRUSH handle) : handle_(handle) {}
  ~Win32Brush() override {
    if (handle_) DeleteObject(handle_);
  }
  HBRUSH Handle() const { return handle_; }

 private:
  HBRUSH handle_;
};

std::unique_ptr<PlatformBrush> MakeSolidBrush(std::uint32_t colour);

}  // namespace qv::win32
