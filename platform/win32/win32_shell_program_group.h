// The shell's program groups on Windows: a DDEML client of "PROGMAN" that
// sends each group and item as the shell's command text, every command in
// a conversation of its own.
#pragma once

#include <windows.h>

#include <string>

#include "platform/shell_program_group.h"

namespace qv::win32 {

class Win32ShellProgramGroup final : public ShellProgramGroup {
 public:
  static constexpr DWORD kTimeoutMs = 10000;

  ~Win32ShellProgramGroup() override { End(); }
  bool Begin() override;
  GroupResult CreateGroup(std::string_view name) override;
  GroupResult AddItem(const ProgramGroupItem& item) override;
  void End() override;

 private:
  // One command; true when the shell accepted it.
  bool Execute(std::string_view command);

  DWORD instance_ = 0;
  // Where Notepad lies, for the items that open a text file.
  std::string windowsDirectory_;
};

}  // namespace qv::win32
