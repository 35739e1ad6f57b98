// The installer's file system on Linux. Windows-style paths are mapped by
// WindowsPathMap (drive C: is the home). The Windows directory is the setting
// program's configuration folder and the system directory ~/.local/lib/qv27-518;
// both are made on first use, as they always exist on a PC. A copy expands
// SZDD with libmspack into a temporary file beside the destination and
// renames it into place only when the whole file arrived, so a failed copy
// leaves the old destination as it was. As on Windows, a source missing
// under its own name is looked for under its compressed name, and paths
// longer than 255 characters name no file.
#pragma once

#include <filesystem>

#include "platform/installer_file_system.h"
#include "platform/posix/windows_path.h"

namespace qv::posix {

class PosixInstallerFileSystem final : public InstallerFileSystem {
 public:
  PosixInstallerFileSystem(std::filesystem::path home, std::filesystem::path windowsDirectory,
                           std::filesystem::path systemDirectory);
  // The current user's: home, $XDG_CONFIG_HOME/qv27-518, ~/.local/lib/qv27-518.
  static PosixInstallerFileSystem ForCurrentUser();

  const WindowsPathMap& Paths() const { return paths_; }

  Text256 ModulePath() override;
  bool FileExists(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;
  bool EnterDirectory(std::string_view path) override;
  bool MakeDirectory(std::string_view path) override;
  Text256 WindowsDirectory() override;
  Text256 SystemDirectory() override;
  // Linux has no critical-error prompts to turn off; the mode is kept only.
  void SetCriticalErrorMode(unsigned mode) override { errorMode_ = mode; }
  LzCopyResult CopyExpanded(std::string_view source, std::string_view destination) override;

 private:
  // A descriptor of the source, or -1 with errno set.
  int OpenSource(std::string_view source) const;

  WindowsPathMap paths_;
  std::filesystem::path windowsDirectory_;
  std::filesystem::path systemDirectory_;
  unsigned errorMode_ = 0;
};

}  // namespace qv::posix
