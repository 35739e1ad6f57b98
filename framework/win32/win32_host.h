// The win32 dialog host: real dialogs from the templates linked into the
// executable, one dialog procedure that binds the CDialog on WM_INITDIALOG
// and dispatches through its message table. Exceptions stop at that
// procedure: the dialog ends, PumpOneMessage throws them on to the handler
// that pumped, and RunModal to the caller of DoModal.
#pragma once

#include <windows.h>

#include "framework/dialog_host.h"

namespace qv::win32 {

class Win32Host final : public DialogHost {
 public:
  explicit Win32Host(HINSTANCE instance) : instance_(instance) {}

  void PrepareControls() override;
  int RunModal(CDialog& dialog, int templateId, CDialog* parent) override;
  std::string LoadText(unsigned id) const override;
  IconHandle LoadIconResource(unsigned id) override;
  int ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                 unsigned style) override;
  bool PumpOneMessage() override;
  void WaitForMessage(std::uint32_t timeoutMs) override;
  std::optional<std::string> ChoosePrinter(CDialog* owner, unsigned flags) override;
  std::optional<std::string> ChooseFile(CDialog* owner, const FileChooserRequest& request) override;

  HINSTANCE Instance() const { return instance_; }
  // The window of an open dialog, for the parts of the host that need an owner.
  static HWND WindowOf(const CDialog* dialog);

 private:
  HINSTANCE instance_;
};

}  // namespace qv::win32
