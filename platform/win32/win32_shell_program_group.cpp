#include "platform/win32/win32_shell_program_group.h"

#include <ddeml.h>

#include <string>

namespace qv::win32 {
namespace {

// A client gets no transactions it would have to answer.
HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

}  // namespace

bool Win32ShellProgramGroup::Begin() {
  End();
  instance_ = 0;
  if (DdeInitializeA(&instance_, IgnoreEverything, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    instance_ = 0;
    return false;
  }
  return true;
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
