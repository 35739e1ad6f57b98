// Enter pressed right after the setting program starts runs Set, on the
// Linux program's Qt host as on Windows: the first focus is the checked
// mode radio (a checked radio button is a tab stop), never a Change button
// that would open the printer chooser. The same on the testing host.
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

#include <string>

#include "framework/qt/qt_host.h"
#include "tests/setting/setting_fixture.h"
#include "tests/support/qt_test_application.h"

namespace qv {
namespace {

constexpr const char* kSuccess = "System finishes setting successfully.";

class SettingEnterAtStart : public SettingFixture {
 protected:
  void SetUp() override { printers.printers = {{0, "Laser A", "winspool,LPT1:"}}; }
  void WriteMode(const std::string& mode) {
    WriteConfig("[Configuration]\r\nPortCount=3\r\nMode=" + mode +
                "\r\n[Printer Name]\r\nPrinter1=Laser A\r\nPrinter2=Laser A\r\n");
  }
};

struct Start {
  const char* mode;
  int focus;  // the checked mode radio
};
constexpr Start kStarts[] = {{"Mode1-2", 1041}, {"Mode2-1", 1042}};

TEST_F(SettingEnterAtStart, OnTheTestingHost) {
  for (const auto& start : kStarts) {
    SCOPED_TRACE(start.mode);
    WriteMode(start.mode);
    testing::TestWindow& w = OpenDialog();
    EXPECT_EQ(w.FocusedItem(), start.focus);
    w.PressEnter();
    ASSERT_FALSE(host.MessageBoxes().empty());
    EXPECT_EQ(host.MessageBoxes().back().text, kSuccess);
    EXPECT_TRUE(host.PrinterChoosers().empty());
  }
}

TEST_F(SettingEnterAtStart, OnTheQtHost) {
  QApplication& app = testing::QtTestApplication("setting_enter_at_start");
  (void)app;
  for (const auto& start : kStarts) {
    SCOPED_TRACE(start.mode);
    WriteMode(start.mode);
    qt::QtDialogHost qtHost(SettingResources(), [] { return qt::PrinterChoices{{{"Laser A"}}, "Laser A"}; });
    CTwoPrinterDlg setting(qtHost, services);
    std::string shown;
    int focused = 0;
    qtHost.ObserveShownWindows([&](QWidget* window) {
      if (auto* box = qobject_cast<QMessageBox*>(window)) {
        shown = box->text().toStdString();
        box->buttons().front()->click();
        setting.EndDialog(0);
        return;
      }
      if (window != qt::QtDialogHost::WidgetOf(&setting)) {  // a chooser: Enter went wrong
        shown = "another window";
        static_cast<QDialog*>(window)->reject();
        setting.EndDialog(0);
        return;
      }
      QWidget* focus = window->focusWidget();
      focused = focus == qt::QtDialogHost::ControlOf(&setting, start.focus) ? start.focus : -1;
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QCoreApplication::sendEvent(focus ? focus : window, &enter);
    });
    setting.DoModal();
    EXPECT_EQ(focused, start.focus);
    EXPECT_EQ(shown, kSuccess);
  }
}

}  // namespace
}  // namespace qv
