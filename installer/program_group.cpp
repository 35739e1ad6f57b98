// Creating the program group: the group named in the information file, and
// one item per group line, handed to the shell in the installer's terms. A
// shell that does not answer costs the item, not the installation.
#include "installer/install_dlg.h"
#include "resources/installer/resource.h"

namespace qv {

int CInstallDlg::CreateProgramGroup() {
  ShowStatus(IDS_CREATING_GROUP);
  ShellProgramGroup& shell = services_.shell;
  if (!shell.Begin()) return 0;

  // A group the shell refuses is made by no item either: on Windows the
  // item would land in whichever group the user had open. A group that
  // the shell did not answer still gets its items tried, each on its own.
  if (shell.CreateGroup(info_.groupName) != GroupResult::Refused) {
    for (const ProgramGroupItem& item : ProgramGroupItems(info_, installPath)) shell.AddItem(item);
  }
  shell.End();

  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

}  // namespace qv
