// The shell's program group on Linux: the user's freedesktop menu files. A
// group is a .directory file under $XDG_DATA_HOME/desktop-directories and a
// .menu file under $XDG_CONFIG_HOME/menus/applications-merged that places it
// in the applications menu; an item is a .desktop file under
// $XDG_DATA_HOME/applications, its icon in the user's hicolor icon theme.
// File names come from the group and caption, so a second installation
// rewrites the same files: the group is reused and each item replaced.
// Names on the medium are Windows-1252 and are shown in UTF-8; install paths
// in Windows form are mapped to the home.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/posix/windows_path.h"
#include "platform/shell_program_group.h"

namespace qv::posix {

class FreedesktopProgramGroup final : public ShellProgramGroup {
 public:
  // The icon sizes looked for beside a program, as <program>-<N>.png.
  static constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

  FreedesktopProgramGroup(WindowsPathMap paths, std::filesystem::path configHome, std::filesystem::path dataHome);
  // The current user's home and XDG folders.
  static FreedesktopProgramGroup ForCurrentUser();

  // False without a home to write the menu files into.
  bool Begin() override;
  GroupResult CreateGroup(std::string_view name) override;
  // Refused before any group (it would have no group to go into, as the
  // Windows shell has none to add to), and for a file that does not lie
  // inside the installation or whose path no menu file can hold.
  GroupResult AddItem(const ProgramGroupItem& item) override;
  void End() override {}

  // Where the files of a group and of one of its items go, and the name of
  // an item's own icon in the theme.
  std::filesystem::path DirectoryFile(std::string_view group) const;
  std::filesystem::path MenuFile(std::string_view group) const;
  std::filesystem::path DesktopFile(std::string_view group, std::string_view caption) const;
  static std::string IconName(std::string_view group, std::string_view caption);
  std::filesystem::path IconFile(std::string_view group, std::string_view caption, int size) const;

 private:
  // The installed file an item names, or nothing when it lies outside the
  // installation.
  std::optional<std::filesystem::path> ItemFile(const ProgramGroupItem& item) const;
  // Copies the program's own icons into the theme; false when it has none.
  bool InstallIcons(const std::filesystem::path& program, std::string_view caption) const;

  WindowsPathMap paths_;
  std::filesystem::path configHome_;
  std::filesystem::path dataHome_;
  std::string group_;
  bool haveGroup_ = false;
};

}  // namespace qv::posix
