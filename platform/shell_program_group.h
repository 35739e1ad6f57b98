// The shell's program groups, in the installer's terms: one group by name,
// then its items, each naming a file of the installation and its caption.
// How a shell shows them is its implementation's affair: on Windows the
// commands of the shell's DDE service "PROGMAN", on Linux the user's menu
// files. The caller owns the texts; an implementation copies what it keeps.
#pragma once

#include <string_view>

namespace qv {

// What an item opens, so that each shell can start it its own way.
enum class GroupItemKind { Program, TextFile };

struct ProgramGroupItem {
  std::string_view caption;
  std::string_view installPath;  // the install directory as the user gave it
  std::string_view fileName;     // relative to installPath, "\" or "/" between names
  GroupItemKind kind = GroupItemKind::Program;
};

// Done: the shell made it. Failed: the shell did not answer or did not
// take it. Refused: this shell cannot carry what it was given (a name its
// syntax cannot hold, a file outside the installation); nothing was sent.
enum class GroupResult { Done, Failed, Refused };

class ShellProgramGroup {
 public:
  virtual ~ShellProgramGroup() = default;
  // Starts a client of the shell; false when that is not possible at all.
  virtual bool Begin() = 0;
  // Creates the group, or opens it when it exists; later items go into it.
  virtual GroupResult CreateGroup(std::string_view name) = 0;
  virtual GroupResult AddItem(const ProgramGroupItem& item) = 0;
  virtual void End() = 0;
};

}  // namespace qv
