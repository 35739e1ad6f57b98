// The platform services that the installer's application and dialog use,
// handed to them through their constructors. WinMain and the tests fill it.
#pragma once

#include "platform/clock.h"
#include "platform/firmware_port_table.h"
#include "platform/installer_file_system.h"
#include "platform/profile_store.h"
#include "installer/progress_control_class.h"
#include "platform/shell_program_group.h"

namespace qv {

struct InstallerServices {
  ProfileStore& profile;
  InstallerFileSystem& files;
  FirmwarePortTable& portTable;
  ProgressControlClass& progressClass;
  ShellProgramGroup& shell;
  Clock& clock;
};

}  // namespace qv
