// Creating the program group: the group named in the information file, and
// one item per group line, each command handed to the shell in a
// conversation of its own. A shell that does not answer costs the item, not
// the installation.
#include <optional>
#include <string>

#include "installer/install_dlg.h"
#include "installer/shell_commands.h"
#include "resources/installer/resource.h"

namespace qv {

int CInstallDlg::SendShellCommand(std::string_view command) { return services_.shell.Execute(command) ? 1 : 0; }

int CInstallDlg::CreateProgramGroup() {
  ShowStatus(IDS_CREATING_GROUP);
  ShellProgramGroup& shell = services_.shell;
  if (!shell.Begin()) return 0;

  // A name that the command syntax cannot carry is refused, whatever the
  // information file says: a damaged or crafted medium makes no more than
  // its own group and items. Without its group no item is added either, as
  // the shell would put it into whichever group the user had open.
  if (const std::optional<std::string> group = CreateGroupCommand(info_.groupName)) {
    SendShellCommand(*group);
    // Command lines are carried whole: a long install path makes a long
    // command, never a cut or overrun one. An item that cannot be carried
    // is skipped; the others are still made.
    for (const ProgramGroupEntry& item : ProgramGroupItems(services_.files, info_, installPath))
      if (const std::optional<std::string> add = AddItemCommand(item.commandLine, item.caption)) SendShellCommand(*add);
  }
  shell.End();

  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

}  // namespace qv
