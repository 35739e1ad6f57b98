// The native setting program's own windows, in process: the real Qt host
// over the embedded resources and the real Linux services, against a print
// server and a configuration directory of the test's own. Set, the modes and
// leaving are program scenarios (setting_scenarios.cpp, with the Qt host's
// driver); here, the windows only the Qt host has: the context menu's About,
// the printer chooser and the file chooser, and where its first focus is.
// Every window it meets is saved as a picture under the artifacts folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest/QTest>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>

#include "framework/qt/qt_host.h"
#include "setting/linux/linux_setting_program.h"
#include "tests/support/qt_program_driver.h"
#include "tests/support/qt_test_application.h"
#include "tests/support/temp_dir.h"
#include "tests/setting/setting_qt_driver.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

using testing::Click;
using testing::PressButton;
using testing::SaveShot;

class NativeSetting : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::QtTestApplication("QV27-518");
    testing::ThrowawayPrintServer& server = testing::SettingPrintServer();
    ASSERT_EQ(server.problem(), "");
    ASSERT_TRUE(server.AddPrinter("QV_A"));
    ASSERT_TRUE(server.AddPrinter("QV_B"));
    ASSERT_TRUE(server.SetServerDefault("QV_A"));
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    fs::create_directories(ConfigFile().parent_path());
  }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

  fs::path ConfigFile() const { return config / "qv27-518" / "QV27-518.ini"; }
  void WriteConfig(const std::string& mode, const std::string& nameA, const std::string& nameB) {
    testing::WriteFileBytes(ConfigFile(),
                            "[Configuration]\nPortCount=3\nMode=" + mode +
                                "\n[Printer Alias]\nPrinter1=Front\nPrinter2=Back\n"
                                "[Printer Name]\nPrinter1=" + nameA + "\nPrinter2=" + nameB + "\n");
  }

  // Runs the program; the main dialog goes to `user`, each message box to
  // the next of `boxes`, the other dialogs to the next of `others`.
  int RunProgram(std::function<void(QWidget*)> user,
                 std::deque<std::function<void(QMessageBox*)>> boxes) {
    boxes_.answers = std::move(boxes);
    return RunLinuxSettingProgram([&](qt::QtDialogHost& host) {
      host.ObserveShownWindows([&, user](QWidget* window) {
        if (boxes_.Answer(window)) return;
        if (auto* menu = qobject_cast<QMenu*>(window)) {
          SaveShot(menu, "context-menu");
          menu->actions().back()->trigger();
          menu->close();
          return;
        }
        if (window->findChild<QWidget*>(QStringLiteral("1026"))) return user(window);
        if (others.empty()) {
          ADD_FAILURE() << "unexpected window " << window->windowTitle().toStdString();
          window->close();
          return;
        }
        others.front()(window);
        others.pop_front();
      });
    });
  }

  testing::TempDir config;
  testing::MessageBoxAnswers boxes_;
  std::deque<std::function<void(QWidget*)>> others;  // the other dialogs, in order
};

TEST_F(NativeSetting, AboutFromTheContextMenuAndTheChoosersOnTheDefaultThatSetMade) {
  WriteConfig("Mode1-2", "QV_A", "QV_B");
  others = {
      [](QWidget* about) {
        SaveShot(about, "about-dialog");
        QTest::keyClick(about, Qt::Key_Return);
      },
      [](QWidget* chooser) {
        SaveShot(chooser, "printer-chooser");
        auto* list = chooser->findChild<QTreeWidget*>();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->currentItem() ? list->currentItem()->text(0) : QString(), QStringLiteral("QV_B"))
            << "the chooser opens on the default that Set made";
        chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
      },
      [](QWidget* files) {
        SaveShot(files, "file-chooser");
        static_cast<QFileDialog*>(files)->reject();
      },
  };
  const auto ok = [](const char* shot) {
    return [shot](QMessageBox* box) {
      SaveShot(box, shot);
      PressButton(box, QStringLiteral("OK"));
    };
  };
  const int code = RunProgram(
      [&](QWidget* dialog) {
        SaveShot(dialog, "setting-dialog");
        Click(dialog, 1008);  // Select B
        Click(dialog, 1);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(4, 4), dialog->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(dialog, &menu);
        QApplication::processEvents();  // the About item's command, queued by the menu
        Click(dialog, 1022);
        Click(dialog, 1042);
        Click(dialog, 1040);  // Browse, cancelled
        dialog->close();
      },
      {ok("set-success"), ok("confirm-exit")});
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(others.empty()) << "not every dialog was shown";
}

// Enter right after the start is Set: the first focus is the checked mode
// radio, never a Change button (the testing host's: setting_set_test.cpp).
TEST_F(NativeSetting, EnterRightAfterTheStartIsSet) {
  struct Start {
    const char* mode;
    int focus;
  };
  for (const Start start : {Start{"Mode1-2", 1041}, Start{"Mode2-1", 1042}}) {
    SCOPED_TRACE(start.mode);
    WriteConfig(start.mode, "QV_A", "QV_A");
    std::vector<std::string> shown;
    const auto answer = [&](QMessageBox* box) {
      shown.push_back(box->text().toStdString());
      PressButton(box, QStringLiteral("OK"));
    };
    RunProgram(
        [&](QWidget* dialog) {
          QWidget* focus = dialog->focusWidget();
          EXPECT_EQ(focus, testing::Control(dialog, start.focus));
          QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
          QCoreApplication::sendEvent(focus ? focus : dialog, &enter);
          dialog->close();
        },
        {answer, answer});
    EXPECT_EQ(shown, (std::vector<std::string>{"System finishes setting successfully.",
                                               "Are you sure to exit program?"}));
  }
}

}  // namespace
}  // namespace qv
