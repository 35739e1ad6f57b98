// Creating the program group: until the shell's program group is built,
// this step only shows its status text for the usual second, so that the
// Setup sequence already runs in its final order and timing.
#include "installer/install_dlg.h"
#include "resources/installer/resource.h"

namespace qv {

int CInstallDlg::CreateProgramGroup() {
  ShowStatus(IDS_CREATING_GROUP);
  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

}  // namespace qv
