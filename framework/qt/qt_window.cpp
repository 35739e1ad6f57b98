#include "framework/qt/qt_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStringDecoder>
#include <QValidator>

#include <algorithm>

#include "base/windows_1252.h"
#include "framework/qt/qt_host.h"
#include "framework/qt/radio_button.h"
#include "framework/qt/resource_images.h"
#include "framework/window_constants.h"

namespace qv::qt {
namespace {

constexpr std::uint32_t kEsReadOnly = 0x0800;
constexpr std::uint32_t kSsNoPrefix = 0x0080;
constexpr std::uint32_t kSsLeftNoWordWrap = 0xC;

std::uint32_t ButtonType(const DialogItemTemplate& item) { return item.style & kBsTypeMask; }
bool IsButton(const DialogItemTemplate& item) { return item.controlClass == ControlClass::Button; }
bool IsRadio(const DialogItemTemplate& item) {
  return IsButton(item) &&
         (ButtonType(item) == kBsAutoRadioButton || ButtonType(item) == kBsRadioButton);
}
bool IsCheckBox(const DialogItemTemplate& item) {
  return IsButton(item) && (ButtonType(item) == kBsAutoCheckBox || ButtonType(item) == kBsCheckBox);
}

// A control's text as the program reads it back: while it shows just what
// the program set, the very bytes set, so that a Set of untouched text never
// rewrites it; else what the user (or the upper-case style) made of it.
std::string Bytes(const QString& shown, const QtWindow::Control& control) {
  return shown == Shown(control.text) ? control.text : shown.toStdString();
}

// A static's text as Windows draws it: "&&" is one ampersand, a single one
// only underlines the next letter.
QString WithoutPrefix(const std::string& text) {
  QString out;
  const QString in = Shown(text);
  for (qsizetype i = 0; i < in.size(); ++i) {
    if (in[i] == u'&' && i + 1 < in.size()) ++i;
    else if (in[i] == u'&') continue;
    out.append(in[i]);
  }
  return out;
}

// The edit's text limit and upper-case style, applied to what the user
// types or pastes; text that the program sets is not cut, as on Windows.
// As in a one-line Windows edit, a paste keeps its first line only (a path
// copied from a terminal ends in a line break), and as much of that as the
// limit leaves room for. Qt hands over the changed text with the cursor at
// the end of what was put in; the text before the change tells where that
// began. Qt checks the program's own texts as well; those pass as they are.
class EditValidator final : public QValidator {
 public:
  EditValidator(QLineEdit* edit, const QtWindow::Control& control, bool upperCase)
      : QValidator(edit), control_(control), upperCase_(upperCase), before_(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
  }
  State validate(QString& input, int& cursor) const override {
    if (upperCase_) input = input.toUpper();
    if (control_.programSets) return Acceptable;
    const qsizetype after = input.size() - cursor;  // what follows the insertion is as it was
    qsizetype start = 0;
    while (start < cursor && start < before_.size() - after && input[start] == before_[start]) ++start;
    qsizetype keep = cursor - start;
    for (qsizetype i = start; i < start + keep; ++i)
      if (input[i] == u'\r' || input[i] == u'\n') keep = i - start;
    keep = std::clamp<qsizetype>(control_.textLimit - (input.size() - (cursor - start)), 0, keep);
    input.remove(start + keep, cursor - start - keep);
    cursor = static_cast<int>(start + keep);
    return Acceptable;
  }

