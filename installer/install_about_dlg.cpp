#include "installer/install_about_dlg.h"

#include "resources/installer/resource.h"

namespace qv {

CInstallAboutDlg::CInstallAboutDlg(DialogHost& host, CDialog* parent) : CDialog(host, IDD_ABOUTBOX, parent) {}

}  // namespace qv
