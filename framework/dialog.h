// CDialog: the base of every dialog of both programs. A dialog is built with
// its template id and an optional parent, overrides a few hooks and lists its
// message table; the host (win32, Qt or testing) creates the window and
// delivers the messages through the Handle* entry points below.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "framework/dialog_host.h"
#include "framework/message_table.h"

namespace qv {

class CDialog {
 public:
  CDialog(DialogHost& host, int templateId, CDialog* parent = nullptr);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; the result is the code given to EndDialog.
  int DoModal();
  void EndDialog(int code);

  int TemplateId() const { return templateId_; }
  CDialog* Parent() const { return parent_; }
  DialogWindow* Window() const { return window_; }

  // Entry points for the hosts. Each returns false when no table lists the
  // message; the message then gets the platform's default processing, as it
  // does when the handler called Default().
  bool HandleInitDialog(DialogWindow& window);
  bool HandleCommand(unsigned id);
  bool HandleSysCommand(unsigned command);
  bool HandlePrivateMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
  bool HandlePaint();
  std::optional<IconHandle> HandleQueryDragIcon();
  void HandleDestroy();

 protected:
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  static const MessageTable* ClassMessageTable();
  virtual const MessageTable* GetMessageTable() const { return ClassMessageTable(); }

  DialogHost& Host() const { return host_; }
  std::string LoadText(unsigned id) const { return host_.LoadText(id); }
  int ShowMessageBox(std::string_view text, std::string_view caption, unsigned style);

  // Control access by id; without a window (before DoModal or after the
  // dialog ended) reads give empty results and writes do nothing.
  std::string GetItemText(int id) const;
  void SetItemText(int id, std::string_view text);
  bool IsChecked(int id) const;
  void CheckItem(int id, bool checked = true);
  void EnableItem(int id, bool enable);
  void LimitText(int id, int maxChars);
  void FocusItem(int id);
  void SelectItemText(int id, int start, int end);
  void ScrollItemCaret(int id);
  // Repaints the whole control at once, without erasing it first.
  void RedrawItemNow(int id);

  bool IsIconic() const;
  void PostToSelf(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  bool PumpOneMessage() { return host_.PumpOneMessage(); }

  // Appends a separator and the item to the system menu, when the window has
  // one and the text is not empty.
  void AddSystemMenuItem(unsigned command, std::string_view text);
  void SetIcons(const IconHandle& icon);
  // The paint handler of a dialog that draws its own icon when minimized:
  // the icon centred in the client area, else the platform's painting.
  void PaintIconWhenMinimized(const IconHandle& icon);

  // From inside a handler: let the platform process the message as well.
  void Default();

 private:
  bool Dispatch(MessageKind kind, const MessageArgs& args, MessageResult& result);

  DialogHost& host_;
  int templateId_;
  CDialog* parent_;
  DialogWindow* window_ = nullptr;
};

}  // namespace qv
