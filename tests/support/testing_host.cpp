#include "tests/support/testing_host.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "framework/window_constants.h"

namespace qv::testing {
namespace {

bool IsButtonOfType(const DialogItemTemplate& item, std::uint32_t type) {
  return item.controlClass == ControlClass::Button && (item.style & kBsTypeMask) == type;
}

class RecordingPainter final : public MinimizedPainter {
 public:
  RecordingPainter(PaintRecord* record, Size iconSize, Size clientSize)
      : record_(record), iconSize_(iconSize), clientSize_(clientSize) {
    if (record_) ++record_->begunPaints;
  }
  ~RecordingPainter() override {
    if (record_) ++record_->endedPaints;
  }
  void EraseIconBackground() override {
    if (record_) ++record_->erasedBackgrounds;
  }
  Size SystemIconSize() const override { return iconSize_; }
  Size ClientSize() const override { return clientSize_; }
  void DrawIcon(const IconHandle& icon, int x, int y) override {
    if (record_) record_->icons.push_back({icon, x, y});
  }

 private:
  PaintRecord* record_;
  Size iconSize_;
  Size clientSize_;
};

}  // namespace

// ---------------------------------------------------------------- TestWindow

TestWindow::TestWindow(TestingHost& host, CDialog& dialog, int templateId,
                       DialogTemplate dialogTemplate)
    : host_(host),
      dialog_(&dialog),
      templateId_(templateId),
      template_(std::move(dialogTemplate)) {
  for (const auto& item : template_.items) {
    Control c;
    c.item = item;
    c.style = item.style;
    c.text = item.text;
    c.enabled = (item.style & kWsDisabled) == 0;
    c.visible = (item.style & kWsVisible) != 0;
    controls_.push_back(std::move(c));
  }
  defaultId_ = dialog_manager::DefaultId(Views());
  hasSystemMenu_ = (template_.style & kWsSysMenu) != 0;
  if (hasSystemMenu_) {
    // The platform's own entries; programs append theirs after them.
    systemMenuTexts_ = {"&Move", "-", "&Close"};
    systemMenuCommands_ = {0xF010, 0, kScClose};
    if (template_.style & kWsMinimizeBox) {
      systemMenuTexts_.insert(systemMenuTexts_.begin() + 1, "Mi&nimize");
      systemMenuCommands_.insert(systemMenuCommands_.begin() + 1, kScMinimize);
    }
  }
}

const TestWindow::Control& TestWindow::ControlAt(int id) const {
  for (const auto& c : controls_)
    if (static_cast<int>(c.item.id) == id) return c;
  throw std::logic_error("dialog " + std::to_string(templateId_) + " has no control " +
                         std::to_string(id));
}

TestWindow::Control& TestWindow::Find(int id) {
  return const_cast<Control&>(static_cast<const TestWindow*>(this)->ControlAt(id));
}

bool TestWindow::HasControl(int id) const {
  return std::any_of(controls_.begin(), controls_.end(),
                     [id](const Control& c) { return static_cast<int>(c.item.id) == id; });
}

std::vector<dialog_manager::ControlView> TestWindow::Views() const {
  std::vector<dialog_manager::ControlView> views;
  views.reserve(controls_.size());
  for (const auto& c : controls_)
    views.push_back({c.item.id, c.item.controlClass, c.style, c.enabled, c.visible, c.checked});
  return views;
}

std::optional<std::size_t> TestWindow::IndexOf(int id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (static_cast<int>(controls_[i].item.id) == id) return i;
  return std::nullopt;
}

std::vector<int> TestWindow::RadioSet(int id) const {
  // A group runs from a control with WS_GROUP (or the first control) up to
  // the next control with WS_GROUP.
  std::size_t index = 0;
  while (index < controls_.size() && static_cast<int>(controls_[index].item.id) != id) ++index;
  if (index == controls_.size()) ControlAt(id);  // throws
  std::size_t first = index;
  while (first > 0 && !(controls_[first].item.style & kWsGroup)) --first;
  std::vector<int> set;
  for (std::size_t i = first; i < controls_.size(); ++i) {
    if (i > first && (controls_[i].item.style & kWsGroup)) break;
    if (IsButtonOfType(controls_[i].item, kBsAutoRadioButton) ||
        IsButtonOfType(controls_[i].item, kBsRadioButton))
      set.push_back(static_cast<int>(controls_[i].item.id));
  }
  return set;
}

bool TestWindow::Usable(int id) const {
  if (ended_ || destroyed_) return false;
  const Control& c = ControlAt(id);
  return c.enabled && c.visible;
}

bool TestWindow::Click(int id) {
  if (!Usable(id)) return false;
  Control& c = Find(id);
  if (c.item.controlClass == ControlClass::Edit) {
    focusedId_ = id;
    return true;
  }
  if (c.item.controlClass != ControlClass::Button) return false;
  const std::uint32_t type = c.item.style & kBsTypeMask;
  if (type == kBsGroupBox) return false;
  focusedId_ = id;
  if (type == kBsAutoRadioButton) {
    CheckAutoRadio(*IndexOf(id));
  } else if (type == kBsAutoCheckBox) {
    c.checked = !c.checked;
  }
  DeliverCommand(static_cast<unsigned>(id));
  AfterUserAction();
  return true;
}

bool TestWindow::Type(int id, std::string_view text) {
  if (!Usable(id) || ControlAt(id).item.controlClass != ControlClass::Edit) return false;
  Control& c = Find(id);
  // Replacing the selection: the edit takes no more than its limit.
  std::string typed(text.substr(0, static_cast<std::size_t>(std::max(c.textLimit, 0))));
  if (c.item.style & kEsUpperCase)
    std::transform(typed.begin(), typed.end(), typed.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
  c.text = typed;
  focusedId_ = id;
  AfterUserAction();
  return true;
}

bool TestWindow::TypeAtEnd(int id, std::string_view text) {
  if (!Usable(id) || ControlAt(id).item.controlClass != ControlClass::Edit) return false;
  Control& c = Find(id);
  const std::size_t room =
      c.text.size() >= static_cast<std::size_t>(c.textLimit) ? 0 : c.textLimit - c.text.size();
  std::string typed(text.substr(0, room));
  if (c.item.style & kEsUpperCase)
    std::transform(typed.begin(), typed.end(), typed.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
  c.text += typed;
  focusedId_ = id;
  AfterUserAction();
  return true;
}

void TestWindow::CheckAutoRadio(std::size_t index) {
  // The other visible, enabled members of the set lose their check.
  for (std::size_t other : dialog_manager::RadioMembersToUncheck(Views(), index))
    CheckItem(static_cast<int>(controls_[other].item.id), false);
  CheckItem(static_cast<int>(controls_[index].item.id), true);
}

void TestWindow::FocusByKeyboard(std::size_t index) {
  Control& target = controls_[index];
  focusedId_ = static_cast<int>(target.item.id);
  if (target.item.controlClass == ControlClass::Edit) {
    target.selectionStart = 0;
    target.selectionEnd = static_cast<int>(target.text.size());
  }
  const auto look = dialog_manager::DefaultLookAfterFocus(Views(), index, defaultId_);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    Control& c = controls_[i];
    if (c.item.controlClass != ControlClass::Button) continue;
    const std::uint32_t type = c.style & kBsTypeMask;
    if (type != kBsPushButton && type != kBsDefPushButton) continue;
    c.style = (c.style & ~kBsTypeMask) | (look == i ? kBsDefPushButton : kBsPushButton);
  }
}

bool TestWindow::PressEnter() {
  if (ended_ || destroyed_) return false;
  if (const auto command = dialog_manager::EnterCommand(Views(), IndexOf(focusedId_), defaultId_))
    DeliverCommand(*command);
  AfterUserAction();
  return true;
}

bool TestWindow::PressTab() {
  if (ended_ || destroyed_) return false;
  if (const auto next = dialog_manager::NextTabStop(Views(), IndexOf(focusedId_), false)) FocusByKeyboard(*next);
  AfterUserAction();
  return true;
}

bool TestWindow::PressArrow(bool downOrRight) {
  if (ended_ || destroyed_) return false;
  const auto from = IndexOf(focusedId_);
  if (!from) return true;
  const auto move = dialog_manager::Arrow(Views(), *from, !downOrRight);
  if (!move) return true;
  if (move->byKeyboard) {
    FocusByKeyboard(move->focus);
  } else {
    focusedId_ = static_cast<int>(controls_[move->focus].item.id);
  }
  if (move->click) {
    CheckAutoRadio(move->focus);
    DeliverCommand(controls_[move->focus].item.id);
  }
  AfterUserAction();
  return true;
}

bool TestWindow::PressEscape() {
  if (ended_ || destroyed_) return false;
  DeliverCommand(kIdCancel);
  AfterUserAction();
  return true;
}

bool TestWindow::Notify(int id, unsigned code) {
  if (ended_ || destroyed_) return false;
  Find(id);
  if (code == 0) DeliverCommand(static_cast<unsigned>(id));
  AfterUserAction();
  return true;
}

bool TestWindow::CloseBox() { return SystemCommand(kScClose); }

bool TestWindow::SystemCommand(unsigned command) {
  if (ended_ || destroyed_ || !hasSystemMenu_) return false;
  DeliverSysCommand(command);
  AfterUserAction();
  return true;
}

void TestWindow::DeliverCommand(unsigned id) { dialog_->HandleCommand(id); }

void TestWindow::DeliverSysCommand(unsigned command) {
  defaultRequested_ = false;
  const bool handled = dialog_->HandleSysCommand(command);
  if (handled && !defaultRequested_) return;
  switch (command & kScMask) {
    case kScClose:
      // The platform turns Close into the Cancel command, posted.
      host_.events_.push_back(std::function<void()>([this] {
        if (!ended_ && !destroyed_) DeliverCommand(kIdCancel);
      }));
      break;
    case kScMinimize: iconic_ = true; break;
    case kScRestore: iconic_ = false; break;
    default: break;
  }
}

void TestWindow::AfterUserAction() {
  if (host_.pumpDepth_ == 0) host_.PumpAll();
}

PaintRecord TestWindow::Paint() {
  PaintRecord record;
  paint_ = &record;
  defaultRequested_ = false;
  record.handledByDialog = dialog_->HandlePaint();
  record.defaultPainting = !record.handledByDialog || defaultRequested_;
  paint_ = nullptr;
  return record;
}

void TestWindow::SetItemText(int id, std::string_view text) {
  Control& control = Find(id);
  control.text = std::string(text);
  // An upper-case edit converts whatever it is given, the program's text too.
  if (control.item.controlClass == ControlClass::Edit && (control.item.style & kEsUpperCase))
    std::transform(control.text.begin(), control.text.end(), control.text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
  if (host_.textObserver_) host_.textObserver_(templateId_, id, control.text);
}
void TestWindow::CheckItem(int id, bool checked) {
  Control& c = Find(id);
  c.checked = checked;
  c.style = dialog_manager::StyleAfterCheck(
      {c.item.id, c.item.controlClass, c.style, c.enabled, c.visible, c.checked}, checked);
}
void TestWindow::EnableItem(int id, bool enable) { Find(id).enabled = enable; }
void TestWindow::LimitItemText(int id, int maxChars) {
  // As EM_LIMITTEXT: zero means the largest limit.
  Find(id).textLimit = maxChars == 0 ? 0x7FFFFFFE : maxChars;
}
void TestWindow::FocusItem(int id) {
  // A disabled control refuses the focus; the focus stays where it was.
  if (!Find(id).enabled) return;
  focusedId_ = id;
}
void TestWindow::SelectItemText(int id, int start, int end) {
  Control& c = Find(id);
  const int length = static_cast<int>(c.text.size());
  c.selectionStart = std::clamp(start, 0, length);
  c.selectionEnd = end < 0 ? length : std::clamp(end, 0, length);
}
void TestWindow::ScrollItemCaret(int id) { ++Find(id).caretScrolls; }
void TestWindow::InvalidateItem(int id) { ++Find(id).invalidations; }
void TestWindow::UpdateItem(int id) {
  Find(id);
  if (host_.redrawObserver_) host_.redrawObserver_(templateId_, id);
}

void TestWindow::AppendSystemMenuSeparator() {
  systemMenuTexts_.push_back("-");
  systemMenuCommands_.push_back(0);
}

void TestWindow::AppendSystemMenuItem(unsigned command, std::string_view text) {
  systemMenuTexts_.emplace_back(text);
  systemMenuCommands_.push_back(command);
}

void TestWindow::SetIcon(const IconHandle& icon, bool big) { (big ? bigIcon_ : smallIcon_) = icon; }

std::unique_ptr<MinimizedPainter> TestWindow::BeginMinimizedPaint() {
  return std::make_unique<RecordingPainter>(paint_, host_.systemIconSize_, clientSize_);
}

void TestWindow::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  host_.events_.push_back(TestingHost::PostedMessage{this, message, wParam, lParam});
}

void TestWindow::End(int code) {
  // A second EndDialog before the loop ends replaces the code.
  ended_ = true;
  endCode_ = code;
}

// --------------------------------------------------------------- TestingHost

TestingHost::TestingHost(ResourceBundle resources) : resources_(std::move(resources)) {}
TestingHost::~TestingHost() = default;

TestWindow& TestingHost::Create(CDialog& dialog, int templateId) {
  auto dialogTemplate = resources_.Dialog(static_cast<unsigned>(templateId));
  if (!dialogTemplate)
    throw std::logic_error("no dialog template " + std::to_string(templateId));
  windows_.push_back(
      std::make_unique<TestWindow>(*this, dialog, templateId, std::move(*dialogTemplate)));
  TestWindow& window = *windows_.back();
  if (dialog.HandleInitDialog(window)) {
    // The platform's choice of the first focus; an edit gets all its text
    // selected.
    if (const auto first = dialog_manager::FirstFocus(window.Views())) {
      TestWindow::Control& c = window.controls_[*first];
      window.focusedId_ = static_cast<int>(c.item.id);
      if (c.item.controlClass == ControlClass::Edit) {
        c.selectionStart = 0;
        c.selectionEnd = static_cast<int>(c.text.size());
      }
    }
  }
  return window;
}

void TestingHost::Destroy(TestWindow& window) {
  if (window.destroyed_) return;
  window.destroyed_ = true;
  window.dialog_->HandleDestroy();
}

TestWindow& TestingHost::Open(CDialog& dialog) { return Create(dialog, dialog.TemplateId()); }

int TestingHost::RunModal(CDialog& dialog, int templateId, CDialog* /*parent*/) {
  modalRuns_.push_back(templateId);
  TestWindow& window = Create(dialog, templateId);
  const int depth = pumpDepth_;
  try {
    ++pumpDepth_;
    while (!window.ended_ && PumpOneMessage()) {
    }
    auto scripts = scripts_.find(templateId);
    if (!window.ended_ && scripts != scripts_.end() && !scripts->second.empty()) {
      Script script = std::move(scripts->second.front());
      scripts->second.pop_front();
      --pumpDepth_;
      script(window);
      ++pumpDepth_;
      while (!window.ended_ && PumpOneMessage()) {
      }
    }
    --pumpDepth_;
  } catch (...) {
    // A handler's exception leaves the modal loop, and the window goes
    // with it before the caller of DoModal sees the exception.
    pumpDepth_ = depth;
    Destroy(window);
    throw;
  }
  if (!window.ended_) {
    window.End(kIdCancel);
    window.endedByHost_ = true;
  }
  Destroy(window);
  return window.endCode_;
}

void TestingHost::WhenDialogRuns(int templateId, Script script) {
  scripts_[templateId].push_back(std::move(script));
}

void TestingHost::AnswerNextMessageBox(int answer) { answers_.push_back(answer); }

void TestingHost::AnswerNextMessageBox(std::function<int()> act) { answers_.push_back(std::move(act)); }

void TestingHost::PressKeyInNextMessageBox(BoxKey key, int otherwise) {
  answers_.push_back(KeyAnswer{key, otherwise});
}

void TestingHost::QueueUserAction(std::function<void()> action) {
  events_.push_back(std::move(action));
}

bool TestingHost::PumpOneMessage() {
  if (events_.empty()) return false;
  Event event = std::move(events_.front());
  events_.pop_front();
  struct Level {
    int& depth;
    explicit Level(int& d) : depth(d) { ++depth; }
    ~Level() { --depth; }
  } level(pumpDepth_);
  if (auto* posted = std::get_if<PostedMessage>(&event)) {
    TestWindow* w = posted->window;
    if (!w->destroyed_ && !w->ended_)
      w->dialog_->HandlePrivateMessage(posted->message, posted->wParam, posted->lParam);
  } else {
    std::get<std::function<void()>>(event)();
  }
  return true;
}

int TestingHost::PumpAll() {
  int count = 0;
  while (PumpOneMessage()) ++count;
  return count;
}

TestWindow* TestingHost::LastWindow(int templateId) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if ((*it)->TemplateId() == templateId)
      return it->get();
  return nullptr;
}

void TestingHost::AnswerNextPrinterChooser(std::optional<std::string> deviceName) {
  printerAnswers_.push_back(std::move(deviceName));
}

void TestingHost::AnswerNextFileChooser(std::optional<std::string> path) {
  fileAnswers_.push_back(std::move(path));
}

// Message boxes and choosers run a modal loop of their own, which
// dispatches the pending messages before the user answers.

std::optional<std::string> TestingHost::ChoosePrinter(CDialog* owner, unsigned flags) {
  PumpAll();
  printerChoosers_.push_back({owner ? owner->TemplateId() : 0, flags, "", ""});
  if (printerAnswers_.empty()) return std::nullopt;
  auto answer = std::move(printerAnswers_.front());
  printerAnswers_.pop_front();
  return answer;
}

std::optional<std::string> TestingHost::ChooseFile(CDialog* owner, const FileChooserRequest& request) {
  PumpAll();
  fileChoosers_.push_back({owner ? owner->TemplateId() : 0, request.flags, request.filter, request.initialName});
  if (fileAnswers_.empty()) return std::nullopt;
  auto answer = std::move(fileAnswers_.front());
  fileAnswers_.pop_front();
  return answer;
}

std::string TestingHost::LoadText(unsigned id) const { return resources_.String(id).value_or(""); }

IconHandle TestingHost::LoadIconResource(unsigned id) {
  if (!resources_.Find(ResourceType::GroupIcon, id)) return {};
  return IconHandle{id, nullptr};
}

int TestingHost::ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                            unsigned style) {
  PumpAll();
  ShownMessageBox box;
  box.ownerTemplate = owner ? owner->TemplateId() : 0;
  box.text = std::string(text);
  box.caption = std::string(caption);
  box.style = style;
  box.answer = dialog_manager::MessageBoxEnterAnswer(style);
  if (!answers_.empty()) {
    const auto answer = answers_.front();
    answers_.pop_front();
    if (const int* button = std::get_if<int>(&answer)) {
      box.answer = *button;
    } else if (const auto* act = std::get_if<std::function<int()>>(&answer)) {
      box.answer = (*act)();
    } else {
      // Both keys always close a box, so `otherwise` is never pressed.
      const KeyAnswer& pressed = std::get<KeyAnswer>(answer);
      box.answer = pressed.key == BoxKey::Enter ? dialog_manager::MessageBoxEnterAnswer(style)
                                                : dialog_manager::MessageBoxEscapeAnswer(style);
    }
  }
  messageBoxes_.push_back(box);
  return box.answer;
}

}  // namespace qv::testing
