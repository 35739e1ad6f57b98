// The shell's program groups on Windows: a DDEML client of "PROGMAN".
#pragma once

#include <windows.h>

#include "platform/shell_program_group.h"

namespace qv::win32 {

class Win32ShellProgramGroup final : public ShellProgramGroup {
 public:
  static constexpr DWORD kTimeoutMs = 10000;

  ~Win32ShellProgramGroup() override { End(); }
  bool Begin() override;
  bool Execute(std::string_view command) override;
  void End() override;

 private:
  DWORD instance_ = 0;
};

}  // namespace qv::win32
