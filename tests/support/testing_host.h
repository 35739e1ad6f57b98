// The testing host: dialogs run in memory on controls built from the same
// compiled templates that the Windows programs link. A test opens a dialog,
// clicks, types and presses keys as a user would, queues the answers of
// message boxes, and reads what the user would see. Modal dialogs opened
// from inside a handler run the script queued for their template.
#pragma once

#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_manager.h"
#include "framework/resource_reader.h"
#include "framework/window_constants.h"

namespace qv::testing {

// The keys a user may press in a message box.
enum class BoxKey { Enter, Escape };

struct ShownMessageBox {
  int ownerTemplate = 0;  // 0: no owner
  std::string text;
  std::string caption;
  unsigned style = 0;
  int answer = 0;
};

struct ChooserCall {
  int ownerTemplate = 0;
  unsigned flags = 0;
  std::string filter;       // open-file chooser only
  std::string initialName;  // open-file chooser only
};

struct DrawnIcon {
  IconHandle icon;
  int x = 0, y = 0;
};

struct PaintRecord {
  bool defaultPainting = false;
  int begunPaints = 0;
  int endedPaints = 0;
  int erasedBackgrounds = 0;
  std::vector<DrawnIcon> icons;
};

class TestingHost;

class TestWindow final : public DialogWindow {
 public:
  struct Control {
    DialogItemTemplate item;
    std::uint32_t style = 0;  // the current style: a radio's tab stop, a button's default look
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    int textLimit = 30000;  // the edit control's default
    int selectionStart = 0, selectionEnd = 0;
    int caretScrolls = 0;
    int invalidations = 0;
  };

  TestWindow(TestingHost& host, CDialog& dialog, int templateId, DialogTemplate dialogTemplate);

  // What the user sees.
  int TemplateId() const { return templateId_; }
  const DialogTemplate& Template() const { return template_; }
  const Control& ControlAt(int id) const;
  std::string Text(int id) const { return ControlAt(id).text; }
  bool IsChecked(int id) const { return ControlAt(id).checked; }
  bool IsEnabled(int id) const { return ControlAt(id).enabled; }
  int TextLimit(int id) const { return ControlAt(id).textLimit; }
  int FocusedItem() const { return focusedId_; }
  // The system menu, one text per item, "-" for a separator.
  const std::vector<std::string>& SystemMenuTexts() const { return systemMenuTexts_; }
  const std::vector<unsigned>& SystemMenuCommands() const { return systemMenuCommands_; }
  IconHandle Icon(bool big) const { return big ? bigIcon_ : smallIcon_; }
  bool Ended() const { return ended_; }
  int EndCode() const { return endCode_; }
  bool EndedByHost() const { return endedByHost_; }

  // What the user does. Each returns false when the user could not do it
  // (the control is disabled, hidden or of the wrong kind, or the dialog has
  // ended); otherwise the dialog handles it and pending messages are
  // dispatched, as the message loop would.
  bool Click(int id);
  bool Type(int id, std::string_view text) { return TypeText(id, text, false); }  // over all
  bool TypeAtEnd(int id, std::string_view text) { return TypeText(id, text, true); }
  // Pasted over all: a one-line edit takes the first line only.
  bool Paste(int id, std::string_view text) { return Type(id, text.substr(0, text.find_first_of("\r\n"))); }
  // The keys, as the dialog manager handles them (framework/dialog_manager).
  bool PressEnter();
  bool PressEscape() { return Act([this] { dialog_->HandleCommand(kIdCancel); }); }
  bool PressTab();
  bool PressArrow(bool downOrRight);
  bool CloseBox() { return SystemCommand(kScClose); }
  bool SystemCommand(unsigned command);
  // A control's notification to the dialog: only a click (code 0) is the
  // control's command; the other codes reach no handler.
  bool Notify(int id, unsigned code);
  void SetClientSize(Size size) { clientSize_ = size; }
  void Minimize() { iconic_ = true; }
  PaintRecord Paint();
  std::optional<IconHandle> QueryDragIcon() { return dialog_->HandleQueryDragIcon(); }

