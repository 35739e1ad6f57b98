// CInstallApp: the installer's application object. It owns the blue brush
// that frames the progress control, made when the object is constructed and
// released with it, and the two progress counters that the copy loop writes
// and the control draws. Its start-up routine registers the control's
// window class and runs the main dialog.
#pragma once

#include <optional>

#include "framework/win_app.h"
#include "installer/installer_services.h"

namespace qv {

class CInstallApp : public CWinApp {
 public:
  static constexpr std::uint32_t kFrameColour = 0x00FF0000;  // blue, as 0x00BBGGRR

  // `makeBrush` makes the platform's brush; none where nothing is drawn.
  explicit CInstallApp(BrushMaker makeBrush = nullptr);

  int Run(DialogHost& host, const InstallerServices& services);

  SolidBrush frameBrush;
  ProgressCounters progress;

 protected:
  bool InitInstance() override;

 private:
  std::optional<InstallerServices> services_;
};

}  // namespace qv
