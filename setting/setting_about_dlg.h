// CSettingAboutDlg: the About box of the setting program, with the version
// text that the configuration file may carry.
#pragma once

#include "framework/dialog.h"
#include "platform/profile_store.h"

namespace qv {

class CSettingAboutDlg : public CDialog {
 public:
  CSettingAboutDlg(DialogHost& host, ProfileStore& profile, CDialog* parent = nullptr);

 protected:
  bool OnInitDialog() override;

 private:
  ProfileStore& profile_;
};

}  // namespace qv
