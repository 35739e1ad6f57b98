// The scenarios' driver for the real QV27-518.exe under Wine, with what only
// that host has: the running program and its dialog's window.
#pragma once

#include <windows.h>

#include <memory>

#include "tests/support/program_driver.h"
#include "tests/wine/program_driver.h"

namespace qv::testing {

// The registry key whose "device" value is Windows' default printer.
inline constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

class WineSettingDriver : public ProgramDriver {
 public:
  // While Run runs its scenario.
  virtual HWND Dialog() = 0;
  virtual wine::RunningProgram& Program() = 0;
};

std::unique_ptr<WineSettingDriver> MakeWineSettingDriver();

}  // namespace qv::testing