 private:
  const QtWindow::Control& control_;
  bool upperCase_;
  QString before_;
};

class NoPainter final : public MinimizedPainter {
 public:
  void EraseIconBackground() override {}
  Size SystemIconSize() const override { return {32, 32}; }
  Size ClientSize() const override { return {}; }
  void DrawIcon(const IconHandle&, int, int) override {}
};

}  // namespace

QString Shown(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString shown = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  return utf8.hasError() ? QString::fromStdString(Windows1252ToUtf8(text)) : shown;
}

// ------------------------------------------------------------ TemplateDialog

TemplateDialog::TemplateDialog(QtWindow& window, QWidget* parent)
    : QDialog(parent), window_(window) {}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      window_.Command(kIdCancel);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      window_.PressEnter();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TemplateDialog::closeEvent(QCloseEvent* event) {
  if (window_.Closing()) {
    event->accept();
    return;
  }
  // The close box is the system menu's Close: the dialog decides.
  event->ignore();
  window_.SysCommand(kScClose);
}

void TemplateDialog::contextMenuEvent(QContextMenuEvent* event) {
  if (window_.SystemMenuItems().empty()) return;
  QMenu menu(this);
  for (const auto& [command, text] : window_.SystemMenuItems()) {
    if (command == 0) {
      if (!menu.isEmpty()) menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(Shown(text));
    const unsigned chosen = command;
    connect(action, &QAction::triggered, this, [this, chosen] { window_.SysCommand(chosen); },
            Qt::QueuedConnection);
  }
  window_.Announce(&menu);
  menu.exec(event->globalPos());
}

void TemplateDialog::reject() { window_.Command(kIdCancel); }

bool TemplateDialog::focusNextPrevChild(bool next) {
  window_.MoveTab(next);
  return true;
}

bool TemplateDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right: return window_.MoveInGroup(static_cast<QWidget*>(watched), true);
    case Qt::Key_Up:
    case Qt::Key_Left: return window_.MoveInGroup(static_cast<QWidget*>(watched), false);
    default: return false;
  }
}

// ------------------------------------------------------------------ QtWindow

QtWindow::QtWindow(QtDialogHost& host, CDialog& dialog, DialogTemplate dialogTemplate,
                   QWidget* parent)
    : host_(host),
      dialog_(dialog),
      template_(std::move(dialogTemplate)),
      widget_(new TemplateDialog(*this, parent)) {
  Build();
}

QtWindow::~QtWindow() {
  closing_ = true;
  delete widget_;
}

