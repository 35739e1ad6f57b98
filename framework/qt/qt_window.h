// One open dialog on the Qt host: the QDialog built from the template, its
// controls by id, and the delivery of commands, system commands and private
// messages to the dialog object, with Windows' default processing after them.
#pragma once

#include <QDialog>
#include <QEventLoop>

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_manager.h"
#include "framework/qt/dialog_units.h"
#include "framework/resource_reader.h"

namespace qv::qt {

class QtDialogHost;
class QtWindow;

// The program's texts are bytes: UTF-8 as Linux writes them, or text in the
// Windows code page, from a file made on Windows or a medium, which Qt
// would show as replacement characters and hand back so. This shows either.
QString Shown(std::string_view text);

// The dialog's widget: turns the keys and the close box into the commands
// that Windows' dialog manager sends.
class TemplateDialog final : public QDialog {
 public:
  TemplateDialog(QtWindow& window, QWidget* parent);
  // The program has ended the dialog: it closes once the handler that
  // ended it returns to the dialog's loop.
  bool Ended() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void reject() override;
  // Tab walks the template's tab stops, as the dialog manager does.
  bool focusNextPrevChild(bool next) override;
  // The arrow keys on a button move within its group.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtWindow& window_;
};

class QtWindow final : public DialogWindow {
 public:
  struct Control {
    DialogItemTemplate item;
    QWidget* widget = nullptr;
    std::uint32_t style = 0;  // the current style: a radio's tab stop, a button's default look
    std::string text;       // the text the program set last
    int textLimit = 30000;  // the edit control's default
    bool programSets = false;  // while the program's text goes in, which no limit cuts
  };

  QtWindow(QtDialogHost& host, CDialog& dialog, DialogTemplate dialogTemplate, QWidget* parent);
  ~QtWindow() override;

  TemplateDialog* Widget() const { return widget_; }
  CDialog& Dialog() const { return dialog_; }
  const Control* Find(int id) const;
  const DialogTemplate& Template() const { return template_; }
  const BaseUnits& Units() const { return units_; }
  bool Ended() const { return ended_; }
  int EndCode() const { return endCode_; }

  // Runs the window's own modal loop until End.
  void RunLoop();
  // The first error that a handler threw; the modal run throws it again.
  std::exception_ptr Error() const { return error_; }
  void InitialFocus();

  // What the platform sends.
  void Command(unsigned id);
  void SysCommand(unsigned command);
  void Private(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
  void PressEnter();
  const std::vector<std::pair<unsigned, std::string>>& SystemMenuItems() const { return menuItems_; }
  bool Closing() const { return closing_; }
  // The arrow keys: the focus to the next (or previous) control of the
  // group; true when the key is used up.
  bool MoveInGroup(QWidget* from, bool forward);
  // Tab and Shift+Tab.
  void MoveTab(bool forward);
  // Tells the host's observer about a window that runs modally from here.
  void Announce(QWidget* window);

  // DialogWindow.
  std::string ItemText(int id) const override;
  void SetItemText(int id, std::string_view text) override;
  bool IsItemChecked(int id) const override;
  void CheckItem(int id, bool checked) override;
  bool IsItemEnabled(int id) const override;
  void EnableItem(int id, bool enable) override;
  void LimitItemText(int id, int maxChars) override;
  void FocusItem(int id) override;
  void SelectItemText(int id, int start, int end) override;
  void ScrollItemCaret(int /*id*/) override {}
  void InvalidateItem(int id) override;
  void UpdateItem(int id) override;
  bool HasSystemMenu() const override;
  void AppendSystemMenuSeparator() override;
  void AppendSystemMenuItem(unsigned command, std::string_view text) override;
  void SetIcon(const IconHandle& icon, bool big) override;
  bool IsIconic() const override;
  std::unique_ptr<MinimizedPainter> BeginMinimizedPaint() override;
  void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void End(int code) override;
  void RequestDefaultProcessing() override { defaultRequested_ = true; }

 private:
  Control* FindMutable(int id);
  void Build();
  QWidget* MakeControl(Control& control);
  void ClickRadio(Control& control);
  void SetChecked(Control& control, bool checked);
  std::vector<dialog_manager::ControlView> Views() const;
  std::optional<std::size_t> FocusedIndex() const;
  // The focus moved by the keyboard: the default look follows it.
  void FocusByKeyboard(std::size_t index);
  template <class Handler>
  void Guarded(Handler&& handler);

  QtDialogHost& host_;
  CDialog& dialog_;
  DialogTemplate template_;
  TemplateDialog* widget_;
  BaseUnits units_;
  std::vector<Control> controls_;
  unsigned defaultId_ = 0;
  std::vector<std::pair<unsigned, std::string>> menuItems_;
  QEventLoop loop_;
  bool ended_ = false;
  bool closing_ = false;
  int endCode_ = 0;
  bool defaultRequested_ = false;
  std::exception_ptr error_;
};

}  // namespace qv::qt
