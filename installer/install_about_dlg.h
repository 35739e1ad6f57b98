// CInstallAboutDlg: the installer's About box, template 100. Its OK button
// closes it; it has nothing of its own.
#pragma once

#include "framework/dialog.h"

namespace qv {

class CInstallAboutDlg : public CDialog {
 public:
  explicit CInstallAboutDlg(DialogHost& host, CDialog* parent = nullptr);
};

}  // namespace qv
