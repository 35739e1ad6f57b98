// The installer's file system on Windows: directories through kernel32, and
// the copy of a file, expanded through the LZ library when it is compressed.
#pragma once

#include "platform/installer_file_system.h"

namespace qv::win32 {

class Win32InstallerFileSystem final : public InstallerFileSystem {
 public:
  std::string ModulePath() override;
  bool FileExists(std::string_view path) override;
  std::optional<std::uint64_t> FileSize(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;
  bool EnterDirectory(std::string_view path) override;
  bool MakeDirectory(std::string_view path) override;
  Text256 WindowsDirectory() override;
  Text256 SystemDirectory() override;
  void SetCriticalErrorMode(unsigned mode) override;
  LzCopyResult CopyExpanded(std::string_view source, std::string_view destination) override;
};

}  // namespace qv::win32
