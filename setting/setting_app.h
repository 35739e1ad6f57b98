// CSettingApp: the setting program's application object. Its start-up
// routine shows the setting dialog; the program ends when the dialog ends.
#pragma once

#include <optional>

#include "framework/win_app.h"
#include "setting/setting_services.h"

namespace qv {

class CSettingApp : public CWinApp {
 public:
  int Run(DialogHost& host, const SettingServices& services);

 protected:
  bool InitInstance() override;

 private:
  std::optional<SettingServices> services_;
};

}  // namespace qv