void QtWindow::Build() {
  const QFont font = TemplateFont(template_);
  units_ = BaseUnitsOf(font);
  widget_->setFont(font);
  widget_->setWindowTitle(Shown(template_.caption));
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (template_.style & kWsSysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if ((template_.style & kWsSysMenu) && (template_.style & kWsMinimizeBox))
    flags |= Qt::WindowMinimizeButtonHint;
  widget_->setWindowFlags(flags);
  const QRect client = ToPixels(units_, 0, 0, template_.cx, template_.cy);
  widget_->setFixedSize(client.size());
  controls_.reserve(template_.items.size());
  for (const auto& item : template_.items) {
    controls_.push_back(Control{item, nullptr, item.style, item.text, 30000});
  }
  for (auto& control : controls_) {
    const DialogItemTemplate& item = control.item;
    control.widget = MakeControl(control);
    control.widget->setObjectName(QString::number(item.id));
    control.widget->setGeometry(ToPixels(units_, item.x, item.y, item.cx, item.cy));
    // An icon static takes the size of its icon, whatever the template says.
    if (auto* label = qobject_cast<QLabel*>(control.widget);
        label && (item.style & kSsTypeMask) == kSsIcon && !label->pixmap().isNull())
      label->resize(label->pixmap().size());
    control.widget->setEnabled((item.style & kWsDisabled) == 0);
    control.widget->setVisible((item.style & kWsVisible) != 0);
    // Tab visits only the controls with a tab stop, in template order.
    if (control.widget->focusPolicy() != Qt::NoFocus)
      control.widget->setFocusPolicy((item.style & kWsTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
  }
  defaultId_ = dialog_manager::DefaultId(Views());
}

QWidget* QtWindow::MakeControl(Control& control) {
  const DialogItemTemplate& item = control.item;
  const unsigned id = item.id;
  switch (item.controlClass) {
    case ControlClass::Button: {
      const QString text = Shown(item.text);
      if (ButtonType(item) == kBsGroupBox) {
        auto* box = new QGroupBox(text, widget_);
        box->setFocusPolicy(Qt::NoFocus);
        // As Windows draws it: the frame's top edge runs through the middle
        // of the title, which starts a character in.
        box->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                          " margin-top: %1px; }"
                                          "QGroupBox::title { subcontrol-origin: margin; left: %2px;"
                                          " padding: 0 1px; }")
                               .arg(units_.y / 2)
                               .arg(units_.x));
        return box;
      }
      if (IsRadio(item)) {
        auto* radio = new RadioButton(text, widget_);
        radio->installEventFilter(widget_);
        QObject::connect(radio, &QAbstractButton::clicked, widget_,
                         [this, id] { ClickRadio(*FindMutable(static_cast<int>(id))); });
        return radio;
      }
      if (IsCheckBox(item)) {
        auto* box = new QCheckBox(text, widget_);
        box->installEventFilter(widget_);
        const bool automatic = ButtonType(item) == kBsAutoCheckBox;
        QObject::connect(box, &QAbstractButton::clicked, widget_, [this, box, automatic, id] {
          // A plain check box leaves its state to the program.
          if (!automatic) box->setChecked(!box->isChecked());
          Command(id);
        });
        return box;
      }
      auto* button = new QPushButton(text, widget_);
      button->installEventFilter(widget_);
      button->setAutoDefault(false);
      button->setDefault(ButtonType(item) == kBsDefPushButton);
      QObject::connect(button, &QAbstractButton::clicked, widget_, [this, id] { Command(id); });
      return button;
    }
    case ControlClass::Edit: {
      auto* edit = new QLineEdit(Shown(item.text), widget_);
      edit->setFrame((item.style & kWsBorder) != 0 || (item.exStyle & 0x200) != 0);
      edit->setReadOnly((item.style & kEsReadOnly) != 0);
      edit->setMaxLength(32767);
      edit->setValidator(new EditValidator(edit, control, (item.style & kEsUpperCase) != 0));
      return edit;
    }
    case ControlClass::Static: {
      auto* label = new QLabel(widget_);
      label->setTextFormat(Qt::PlainText);
      const std::uint32_t type = item.style & kSsTypeMask;
      const unsigned resourceId = item.textOrdinal.value_or(0);
      if (type == kSsIcon) {
        const QImage image = IconImageFromResources(host_.resources_, resourceId);
        label->setPixmap(QPixmap::fromImage(image));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      } else if (type == kSsBitmap) {
        label->setPixmap(QPixmap::fromImage(BitmapFromResources(host_.resources_, resourceId)));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      } else {
        label->setText((item.style & kSsNoPrefix) ? Shown(item.text)
                                                   : WithoutPrefix(item.text));
        label->setWordWrap(type != kSsLeftNoWordWrap);
        const Qt::Alignment horizontal = type == kSsCenter  ? Qt::AlignHCenter
                                         : type == kSsRight ? Qt::AlignRight
                                                            : Qt::AlignLeft;
        label->setAlignment(horizontal | Qt::AlignTop);
      }
      label->setFocusPolicy(Qt::NoFocus);
      return label;
    }
    default:
      break;
  }
  if (const auto* factory = host_.FactoryFor(item.className)) {
    if (QWidget* made = (*factory)(widget_, item)) return made;
  }
  auto* placeholder = new QWidget(widget_);
  placeholder->setFocusPolicy(Qt::NoFocus);
  return placeholder;
}

std::vector<dialog_manager::ControlView> QtWindow::Views() const {
  std::vector<dialog_manager::ControlView> views;
  views.reserve(controls_.size());
  for (const auto& c : controls_) {
    auto* button = qobject_cast<QAbstractButton*>(c.widget);
    // isHidden, not isVisible: the dialog may not be shown yet.
    views.push_back({c.item.id, c.item.controlClass, c.style, c.widget->isEnabled(), !c.widget->isHidden(),
                     button && button->isCheckable() && button->isChecked()});
  }
  return views;
}

std::optional<std::size_t> QtWindow::FocusedIndex() const {
  const QWidget* focused = widget_->focusWidget();
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (focused && controls_[i].widget == focused) return i;
  return std::nullopt;
}

void QtWindow::SetChecked(Control& control, bool checked) {
  auto* button = qobject_cast<QAbstractButton*>(control.widget);
  if (!button || !button->isCheckable()) return;
  button->setChecked(checked);
  control.style = dialog_manager::StyleAfterCheck({control.item.id, control.item.controlClass, control.style}, checked);
}

void QtWindow::ClickRadio(Control& control) {
  auto* radio = static_cast<QRadioButton*>(control.widget);
  if (ButtonType(control.item) == kBsAutoRadioButton) {
    const auto index = static_cast<std::size_t>(&control - controls_.data());
    for (std::size_t other : dialog_manager::RadioMembersToUncheck(Views(), index))
      SetChecked(controls_[other], false);
    SetChecked(control, true);
  } else {
    SetChecked(control, !radio->isChecked());  // the program checks a plain radio itself
  }
  Command(control.item.id);
}

void QtWindow::FocusByKeyboard(std::size_t index) {
  Control& target = controls_[index];
  target.widget->setFocus(Qt::TabFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(target.widget)) edit->selectAll();
  const auto look = dialog_manager::DefaultLookAfterFocus(Views(), index, defaultId_);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    auto* button = qobject_cast<QPushButton*>(controls_[i].widget);
    if (!button) continue;
    controls_[i].style = (controls_[i].style & ~kBsTypeMask) | (look == i ? kBsDefPushButton : kBsPushButton);
    button->setDefault(look == i);
  }
}

