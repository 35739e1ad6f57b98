// CInstallApp: the installer's application object. It owns the two progress
// counters that the copy loop writes and the control draws. Its start-up
// routine registers the control's window class and runs the main dialog.
// What the control paints with belongs to each host's control.
#pragma once

#include <optional>

#include "framework/win_app.h"
#include "installer/installer_services.h"

namespace qv {

class CInstallApp : public CWinApp {
 public:
  int Run(DialogHost& host, const InstallerServices& services);

  ProgressCounters progress;

 protected:
  bool InitInstance() override;

 private:
  std::optional<InstallerServices> services_;
};

}  // namespace qv
