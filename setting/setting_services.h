// The platform services that the setting program's dialogs use, handed to
// them through their constructors. WinMain and the tests fill it.
#pragma once

#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/printer_store.h"
#include "platform/profile_store.h"
#include "platform/switch_port.h"

namespace qv {

struct SettingServices {
  ProfileStore& profile;
  PrinterStore& printers;
  SwitchPort& switchPort;
  Launcher& launcher;
  Clock& clock;
};

}  // namespace qv
