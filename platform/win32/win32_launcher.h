// Starts the file-transfer program as WinExec does, without taking the focus.
#pragma once

#include "platform/launcher.h"

namespace qv::win32 {

class Win32Launcher final : public Launcher {
 public:
  void Start(std::string_view commandLine) override;
};

}  // namespace qv::win32