void QtWindow::MoveTab(bool forward) {
  if (const auto next = dialog_manager::NextTabStop(Views(), FocusedIndex(), !forward)) FocusByKeyboard(*next);
}

bool QtWindow::MoveInGroup(QWidget* from, bool forward) {
  std::size_t index = 0;
  while (index < controls_.size() && controls_[index].widget != from) ++index;
  if (index == controls_.size()) return false;
  const auto move = dialog_manager::Arrow(Views(), index, !forward);
  if (!move) return false;
  if (move->byKeyboard) FocusByKeyboard(move->focus);
  else controls_[move->focus].widget->setFocus(Qt::TabFocusReason);
  if (move->click) ClickRadio(controls_[move->focus]);
  return true;
}

void QtWindow::InitialFocus() {
  const auto first = dialog_manager::FirstFocus(Views());
  if (!first) return;
  QWidget* widget = controls_[*first].widget;
  widget->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
}

void QtWindow::Announce(QWidget* window) { host_.AnnounceWhenRunning(window); }

void QtWindow::RunLoop() {
  if (ended_) return;
  loop_.exec(QEventLoop::DialogExec);
}

template <class Handler>
void QtWindow::Guarded(Handler&& handler) {
  // Nothing may unwind through Qt's event delivery: the error ends the
  // dialog and its modal run throws it again.
  try {
    handler();
  } catch (...) {
    host_.handlerError_ = std::current_exception();
    if (!error_) error_ = host_.handlerError_;
    End(-1);
  }
}

void QtWindow::Command(unsigned id) {
  if (ended_) return;
  Guarded([&] { dialog_.HandleCommand(id); });
}

void QtWindow::SysCommand(unsigned command) {
  if (ended_) return;
  Guarded([&] {
    defaultRequested_ = false;
    const bool handled = dialog_.HandleSysCommand(command);
    if (handled && !defaultRequested_) return;
    switch (command & kScMask) {
      case kScClose:
        // Windows turns Close into the Cancel command, posted.
        QMetaObject::invokeMethod(widget_, [this] { Command(kIdCancel); }, Qt::QueuedConnection);
        break;
      case kScMinimize: widget_->showMinimized(); break;
      case kScRestore: widget_->showNormal(); break;
      default: break;
    }
  });
}

void QtWindow::Private(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (ended_) return;
  Guarded([&] { dialog_.HandlePrivateMessage(message, wParam, lParam); });
}

void QtWindow::PressEnter() {
  if (ended_) return;
  if (const auto command = dialog_manager::EnterCommand(Views(), FocusedIndex(), defaultId_)) Command(*command);
}

const QtWindow::Control* QtWindow::Find(int id) const {
  for (const auto& c : controls_)
    if (static_cast<int>(c.item.id) == id) return &c;
  return nullptr;
}

QtWindow::Control* QtWindow::FindMutable(int id) { return const_cast<Control*>(Find(id)); }

