// The dialog host seam. CDialog and the programs' dialogs talk to windows
// only through these interfaces; the win32 host implements them over the
// Windows API (framework/win32), the Qt host over Qt widgets (framework/qt),
// the testing host in memory (tests/support/testing_host.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

class CDialog;

// An icon loaded from the program's resources. The host keeps what it needs
// to draw it in `native`; the portable code only passes it on.
struct IconHandle {
  unsigned resourceId = 0;
  const void* native = nullptr;
  explicit operator bool() const { return resourceId != 0 || native != nullptr; }
  friend bool operator==(const IconHandle&, const IconHandle&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// One paint of a minimized dialog; painting ends when the painter goes.
class MinimizedPainter {
 public:
  virtual ~MinimizedPainter() = default;
  virtual void EraseIconBackground() = 0;
  virtual Size SystemIconSize() const = 0;
  virtual Size ClientSize() const = 0;
  virtual void DrawIcon(const IconHandle& icon, int x, int y) = 0;
};

// One open dialog window, as its dialog object sees it. Controls are
// addressed by id and nothing else.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  virtual std::string ItemText(int id) const = 0;
  virtual void SetItemText(int id, std::string_view text) = 0;
  virtual bool IsItemChecked(int id) const = 0;
  virtual void CheckItem(int id, bool checked) = 0;
  virtual bool IsItemEnabled(int id) const = 0;
  virtual void EnableItem(int id, bool enable) = 0;
  virtual void LimitItemText(int id, int maxChars) = 0;
  virtual void FocusItem(int id) = 0;
  virtual void SelectItemText(int id, int start, int end) = 0;
  virtual void ScrollItemCaret(int id) = 0;
  // Marks the whole control for repainting, without erasing its background
  // first (the controls that are asked to repaint draw all of themselves).
  virtual void InvalidateItem(int id) = 0;
  // Repaints what is marked of the control at once.
  virtual void UpdateItem(int id) = 0;

  virtual bool HasSystemMenu() const = 0;
  virtual void AppendSystemMenuSeparator() = 0;
  virtual void AppendSystemMenuItem(unsigned command, std::string_view text) = 0;
  virtual void SetIcon(const IconHandle& icon, bool big) = 0;
  virtual bool IsIconic() const = 0;
  virtual std::unique_ptr<MinimizedPainter> BeginMinimizedPaint() = 0;

  // Queues a private message to this window; it arrives through the
  // dialog's message table once the message loop or a pump reaches it.
  virtual void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual void End(int code) = 0;
  // Hands the message being handled to the platform's default processing
  // once the handler returns (the system menu's Close becomes Cancel).
  virtual void RequestDefaultProcessing() = 0;
};

// What the open-file chooser is asked for.
struct FileChooserRequest {
  // Pairs of description and pattern, each ended by a NUL, the list by a
  // second NUL, as the platform's open-file dialog takes them.
  std::string filter;
  std::string initialName;
  unsigned flags = 0;  // the platform's OFN_* flags
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;

  // Start-up of the control library (three-dimensional drawing of controls).
  virtual void PrepareControls() = 0;

  // Builds the dialog from its template, runs it modally and returns the
  // code given to EndDialog.
  virtual int RunModal(CDialog& dialog, int templateId, CDialog* parent) = 0;

  // A string of the program's string table; empty when there is none.
  virtual std::string LoadText(unsigned id) const = 0;
  virtual IconHandle LoadIconResource(unsigned id) = 0;

  // A message box owned by the dialog (none: no owner); returns the id of
  // the button that the user pressed.
  virtual int ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                         unsigned style) = 0;

  // Dispatches at most one pending message of the thread; true when there was one.
  virtual bool PumpOneMessage() = 0;
  // Blocks until a message arrives or the time has passed, whichever comes
  // first, so that a pause need not spin. A host without a real queue
  // returns at once.
  virtual void WaitForMessage(std::uint32_t /*timeoutMs*/) {}

  // The print-setup chooser, opening on the current default printer. On OK
  // the device name of the chosen printer (empty when the chooser returns
  // none); std::nullopt when the user cancels. `flags`: the platform's PD_*
  // flags beside the print-setup form itself.
  virtual std::optional<std::string> ChoosePrinter(CDialog* owner, unsigned flags) = 0;
  // The open-file chooser: the full path of the chosen file, or std::nullopt
  // when the user cancels.
  virtual std::optional<std::string> ChooseFile(CDialog* owner, const FileChooserRequest& request) = 0;
};

}  // namespace qv
