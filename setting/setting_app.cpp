#include "setting/setting_app.h"

#include <memory>

#include "setting/two_printer_dlg.h"

namespace qv {

int CSettingApp::Run(DialogHost& host, const SettingServices& services) {
  services_.emplace(services);
  const int code = CWinApp::Run(host);
  services_.reset();
  return code;
}

bool CSettingApp::InitInstance() {
  Enable3dControls();
  auto dialog = std::make_unique<CTwoPrinterDlg>(Host(), *services_);
  dialog->DoModal();
  return false;
}

}  // namespace qv
