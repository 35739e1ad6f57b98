// The host contract on the Qt host, on Qt's offscreen platform.
#include "framework/qt/qt_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>

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
  void PressEnter(CDialog& dialog) override {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(qt::QtDialogHost::WidgetOf(&dialog), &key);
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
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      ADD_FAILURE() << "no open message box";
      return;
    }
    const QString text = answer == kIdCancel ? QStringLiteral("Cancel") : QStringLiteral("OK");
    for (QAbstractButton* button : box->buttons())
      if (button->text() == text) button->click();
  }
  void CancelOpenChooser(const CDialog&) override {
    auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!chooser) {
      ADD_FAILURE() << "no open chooser";
      return;
    }
    chooser->reject();
  }

 private:
  static qt::QtWindow& Window(const CDialog& dialog) { return *dynamic_cast<qt::QtWindow*>(dialog.Window()); }
  QApplication& app_ = App();  // before the host
  qt::QtDialogHost host_{FrameworkTestResources(), [] { return qt::PrinterChoices{{"Laser", "Ink"}, "Ink"}; }};
};

INSTANTIATE_TEST_SUITE_P(Qt, HostContract,
                         ::testing::Values(HostUnderTest{"qt", [] { return std::unique_ptr<HostDriver>(new QtDriver); }}),
                         HostName);

}  // namespace
}  // namespace qv
