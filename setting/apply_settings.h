// Set: saves the configuration, makes the chosen printer the default, sends
// the switch its command and starts the file-transfer program where asked.
// A plain function over the services; the dialog reads the request and shows
// what the outcome asks it to.
#pragma once

#include "setting/set_request.h"
#include "setting/setting_services.h"
#include "setting/vocabulary.h"

namespace qv {

// What the user must be told after Set. Everything else happens in every
// case; a port without a driver is not worth a word.
enum class SetOutcome {
  kDone,
  kPortBusy,          // another program holds the port: the switch was not told
  kPortNotPermitted,  // this user may not open the port: the switch was not told
  kNotSaved,          // the configuration file could not be written
  kNotSavedNotTold,   // neither the file nor the switch took the settings
};

SetOutcome ApplySettings(const SettingServices& services, const ConfigVocabulary& vocabulary,
                         const SetRequest& request);

}  // namespace qv
