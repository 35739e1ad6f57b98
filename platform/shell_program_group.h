// The shell's program groups: the installer hands it commands of the forms
// [CreateGroup("name")] and [AddItem("command line","caption")]. On Windows
// the shell's DDE service "PROGMAN" takes them; each command runs in a
// conversation of its own.
#pragma once

#include <string_view>

namespace qv {

class ShellProgramGroup {
 public:
  virtual ~ShellProgramGroup() = default;
  // Starts a client of the shell; false when that is not possible at all.
  virtual bool Begin() = 0;
  // One command; true when the shell accepted it.
  virtual bool Execute(std::string_view command) = 0;
  virtual void End() = 0;
};

}  // namespace qv