std::string QtWindow::ItemText(int id) const {
  const Control* c = Find(id);
  if (!c) return {};
  if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) return Bytes(edit->text(), *c);
  if (auto* button = qobject_cast<QAbstractButton*>(c->widget)) return Bytes(button->text(), *c);
  if (auto* box = qobject_cast<QGroupBox*>(c->widget)) return Bytes(box->title(), *c);
  return c->text;
}

void QtWindow::SetItemText(int id, std::string_view text) {
  Control* c = FindMutable(id);
  if (!c) return;
  c->text = std::string(text);
  const QString value = Shown(c->text);
  if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) {
    const QString shown = (c->item.style & kEsUpperCase) ? value.toUpper() : value;
    c->programSets = true;
    edit->setText(shown);
    c->programSets = false;
  } else if (auto* button = qobject_cast<QAbstractButton*>(c->widget)) {
    button->setText(value);
  } else if (auto* box = qobject_cast<QGroupBox*>(c->widget)) {
    box->setTitle(value);
  } else if (auto* label = qobject_cast<QLabel*>(c->widget); label && label->pixmap().isNull()) {
    label->setText((c->item.style & kSsNoPrefix) ? value : WithoutPrefix(c->text));
  } else {
    c->widget->setWindowTitle(value);
  }
}

bool QtWindow::IsItemChecked(int id) const {
  const Control* c = Find(id);
  auto* button = c ? qobject_cast<QAbstractButton*>(c->widget) : nullptr;
  return button && button->isCheckable() && button->isChecked();
}

void QtWindow::CheckItem(int id, bool checked) {
  if (Control* c = FindMutable(id)) SetChecked(*c, checked);
}

bool QtWindow::IsItemEnabled(int id) const {
  const Control* c = Find(id);
  return c && c->widget->isEnabled();
}

void QtWindow::EnableItem(int id, bool enable) {
  if (const Control* c = Find(id)) c->widget->setEnabled(enable);
}

void QtWindow::LimitItemText(int id, int maxChars) {
  // As on Windows, zero (or less) means the largest limit.
  if (Control* c = FindMutable(id)) c->textLimit = maxChars <= 0 ? 0x7FFFFFFE : maxChars;
}

void QtWindow::FocusItem(int id) {
  const Control* c = Find(id);
  // A disabled control cannot take the focus.
  if (c && c->widget->isEnabled()) c->widget->setFocus(Qt::OtherFocusReason);
}

void QtWindow::SelectItemText(int id, int start, int end) {
  const Control* c = Find(id);
  auto* edit = c ? qobject_cast<QLineEdit*>(c->widget) : nullptr;
  if (!edit) return;
  const int length = static_cast<int>(edit->text().size());
  const int from = std::clamp(start, 0, length);
  const int to = end < 0 ? length : std::clamp(end, 0, length);
  edit->setSelection(from, to - from);
}

void QtWindow::InvalidateItem(int id) {
  if (const Control* c = Find(id)) c->widget->update();
}

void QtWindow::UpdateItem(int id) {
  if (const Control* c = Find(id)) c->widget->repaint();
}

bool QtWindow::HasSystemMenu() const { return (template_.style & kWsSysMenu) != 0; }

void QtWindow::AppendSystemMenuSeparator() { menuItems_.emplace_back(0u, std::string()); }

void QtWindow::AppendSystemMenuItem(unsigned command, std::string_view text) {
  menuItems_.emplace_back(command, std::string(text));
}

void QtWindow::SetIcon(const IconHandle& icon, bool) {
  if (icon.native) widget_->setWindowIcon(*static_cast<const QIcon*>(icon.native));
}

bool QtWindow::IsIconic() const { return widget_->isMinimized(); }

std::unique_ptr<MinimizedPainter> QtWindow::BeginMinimizedPaint() {
  // Linux window managers draw a minimized window's icon themselves.
  return std::make_unique<NoPainter>();
}

void QtWindow::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  host_.Enqueue({this, message, wParam, lParam});
}

bool TemplateDialog::Ended() const { return window_.Ended(); }

void QtWindow::End(int code) {
  // The last code given wins, as on Windows.
  endCode_ = code;
  ended_ = true;
  loop_.quit();
}

}  // namespace qv::qt
