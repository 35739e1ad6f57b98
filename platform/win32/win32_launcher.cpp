#include "platform/win32/win32_launcher.h"

#include <windows.h>

#include <string>

namespace qv::win32 {

void Win32Launcher::Start(std::string_view commandLine) {
  const std::string line(commandLine);
  WinExec(line.c_str(), SW_SHOWNA);
}

}  // namespace qv::win32
