// The installer's file system on Linux. Its own paths are Linux paths; a
// Windows-style one (from the information file, or typed) is mapped by
// WindowsPathMap (drive C: is the home). The Windows directory is the setting
// program's configuration folder and the system directory ~/.local/lib/qv27-518;
// both are made on first use, as they always exist on a PC.
// The medium is untrusted: a source is opened without blocking and copied
// only when it is a regular file, a link only when it ends inside the
// medium's folder, and never more than the size it had when it was opened
// (an SZDD file: its header's length). A copy goes into an unnamed file
// beside the destination that takes the destination's name only when the
// whole file arrived, so a failure (or a kill) leaves the old destination as
// it was and no temporary file behind. Installed files get 0644, or 0755
// for a program, less the umask. As on Windows, a source missing under its
// own name is looked for under its compressed name.
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
  // The program's own path, whose folder is the medium's (the only one whose
  // links a source may follow); the running program's by default.
  void SetModulePath(std::filesystem::path path) { modulePath_ = std::move(path); }

  std::string ModulePath() override;
  bool FileExists(std::string_view path) override;
  std::optional<std::uint64_t> FileSize(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;
  bool EnterDirectory(std::string_view path) override;
  bool MakeDirectory(std::string_view path) override;
  Text256 WindowsDirectory() override;
  Text256 SystemDirectory() override;
  // Linux has no critical-error prompts to turn off; the mode is kept only.
  void SetCriticalErrorMode(unsigned mode) override { errorMode_ = mode; }
  LzCopyResult CopyExpanded(std::string_view source, std::string_view destination) override;
  char Separator() const override { return '/'; }
  std::string ShownPath(std::string_view path) const override;
  // "~" and "~/..." are the home, "C:\..." the home's folders as on the
  // medium, and an absolute Linux path is itself; a relative one is none.
  std::string TypedPath(std::string_view typed) const override;

 private:
  // A descriptor of the source, opened without blocking, or -1 with errno
  // set.
  int OpenSource(std::string_view source);
  int OpenOneSource(const std::filesystem::path& path);

  WindowsPathMap paths_;
  std::filesystem::path modulePath_;
  std::filesystem::path mediumFolder_;
  std::filesystem::path windowsDirectory_;
  std::filesystem::path systemDirectory_;
  unsigned errorMode_ = 0;
};

}  // namespace qv::posix
