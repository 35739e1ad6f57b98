#include "tests/support/testing_host.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <utility>

namespace qv::testing {
namespace {

class RecordingPainter final : public MinimizedPainter {
 public:
  RecordingPainter(PaintRecord& record, Size iconSize, Size clientSize)
      : record_(record), iconSize_(iconSize), clientSize_(clientSize) {
    ++record_.begunPaints;
  }
  ~RecordingPainter() override { ++record_.endedPaints; }
  void EraseIconBackground() override { ++record_.erasedBackgrounds; }
  Size SystemIconSize() const override { return iconSize_; }
  Size ClientSize() const override { return clientSize_; }
  void DrawIcon(const IconHandle& icon, int x, int y) override {
    record_.icons.push_back({icon, x, y});
  }

 private:
  PaintRecord& record_;
  Size iconSize_, clientSize_;
};

dialog_manager::ControlView View(const TestWindow::Control& c) {
  return {c.item.id, c.item.controlClass, c.style, c.enabled, c.visible, c.checked};
}

// An upper-case edit converts whatever it is given, the program's text too.
std::string AsShown(const TestWindow::Control& c, std::string_view text) {
  std::string shown(text);
  if (c.item.controlClass == ControlClass::Edit && (c.item.style & kEsUpperCase))
    for (char& ch : shown) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return shown;
}

int TemplateOf(const CDialog* owner) { return owner ? owner->TemplateId() : 0; }

template <class T>
T Take(std::deque<T>& queue) {
  T front = std::move(queue.front());
  queue.pop_front();
  return front;
}

}  // namespace

TestWindow::TestWindow(TestingHost& host, CDialog& dialog, int templateId,
                       DialogTemplate dialogTemplate)
    : host_(host), dialog_(&dialog), templateId_(templateId), template_(std::move(dialogTemplate)) {
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

std::optional<std::size_t> TestWindow::IndexOf(int id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (static_cast<int>(controls_[i].item.id) == id) return i;
  return std::nullopt;
}

const TestWindow::Control& TestWindow::ControlAt(int id) const {
  if (const auto index = IndexOf(id)) return controls_[*index];
  throw std::logic_error("dialog " + std::to_string(templateId_) + " has no control " +
                         std::to_string(id));
}

TestWindow::Control& TestWindow::Find(int id) {
  return const_cast<Control&>(std::as_const(*this).ControlAt(id));
}

std::vector<dialog_manager::ControlView> TestWindow::Views() const {
  std::vector<dialog_manager::ControlView> views;
  for (const auto& c : controls_) views.push_back(View(c));
  return views;
}

bool TestWindow::Usable(int id) const {
  if (ended_ || destroyed_) return false;
  const Control& c = ControlAt(id);
  return c.enabled && c.visible;
}

bool TestWindow::Act(const std::function<void()>& action) {
  if (ended_ || destroyed_) return false;
  action();
  if (host_.pumpDepth_ == 0) host_.PumpAll();
  return true;
}

bool TestWindow::Click(int id) {
  if (!Usable(id)) return false;
  Control& c = Find(id);
  if (c.item.controlClass == ControlClass::Edit) {
    focusedId_ = id;
    return true;
  }
  const std::uint32_t type = c.item.style & kBsTypeMask;
  if (c.item.controlClass != ControlClass::Button || type == kBsGroupBox) return false;
  return Act([&] {
    focusedId_ = id;
    if (type == kBsAutoRadioButton) CheckAutoRadio(*IndexOf(id));
    if (type == kBsAutoCheckBox) c.checked = !c.checked;
    dialog_->HandleCommand(static_cast<unsigned>(id));
  });
}

bool TestWindow::TypeText(int id, std::string_view text, bool atEnd) {
  if (!Usable(id) || ControlAt(id).item.controlClass != ControlClass::Edit) return false;
  Control& c = Find(id);
  if (!atEnd) c.text.clear();  // typed over the whole text, selected
  // The edit takes no more than its limit.
  const std::size_t limit = static_cast<std::size_t>(std::max(c.textLimit, 0));
  const std::size_t room = c.text.size() >= limit ? 0 : limit - c.text.size();
  return Act([&] {
    c.text += AsShown(c, text.substr(0, room));
    focusedId_ = id;
  });
}

void TestWindow::CheckAutoRadio(std::size_t index) {
  for (std::size_t other : dialog_manager::RadioMembersToUncheck(Views(), index))
    CheckItem(static_cast<int>(controls_[other].item.id), false);
  CheckItem(static_cast<int>(controls_[index].item.id), true);
}

void TestWindow::FocusAndSelect(std::size_t index) {
  Control& target = controls_[index];
  focusedId_ = static_cast<int>(target.item.id);
  if (target.item.controlClass == ControlClass::Edit) {
    target.selectionStart = 0;
    target.selectionEnd = static_cast<int>(target.text.size());
  }
}

void TestWindow::FocusByKeyboard(std::size_t index) {
  FocusAndSelect(index);
  const auto views = Views();
  const auto look = dialog_manager::DefaultLookAfterFocus(views, index, defaultId_);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (!dialog_manager::IsPushButton(views[i])) continue;
    std::uint32_t& style = controls_[i].style;
    style = (style & ~kBsTypeMask) | (look == i ? kBsDefPushButton : kBsPushButton);
  }
}

bool TestWindow::PressEnter() {
  return Act([this] {
    if (const auto command = dialog_manager::EnterCommand(Views(), IndexOf(focusedId_), defaultId_))
      dialog_->HandleCommand(*command);
  });
}

bool TestWindow::PressTab() {
  return Act([this] {
    if (const auto next = dialog_manager::NextTabStop(Views(), IndexOf(focusedId_), false))
      FocusByKeyboard(*next);
  });
}

bool TestWindow::PressArrow(bool downOrRight) {
  return Act([&] {
    const auto from = IndexOf(focusedId_);
    const auto move = from ? dialog_manager::Arrow(Views(), *from, !downOrRight) : std::nullopt;
    if (!move) return;
    if (move->byKeyboard) FocusByKeyboard(move->focus);
    else focusedId_ = static_cast<int>(controls_[move->focus].item.id);
    if (move->click) {
      CheckAutoRadio(move->focus);
      dialog_->HandleCommand(controls_[move->focus].item.id);
    }
  });
}

bool TestWindow::Notify(int id, unsigned code) {
  return Act([&] {
    Find(id);
    if (code == 0) dialog_->HandleCommand(static_cast<unsigned>(id));
  });
}

bool TestWindow::SystemCommand(unsigned command) {
  return hasSystemMenu_ && Act([&] { DeliverSysCommand(command); });
}

void TestWindow::DeliverSysCommand(unsigned command) {
  defaultRequested_ = false;
  const bool handled = dialog_->HandleSysCommand(command);
  if (handled && !defaultRequested_) return;
  switch (command & kScMask) {
    case kScClose:
      // The platform turns Close into the Cancel command, posted.
      host_.events_.push_back([this] {
        if (!ended_ && !destroyed_) dialog_->HandleCommand(kIdCancel);
      });
      break;
    case kScMinimize: iconic_ = true; break;
    case kScRestore: iconic_ = false; break;
    default: break;
  }
}

PaintRecord TestWindow::Paint() {
  PaintRecord record;
  paint_ = &record;
  defaultRequested_ = false;
  const bool handled = dialog_->HandlePaint();
  record.defaultPainting = !handled || defaultRequested_;
  paint_ = nullptr;
  return record;
}

void TestWindow::SetItemText(int id, std::string_view text) {
  Control& control = Find(id);
  control.text = AsShown(control, text);
  if (host_.textObserver_) host_.textObserver_(templateId_, id, control.text);
}
void TestWindow::CheckItem(int id, bool checked) {
  Control& c = Find(id);
  c.checked = checked;
  c.style = dialog_manager::StyleAfterCheck(View(c), checked);
}
void TestWindow::LimitItemText(int id, int maxChars) {
  // As EM_LIMITTEXT: zero means the largest limit.
  Find(id).textLimit = maxChars == 0 ? 0x7FFFFFFE : maxChars;
}
void TestWindow::FocusItem(int id) {
  // A disabled control refuses the focus; the focus stays where it was.
  if (Find(id).enabled) focusedId_ = id;
}
void TestWindow::SelectItemText(int id, int start, int end) {
  Control& c = Find(id);
  const int length = static_cast<int>(c.text.size());
  c.selectionStart = std::clamp(start, 0, length);
  c.selectionEnd = end < 0 ? length : std::clamp(end, 0, length);
}
void TestWindow::UpdateItem(int id) {
  Find(id);
  if (host_.redrawObserver_) host_.redrawObserver_(templateId_, id);
}

void TestWindow::AppendSystemMenuItem(unsigned command, std::string_view text) {
  systemMenuTexts_.emplace_back(text);
  systemMenuCommands_.push_back(command);
}

std::unique_ptr<MinimizedPainter> TestWindow::BeginMinimizedPaint() {
  return std::make_unique<RecordingPainter>(paint_ ? *paint_ : unrecorded_, host_.systemIconSize_,
                                            clientSize_);
}

void TestWindow::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  host_.events_.push_back([=, this] {
    if (!destroyed_ && !ended_) dialog_->HandlePrivateMessage(message, wParam, lParam);
  });
}

