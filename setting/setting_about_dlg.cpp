#include "setting/setting_about_dlg.h"

#include "resources/setting/resource.h"

namespace qv {

CSettingAboutDlg::CSettingAboutDlg(DialogHost& host, ProfileStore& profile, CDialog* parent)
    : CDialog(host, IDD_ABOUTBOX, parent), profile_(profile) {}

bool CSettingAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // Present but empty gives an empty line; only a missing entry shows the
  // version of the program itself.
  const Text256 version = profile_.ReadString(LoadText(IDS_SECTION_PRODUCT), LoadText(IDS_KEY_VERSION),
                                              "Version 2.00", LoadText(IDS_INI_FILE));
  SetItemText(IDC_ABOUT_VERSION, version.view());
  return true;
}

}  // namespace qv
