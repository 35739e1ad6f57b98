#include "installer/install_app.h"

#include <memory>

#include "installer/install_dlg.h"

namespace qv {

int CInstallApp::Run(DialogHost& host, const InstallerServices& services) {
  services_.emplace(services);
  const int code = CWinApp::Run(host);
  services_.reset();
  return code;
}

bool CInstallApp::InitInstance() {
  Enable3dControls();
  // Dialog 101 names the progress control's class: without it there is no
  // dialog to show, and the program ends without a word.
  if (!services_->progressClass.Register(progress)) return false;
  auto dialog = std::make_unique<CInstallDlg>(Host(), *services_, progress);
  mainWindow = dialog.get();
  dialog->DoModal();
  mainWindow = nullptr;
  return false;
}

}  // namespace qv