void TestWindow::End(int code) {
  // A second EndDialog before the loop ends replaces the code.
  ended_ = true;
  endCode_ = code;
}

TestWindow& TestingHost::Create(CDialog& dialog, int templateId) {
  auto dialogTemplate = resources_.Dialog(static_cast<unsigned>(templateId));
  if (!dialogTemplate) throw std::logic_error("no dialog template " + std::to_string(templateId));
  TestWindow& window = *windows_.emplace_back(
      std::make_unique<TestWindow>(*this, dialog, templateId, std::move(*dialogTemplate)));
  // The platform's choice of the first focus, when the dialog leaves it.
  if (dialog.HandleInitDialog(window))
    if (const auto first = dialog_manager::FirstFocus(window.Views()))
      window.FocusAndSelect(*first);
  return window;
}

void TestingHost::Destroy(TestWindow& window) {
  window.destroyed_ = true;
  window.dialog_->HandleDestroy();
}

int TestingHost::RunModal(CDialog& dialog, int templateId, CDialog* /*parent*/) {
  modalRuns_.push_back(templateId);
  TestWindow& window = Create(dialog, templateId);
  const auto loop = [&] {
    while (!window.ended_ && PumpOneMessage()) {
    }
  };
  try {
    loop();
    auto& scripts = scripts_[templateId];
    if (!window.ended_ && !scripts.empty()) {
      Take(scripts)(window);
      loop();
    }
  } catch (...) {
    // A handler's exception leaves the modal loop, and the window goes
    // with it before the caller of DoModal sees the exception.
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

void TestingHost::AnswerNextMessageBox(std::function<int()> act) {
  answers_.push_back([act = std::move(act)](unsigned) { return act(); });
}

// Both keys always close a box, so `otherwise` is never pressed.
void TestingHost::PressKeyInNextMessageBox(BoxKey key, int /*otherwise*/) {
  answers_.push_back([key](unsigned style) {
    return key == BoxKey::Enter ? dialog_manager::MessageBoxEnterAnswer(style)
                                : dialog_manager::MessageBoxEscapeAnswer(style);
  });
}

bool TestingHost::PumpOneMessage() {
  if (events_.empty()) return false;
  const std::function<void()> event = Take(events_);
  ++pumpDepth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{pumpDepth_};
  event();
  return true;
}

TestWindow* TestingHost::LastWindow(int templateId) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if ((*it)->TemplateId() == templateId) return it->get();
  return nullptr;
}

// Message boxes and choosers run a modal loop of their own, which
// dispatches the pending messages before the user answers.

std::optional<std::string> TestingHost::ChoosePrinter(CDialog* owner, unsigned flags) {
  PumpAll();
  printerChoosers_.push_back({TemplateOf(owner), flags, "", ""});
  return printerAnswers_.empty() ? std::nullopt : Take(printerAnswers_);
}

std::optional<std::string> TestingHost::ChooseFile(CDialog* owner, const FileChooserRequest& request) {
  PumpAll();
  fileChoosers_.push_back({TemplateOf(owner), request.flags, request.filter, request.initialName});
  return fileAnswers_.empty() ? std::nullopt : Take(fileAnswers_);
}

IconHandle TestingHost::LoadIconResource(unsigned id) {
  if (!resources_.Find(ResourceType::GroupIcon, id)) return {};
  return IconHandle{id, nullptr};
}

int TestingHost::ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                            unsigned style) {
  PumpAll();
  const int answer =
      answers_.empty() ? dialog_manager::MessageBoxEnterAnswer(style) : Take(answers_)(style);
  messageBoxes_.push_back(
      {TemplateOf(owner), std::string(text), std::string(caption), style, answer});
  return answer;
}

}  // namespace qv::testing
