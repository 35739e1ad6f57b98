#include "framework/dialog.h"

#include "framework/window_constants.h"

namespace qv {

CDialog::CDialog(DialogHost& host, int templateId, CDialog* parent)
    : host_(host), templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() { return host_.RunModal(*this, templateId_, parent_); }

void CDialog::EndDialog(int code) {
  if (window_) window_->End(code);
}

const MessageTable* CDialog::ClassMessageTable() {
  static constexpr MessageEntry kEntries[] = {
      msg::Command<&CDialog::OnOK>(kIdOk),
      msg::Command<&CDialog::OnCancel>(kIdCancel),
  };
  static const MessageTable kTable{nullptr, kEntries};
  return &kTable;
}

bool CDialog::OnInitDialog() { return true; }
void CDialog::OnOK() { EndDialog(kIdOk); }
void CDialog::OnCancel() { EndDialog(kIdCancel); }

bool CDialog::Dispatch(MessageKind kind, const MessageArgs& args, MessageResult& result) {
  const bool byId = kind == MessageKind::Command || kind == MessageKind::Private;
  for (const MessageTable* table = GetMessageTable(); table; table = table->base) {
    for (const MessageEntry& entry : table->entries) {
      if (entry.kind != kind || (byId && entry.id != args.id)) continue;
      entry.invoke(*this, args, result);
      return true;
    }
  }
  return false;
}

bool CDialog::HandleInitDialog(DialogWindow& window) {
  window_ = &window;
  return OnInitDialog();
}

bool CDialog::HandleCommand(unsigned id) {
  MessageResult result;
  return Dispatch(MessageKind::Command, {id, 0, 0}, result);
}

bool CDialog::HandleSysCommand(unsigned command) {
  MessageResult result;
  return Dispatch(MessageKind::SysCommand, {command, 0, 0}, result);
}

bool CDialog::HandlePrivateMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  MessageResult result;
  return Dispatch(MessageKind::Private, {message, wParam, lParam}, result);
}

bool CDialog::HandlePaint() {
  MessageResult result;
  return Dispatch(MessageKind::Paint, {}, result);
}

std::optional<IconHandle> CDialog::HandleQueryDragIcon() {
  MessageResult result;
  if (!Dispatch(MessageKind::QueryDragIcon, {}, result)) return std::nullopt;
  return result.icon;
}

void CDialog::HandleDestroy() { window_ = nullptr; }

int CDialog::ShowMessageBox(std::string_view text, std::string_view caption, unsigned style) {
  return host_.ShowMessageBox(this, text, caption, style);
}

std::string CDialog::GetItemText(int id) const { return window_ ? window_->ItemText(id) : std::string(); }
void CDialog::SetItemText(int id, std::string_view text) {
  if (window_) window_->SetItemText(id, text);
}
bool CDialog::IsChecked(int id) const { return window_ && window_->IsItemChecked(id); }
void CDialog::CheckItem(int id, bool checked) {
  if (window_) window_->CheckItem(id, checked);
}
void CDialog::EnableItem(int id, bool enable) {
  if (window_) window_->EnableItem(id, enable);
}
void CDialog::LimitText(int id, int maxChars) {
  if (window_) window_->LimitItemText(id, maxChars);
}
void CDialog::FocusItem(int id) {
  if (window_) window_->FocusItem(id);
}
void CDialog::SelectItemText(int id, int start, int end) {
  if (window_) window_->SelectItemText(id, start, end);
}
void CDialog::ScrollItemCaret(int id) {
  if (window_) window_->ScrollItemCaret(id);
}
void CDialog::RedrawItemNow(int id) {
  if (!window_) return;
  window_->InvalidateItem(id);
  window_->UpdateItem(id);
}
bool CDialog::IsIconic() const { return window_ && window_->IsIconic(); }

void CDialog::PostToSelf(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (window_) window_->Post(message, wParam, lParam);
}

void CDialog::AddSystemMenuItem(unsigned command, std::string_view text) {
  if (!window_ || !window_->HasSystemMenu() || text.empty()) return;
  window_->AppendSystemMenuSeparator();
  window_->AppendSystemMenuItem(command, text);
}

void CDialog::SetIcons(const IconHandle& icon) {
  if (!window_) return;
  window_->SetIcon(icon, true);
  window_->SetIcon(icon, false);
}

void CDialog::PaintIconWhenMinimized(const IconHandle& icon) {
  if (!window_) return;
  if (!window_->IsIconic()) {
    Default();
    return;
  }
  auto painter = window_->BeginMinimizedPaint();
  painter->EraseIconBackground();
  const Size iconSize = painter->SystemIconSize();
  const Size client = painter->ClientSize();
  // Integer division truncates toward zero, also for a client area smaller
  // than the icon.
  painter->DrawIcon(icon, (client.cx - iconSize.cx + 1) / 2, (client.cy - iconSize.cy + 1) / 2);
}

void CDialog::Default() {
  if (window_) window_->RequestDefaultProcessing();
}

}  // namespace qv