  // DialogWindow.
  std::string ItemText(int id) const override { return Text(id); }
  void SetItemText(int id, std::string_view text) override;
  bool IsItemChecked(int id) const override { return IsChecked(id); }
  void CheckItem(int id, bool checked) override;
  bool IsItemEnabled(int id) const override { return IsEnabled(id); }
  void EnableItem(int id, bool enable) override { Find(id).enabled = enable; }
  void LimitItemText(int id, int maxChars) override;
  void FocusItem(int id) override;
  void SelectItemText(int id, int start, int end) override;
  void ScrollItemCaret(int id) override { ++Find(id).caretScrolls; }
  void InvalidateItem(int id) override { ++Find(id).invalidations; }
  void UpdateItem(int id) override;
  bool HasSystemMenu() const override { return hasSystemMenu_; }
  void AppendSystemMenuSeparator() override { AppendSystemMenuItem(0, "-"); }
  void AppendSystemMenuItem(unsigned command, std::string_view text) override;
  void SetIcon(const IconHandle& icon, bool big) override { (big ? bigIcon_ : smallIcon_) = icon; }
  bool IsIconic() const override { return iconic_; }
  std::unique_ptr<MinimizedPainter> BeginMinimizedPaint() override;
  void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void End(int code) override;
  void RequestDefaultProcessing() override { defaultRequested_ = true; }

 private:
  friend class TestingHost;
  Control& Find(int id);
  bool Usable(int id) const;
  bool TypeText(int id, std::string_view text, bool atEnd);
  // Unless the dialog has ended: the action, then the messages it left
  // pending are dispatched, as the message loop would.
  bool Act(const std::function<void()>& action);
  // A system command with the platform's default processing.
  void DeliverSysCommand(unsigned command);
  std::vector<dialog_manager::ControlView> Views() const;
  std::optional<std::size_t> IndexOf(int id) const;
  // A click on an automatic radio button, as the platform's button does it.
  void CheckAutoRadio(std::size_t index);
  // The focus that the keyboard or the platform gives: an edit gets all its
  // text selected; after the keyboard the default look follows.
  void FocusAndSelect(std::size_t index);
  void FocusByKeyboard(std::size_t index);

  TestingHost& host_;
  CDialog* dialog_;
  int templateId_;
  DialogTemplate template_;
  std::vector<Control> controls_;
  std::vector<std::string> systemMenuTexts_;
  std::vector<unsigned> systemMenuCommands_;
  bool hasSystemMenu_ = false;
  IconHandle bigIcon_, smallIcon_;
  bool iconic_ = false;
  Size clientSize_{345 * 3 / 2, 222 * 2};
  int focusedId_ = 0;
  unsigned defaultId_ = 0;
  bool ended_ = false;
  int endCode_ = 0;
  bool endedByHost_ = false;
  bool destroyed_ = false;
  bool defaultRequested_ = false;
  PaintRecord* paint_ = nullptr;
  PaintRecord unrecorded_;  // what is painted outside Paint()
};

class TestingHost final : public DialogHost {
 public:
  using Script = std::function<void(TestWindow&)>;

  explicit TestingHost(ResourceBundle resources) : resources_(std::move(resources)) {}

  // Opens the dialog without a modal loop: the window is built and
  // initialised; posted messages wait for PumpAll.
  TestWindow& Open(CDialog& dialog) { return Create(dialog, dialog.TemplateId()); }

