#include "framework/qt/qt_host.h"

#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <utility>

#include "framework/dialog_manager.h"
#include "framework/qt/qt_window.h"
#include "framework/qt/resource_images.h"
#include "framework/window_constants.h"

namespace qv::qt {
namespace {

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The keys that a message box answers without one of its buttons.
class KeyAnswers final : public QObject {
 public:
  KeyAnswers(QMessageBox& box, bool hasDefault) : box_(box), hasDefault_(hasDefault) {}
  std::optional<int> answer;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    // Closing after a button's click is the box's own doing.
    if (event->type() == QEvent::Close && !answer && !box_.clickedButton()) return End(kIdCancel, event);
    if (event->type() != QEvent::KeyPress) return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Escape: return End(kIdCancel, event);
      case Qt::Key_Return:
      case Qt::Key_Enter: return hasDefault_ ? false : End(kIdOk, event);
      default: return false;
    }
  }

 private:
  bool End(int id, QEvent* event) {
    answer = id;
    event->accept();
    box_.done(0);
    return true;
  }
  QMessageBox& box_;
  bool hasDefault_;
};

QMessageBox::Icon IconOf(unsigned style) {
  switch (style & kMbIconMask) {
    case kMbIconStop: return QMessageBox::Critical;
    case kMbIconQuestion: return QMessageBox::Question;
    case kMbIconExclamation: return QMessageBox::Warning;
    case kMbIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

QtDialogHost::QtDialogHost(ResourceBundle resources, PrinterSource printers)
    : resources_(std::move(resources)),
      printers_(std::move(printers)),
      dispatcher_(std::make_unique<QObject>()) {
  if (!QCoreApplication::instance()) throw std::logic_error("the Qt host needs a QApplication");
}

QtDialogHost::~QtDialogHost() = default;

void QtDialogHost::RegisterControlClass(std::string className, ControlFactory factory) {
  // Window class names compare without regard to case.
  factories_[Lowered(std::move(className))] = std::move(factory);
}

const QtDialogHost::ControlFactory* QtDialogHost::FactoryFor(const std::string& className) const {
  const auto it = factories_.find(Lowered(className));
  return it == factories_.end() ? nullptr : &it->second;
}

QWidget* QtDialogHost::WidgetOf(const CDialog* dialog) {
  if (!dialog) return nullptr;
  const auto* window = dynamic_cast<const QtWindow*>(dialog->Window());
  return window ? window->Widget() : nullptr;
}

QWidget* QtDialogHost::ControlOf(const CDialog* dialog, int id) {
  if (!dialog) return nullptr;
  const auto* window = dynamic_cast<const QtWindow*>(dialog->Window());
  const auto* control = window ? window->Find(id) : nullptr;
  return control ? control->widget : nullptr;
}

void QtDialogHost::AnnounceWhenRunning(QWidget* window) {
  if (!shownObserver_) return;
  QMetaObject::invokeMethod(
      window, [this, window] { if (shownObserver_) shownObserver_(window); }, Qt::QueuedConnection);
}

int QtDialogHost::RunModal(CDialog& dialog, int templateId, CDialog* parent) {
  auto dialogTemplate = resources_.Dialog(static_cast<unsigned>(templateId));
  if (!dialogTemplate) return -1;  // as Windows answers for a missing template
  if (templateAdjuster_) templateAdjuster_(templateId, *dialogTemplate);
  QtWindow window(*this, dialog, std::move(*dialogTemplate), WidgetOf(parent));
  QDialog* widget = window.Widget();
  widget->setWindowModality(Qt::ApplicationModal);
  try {
    if (dialog.HandleInitDialog(window)) window.InitialFocus();
  } catch (...) {
    dialog.HandleDestroy();
    Forget(&window);
    throw;
  }
  if (!window.Ended()) {
    widget->show();
    AnnounceWhenRunning(widget);
    window.RunLoop();
  }
  widget->hide();
  dialog.HandleDestroy();
  Forget(&window);
  if (window.Error()) std::rethrow_exception(window.Error());
  return window.EndCode();
}

std::string QtDialogHost::LoadText(unsigned id) const { return resources_.String(id).value_or(""); }

IconHandle QtDialogHost::LoadIconResource(unsigned id) {
  auto& slot = icons_[id];
  if (!slot) {
    QIcon icon = IconFromResources(resources_, id);
    if (icon.isNull()) {
      icons_.erase(id);
      return {};
    }
    slot = std::make_unique<QIcon>(std::move(icon));
  }
  return IconHandle{id, slot.get()};
}

int QtDialogHost::ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                                 unsigned style) {
  QMessageBox box(WidgetOf(owner));
  box.setWindowTitle(Shown(caption));
  box.setText(Shown(text));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(IconOf(style));
  box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
  const auto buttons = dialog_manager::MessageBoxButtons(style);
  std::vector<std::pair<QAbstractButton*, int>> ids;
  for (const auto& b : buttons) {
    // One role for all keeps Windows' order on every desktop.
    QPushButton* button =
        box.addButton(QString::fromLatin1(b.text.data(), static_cast<qsizetype>(b.text.size())), QMessageBox::ActionRole);
    button->setProperty("answer", b.id);
    ids.emplace_back(button, b.id);
  }
  const auto defaultIndex = dialog_manager::MessageBoxDefault(style);
  if (defaultIndex) box.setDefaultButton(static_cast<QPushButton*>(ids[*defaultIndex].first));
  // Escape and the close box end the box with the Cancel answer whatever its
  // buttons; Enter in a box without a default button answers OK.
  KeyAnswers keys(box, defaultIndex.has_value());
  box.installEventFilter(&keys);
  for (const auto& [button, id] : ids) button->installEventFilter(&keys);
  AnnounceWhenRunning(&box);
  box.exec();
  if (keys.answer) return *keys.answer;
  QAbstractButton* clicked = box.clickedButton();
  for (const auto& [button, id] : ids)
    if (button == clicked) return id;
  return dialog_manager::MessageBoxEscapeAnswer(style);
}

void QtDialogHost::Enqueue(PostedMessage message) {
  posted_.push_back(message);
  // The Qt loop delivers it when it comes to it; a pump may take it earlier.
  QMetaObject::invokeMethod(dispatcher_.get(), [this] { DeliverOnePosted(); }, Qt::QueuedConnection);
}

bool QtDialogHost::DeliverOnePosted() {
  if (posted_.empty()) return false;
  const PostedMessage message = posted_.front();
  posted_.pop_front();
  message.window->Private(message.message, message.wParam, message.lParam);
  return true;
}

void QtDialogHost::Forget(QtWindow* window) {
  std::erase_if(posted_, [window](const PostedMessage& m) { return m.window == window; });
}

bool QtDialogHost::PumpOneMessage() {
  handlerError_ = nullptr;
  bool delivered = DeliverOnePosted();
  if (!delivered) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  // The failed handler has ended its dialog; the caller of the pump, a
  // handler itself as a rule, ends with the same exception.
  if (handlerError_) std::rethrow_exception(std::exchange(handlerError_, nullptr));
  return delivered;
}

void QtDialogHost::WaitForMessage(std::uint32_t timeoutMs) {
  if (!posted_.empty()) return;
  // The timer wakes the wait when nothing else does.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(static_cast<int>(std::min<std::uint32_t>(timeoutMs, 0x7FFFFFFF)));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace qv::qt
