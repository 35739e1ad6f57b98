#include "platform/win32/win32_shell_program_group.h"

#include <ddeml.h>

#include <optional>

#include "platform/win32/shell_commands.h"

namespace qv::win32 {
namespace {

// A client gets no transactions it would have to answer.
HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

GroupResult Sent(bool accepted) { return accepted ? GroupResult::Done : GroupResult::Failed; }

}  // namespace

bool Win32ShellProgramGroup::Begin() {
  End();
  instance_ = 0;
  if (DdeInitializeA(&instance_, IgnoreEverything, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    instance_ = 0;
    return false;
  }
  char directory[256] = {};
  const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
  windowsDirectory_.assign(directory, length < sizeof directory ? length : 0);
  return true;
}

GroupResult Win32ShellProgramGroup::CreateGroup(std::string_view name) {
  const std::optional<std::string> command = CreateGroupCommand(name);
  if (!command) return GroupResult::Refused;
  return Sent(Execute(*command));
}

GroupResult Win32ShellProgramGroup::AddItem(const ProgramGroupItem& item) {
  const std::optional<std::string> command = AddItemCommand(item, windowsDirectory_);
  if (!command) return GroupResult::Refused;
  return Sent(Execute(*command));
}

bool Win32ShellProgramGroup::Execute(std::string_view command) {
  if (!instance_) return false;
  HSZ service = DdeCreateStringHandleA(instance_, "PROGMAN", CP_WINANSI);
  // Without a name the connection would go to whichever server answers.
  if (!service) return false;
  bool accepted = false;
  // The shell's service and topic have the same name.
  if (HCONV conversation = DdeConnect(instance_, service, service, nullptr)) {
    std::string text(command);
    HDDEDATA result = DdeClientTransaction(reinterpret_cast<BYTE*>(text.data()), static_cast<DWORD>(text.size() + 1),
                                           conversation, nullptr, CF_TEXT, XTYP_EXECUTE, kTimeoutMs, nullptr);
    accepted = result != nullptr;
    DdeDisconnect(conversation);
  }
  DdeFreeStringHandle(instance_, service);
  return accepted;
}

void Win32ShellProgramGroup::End() {
  if (instance_) DdeUninitialize(instance_);
  instance_ = 0;
}

}  // namespace qv::win32