  // The next modal run of this template runs the script (after the messages
  // already pending). A modal dialog that the script leaves open is ended by
  // the host with IDCANCEL, and EndedByHost() tells so.
  void WhenDialogRuns(int templateId, Script script) {
    scripts_[templateId].push_back(std::move(script));
  }
  // Queues the answer for the next message box; without one, a box answers
  // as when the user presses Enter.
  void AnswerNextMessageBox(int answer) {
    AnswerNextMessageBox([answer] { return answer; });
  }
  // The user does something while the next box shows, then presses the
  // button that `act` returns.
  void AnswerNextMessageBox(std::function<int()> act);
  // The user presses `key` in the next message box; when the key leaves the
  // box open, the user then presses the button `otherwise`.
  void PressKeyInNextMessageBox(BoxKey key, int otherwise);
  // Called whenever a program sets the text of a control, with the dialog's
  // template, the control and the new text: a test can follow a status
  // line through a sequence that sets it many times.
  using TextObserver = std::function<void(int templateId, int id, const std::string& text)>;
  void ObserveTextChanges(TextObserver observer) { textObserver_ = std::move(observer); }
  // Called whenever a program has a control repainted at once, with the
  // dialog's template and the control: a test can see what the control
  // showed at that moment.
  using RedrawObserver = std::function<void(int templateId, int id)>;
  void ObserveRedraws(RedrawObserver observer) { redrawObserver_ = std::move(observer); }
  // Queues a user action that runs inside a later pump of messages, as a
  // click that arrives while a handler dispatches messages.
  void QueueUserAction(std::function<void()> action) { events_.push_back(std::move(action)); }
  void PumpAll() {
    while (PumpOneMessage()) {
    }
  }
  // Queues what the next chooser answers: a printer's device name or a
  // file's path, "" for a chooser that returns no name, std::nullopt for
  // Cancel. A chooser without a queued answer is cancelled.
  void AnswerNextPrinterChooser(std::optional<std::string> deviceName) {
    printerAnswers_.push_back(std::move(deviceName));
  }
  void AnswerNextFileChooser(std::optional<std::string> path) {
    fileAnswers_.push_back(std::move(path));
  }
  const std::vector<ChooserCall>& PrinterChoosers() const { return printerChoosers_; }
  const std::vector<ChooserCall>& FileChoosers() const { return fileChoosers_; }

  const std::vector<ShownMessageBox>& MessageBoxes() const { return messageBoxes_; }
  // The templates of the modal dialogs run so far, in order.
  const std::vector<int>& ModalRuns() const { return modalRuns_; }
  // The window of the last dialog built on this template.
  TestWindow* LastWindow(int templateId) const;
  bool ControlsPrepared() const { return controlsPrepared_; }
  void SetSystemIconSize(Size size) { systemIconSize_ = size; }
  Size SystemIconSize() const { return systemIconSize_; }

  // DialogHost.
  void PrepareControls() override { controlsPrepared_ = true; }
  int RunModal(CDialog& dialog, int templateId, CDialog* parent) override;
  std::string LoadText(unsigned id) const override { return resources_.String(id).value_or(""); }
  IconHandle LoadIconResource(unsigned id) override;
  int ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                 unsigned style) override;
  bool PumpOneMessage() override;
  std::optional<std::string> ChoosePrinter(CDialog* owner, unsigned flags) override;
  std::optional<std::string> ChooseFile(CDialog* owner, const FileChooserRequest& request) override;

 private:
  friend class TestWindow;

  TestWindow& Create(CDialog& dialog, int templateId);
  void Destroy(TestWindow& window);

  ResourceBundle resources_;
  std::list<std::unique_ptr<TestWindow>> windows_;
  std::map<int, std::deque<Script>> scripts_;
  std::deque<std::function<int(unsigned style)>> answers_;  // of the next boxes
  std::deque<std::function<void()>> events_;  // posted messages and queued user actions
  std::vector<ShownMessageBox> messageBoxes_;
  std::deque<std::optional<std::string>> printerAnswers_, fileAnswers_;
  std::vector<ChooserCall> printerChoosers_, fileChoosers_;
  std::vector<int> modalRuns_;
  Size systemIconSize_{32, 32};
  bool controlsPrepared_ = false;
  int pumpDepth_ = 0;
  TextObserver textObserver_;
  RedrawObserver redrawObserver_;
};

}  // namespace qv::testing
