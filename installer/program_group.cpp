// Creating the program group: the group named in the information file, and
// one item per group line, each command handed to the shell in a
// conversation of its own. A shell that does not answer costs the item, not
// the installation.
#include "installer/install_dlg.h"
#include "installer/shell_commands.h"
#include "resources/installer/resource.h"

namespace qv {

int CInstallDlg::SendShellCommand(std::string_view command) { return services_.shell.Execute(command) ? 1 : 0; }

int CInstallDlg::CreateProgramGroup() {
  ShowStatus(IDS_CREATING_GROUP);
  ShellProgramGroup& shell = services_.shell;
  if (!shell.Begin()) return 0;

  SendShellCommand(CreateGroupCommand(groupName));
  const Text256 windowsDirectory = services_.files.WindowsDirectory();
  for (std::uint16_t i = 0; i < groupItemCount && i < groupItems.size(); ++i) {
    const GroupItem& item = groupItems[i];
    // Command lines are carried whole: a long install path makes a long
    // command, never a cut or overrun one.
    const std::string line = ItemCommandLine(installPath, item.fileName.view(), windowsDirectory.view());
    SendShellCommand(AddItemCommand(line, item.description.view()));
  }
  shell.End();

  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

}  // namespace qv
