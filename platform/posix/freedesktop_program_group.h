// The shell's program group on Linux: the two command forms the installer
// sends, [CreateGroup("name")] and [AddItem("command line","caption")],
// become the user's freedesktop menu files. A group is a .directory file
// under $XDG_DATA_HOME/desktop-directories and a .menu file under
// $XDG_CONFIG_HOME/menus/applications-merged that places it in the
// applications menu; an item is a .desktop file under
// $XDG_DATA_HOME/applications. File names come from the group and caption,
// so a second installation rewrites the same files: the group is reused and
// each item replaced. Windows paths in command lines are mapped to the home.
#pragma once

#include <filesystem>
#include <string>

#include "platform/posix/windows_path.h"
#include "platform/shell_program_group.h"

namespace qv::posix {

class FreedesktopProgramGroup final : public ShellProgramGroup {
 public:
  FreedesktopProgramGroup(WindowsPathMap paths, std::filesystem::path configHome, std::filesystem::path dataHome);
  // The current user's home and XDG folders.
  static FreedesktopProgramGroup ForCurrentUser();

  // False without a home to write the menu files into.
  bool Begin() override;
  // True when the command was understood and its files written. An item
  // before any group has no group to go into and is refused, as the
  // Windows shell refuses it without a group to add to.
  bool Execute(std::string_view command) override;
  void End() override {}

  // Where the files of a group and of one of its items go.
  std::filesystem::path DirectoryFile(std::string_view group) const;
  std::filesystem::path MenuFile(std::string_view group) const;
  std::filesystem::path DesktopFile(std::string_view group, std::string_view caption) const;

 private:
  bool CreateGroup(std::string_view name);
  bool AddItem(std::string_view commandLine, std::string_view caption);

  WindowsPathMap paths_;
  std::filesystem::path configHome_;
  std::filesystem::path dataHome_;
  std::string group_;
  bool haveGroup_ = false;
};

}  // namespace qv::posix
