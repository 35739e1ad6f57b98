// The host contract on the Qt host, on Qt's offscreen platform.
#include "framework/qt/qt_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest/QTest>

#include "framework/dialog.h"
#include "framework/qt/qt_window.h"
#include "framework/window_constants.h"
#include "tests/framework/host_contract.h"
#include "tests/framework/test_resources.h"
#include "tests/support/qt_test_application.h"

namespace qv {
namespace {

QApplication& App() { return testing::QtTestApplication("host_contract"); }

class QtDriver final : public HostDriver {
 public:
  DialogHost& Host() override { return host_; }
  void Click(CDialog& dialog, int id) override {
    if (auto* button = qobject_cast<QAbstractButton*>(qt::QtDialogHost::ControlOf(&dialog, id))) button->click();
  }
  void Type(CDialog& dialog, int id, std::string_view text) override {
    auto* edit = qobject_cast<QLineEdit*>(qt::QtDialogHost::ControlOf(&dialog, id));
    if (!edit) return ADD_FAILURE() << "no edit " << id;
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  }
  void Paste(CDialog& dialog, int id, std::string_view text) override {
    auto* edit = qobject_cast<QLineEdit*>(qt::QtDialogHost::ControlOf(&dialog, id));
    if (!edit) return ADD_FAILURE() << "no edit " << id;
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    edit->selectAll();
    edit->paste();
  }
  void PressKey(CDialog& dialog, Key key) override {
    // To the control that has the focus, as Qt delivers a key; what it does
    // not use goes on to the dialog.
    QWidget* widget = qt::QtDialogHost::WidgetOf(&dialog);
    Send(widget->focusWidget() ? widget->focusWidget() : widget, key);
  }
  void SystemCommand(CDialog& dialog, unsigned command) override { Window(dialog).SysCommand(command); }
  // Qt's widgets send no notification codes: a click is all there is.
  void Notify(CDialog& dialog, int id, unsigned code) override {
    if (code == 0) Window(dialog).Command(static_cast<unsigned>(id));
  }
  int FocusedItem(const CDialog& dialog) override {
    const QWidget* focus = qt::QtDialogHost::WidgetOf(&dialog)->focusWidget();
    for (const auto& item : Window(dialog).Template().items)
      if (focus && qt::QtDialogHost::ControlOf(&dialog, static_cast<int>(item.id)) == focus)
        return static_cast<int>(item.id);
    return 0;
  }
  void AnswerOpenMessageBox(const CDialog&, int answer) override {
    if (auto* box = OpenBox()) Press(*box, answer);
  }
  void PressKeyInOpenMessageBox(const CDialog&, Key key, int otherwise) override {
    auto* box = OpenBox();
    if (!box) return;
    Send(box->focusWidget() ? box->focusWidget() : box, key);
    if (box->isVisible()) Press(*box, otherwise);
  }
  void CancelOpenChooser(const CDialog&) override {
    auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!chooser) return ADD_FAILURE() << "no open chooser";
    chooser->reject();
  }

 private:
  static void Send(QWidget* to, Key key) {
    static constexpr Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Down,
                                        Qt::Key_Up};
    QKeyEvent press(QEvent::KeyPress, kKeys[static_cast<int>(key)], Qt::NoModifier);
    QCoreApplication::sendEvent(to, &press);
  }
  static QMessageBox* OpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) ADD_FAILURE() << "no open message box";
    return box;
  }
  // The box's buttons carry the ids that they answer with.
  static void Press(QMessageBox& box, int answer) {
    for (QAbstractButton* button : box.buttons())
      if (button->property("answer").toInt() == answer) return button->click();
    ADD_FAILURE() << "the box has no button " << answer;
  }
  static qt::QtWindow& Window(const CDialog& dialog) { return *dynamic_cast<qt::QtWindow*>(dialog.Window()); }
  QApplication& app_ = App();  // before the host
  qt::QtDialogHost host_{FrameworkTestResources(), [] { return qt::PrinterChoices{{{"Laser"}, {"Ink"}}, "Ink"}; }};
};

INSTANTIATE_TEST_SUITE_P(Qt, HostContract, ::testing::Values(HostOf<QtDriver>("qt")), HostName);

}  // namespace
}  // namespace qv
