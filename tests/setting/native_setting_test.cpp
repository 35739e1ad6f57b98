// The native setting program end to end, in process: the real Qt host over
// the embedded resources and the real Linux services, against a print
// server and a configuration directory of the test's own. The test acts
// from the host's shown-window observer as a user would, clicking the
// widgets, and checks what the user's machine then holds: the configuration
// file, the CUPS default read back with lpstat, the started program. Every
// window it meets is saved as a picture under the artifacts folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest/QTest>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <thread>

#include "framework/qt/qt_host.h"
#include "setting/linux_setting_program.h"
#include "tests/support/qt_test_application.h"
#include "tests/support/temp_dir.h"
#include "tests/support/throwaway_print_server.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

QApplication& App() { return testing::QtTestApplication("QV27-518"); }

using testing::SaveShot;

QWidget* Control(QWidget* dialog, int id) {
  QWidget* control = dialog->findChild<QWidget*>(QString::number(id));
  EXPECT_NE(control, nullptr) << "control " << id;
  return control;
}

void Click(QWidget* dialog, int id) {
  if (QWidget* control = Control(dialog, id)) QTest::mouseClick(control, Qt::LeftButton);
}

std::string Shown(QWidget* dialog, int id) {
  QWidget* control = Control(dialog, id);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text().toStdString();
  return {};
}

void PressButton(QWidget* window, const QString& text) {
  for (auto* button : window->findChildren<QPushButton*>()) {
    if (button->text() == text) {
      button->click();
      return;
    }
  }
  ADD_FAILURE() << "no button " << text.toStdString();
}

// Waits for what a started program leaves behind; a program that never ran
// fails the test after a while instead of hanging it.
template <class Done>
bool PollUntil(Done done) {
  for (int round = 0; round < 3000 && !done(); ++round)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}

class NativeSetting : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
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
  std::string Config() const { return testing::ReadFileBytes(ConfigFile()); }
  static std::string UserDefault() { return testing::ThrowawayPrintServer::Output("lpstat -d 2>&1"); }

  // Runs the program; the main dialog goes to `user`, each message box to
  // the next of `boxes` (which also gets the box's text).
  int RunProgram(std::function<void(QWidget*)> user,
                 std::deque<std::function<void(QMessageBox*)>> boxes) {
    return RunLinuxSettingProgram([&](qt::QtDialogHost& host) {
      host.ObserveShownWindows([&, user](QWidget* window) {
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
          boxTexts.push_back(box->text().toStdString());
          if (boxes.empty()) {
            ADD_FAILURE() << "unexpected message box: " << box->text().toStdString();
            PressButton(box, QStringLiteral("OK"));
            return;
          }
          auto answer = std::move(boxes.front());
          boxes.pop_front();
          answer(box);
          return;
        }
        if (auto* menu = qobject_cast<QMenu*>(window)) {
          SaveShot(menu, "context-menu");
          menu->actions().back()->trigger();
          menu->close();
          return;
        }
        if (window->findChild<QWidget*>(QStringLiteral("1026"))) user(window);
        else others.front()(window), others.pop_front();
      });
    });
  }

  testing::ThrowawayPrintServer server;
  testing::TempDir config;
  std::vector<std::string> boxTexts;
  std::deque<std::function<void(QWidget*)>> others;  // the other dialogs, in order
};

TEST_F(NativeSetting, OnePcToTwoPrintersSetMakesPrinterBTheUsersDefault) {
  WriteConfig("Mode1-2", "QV_A", "QV_B");
  std::string aliasShown, nameShown;
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
        aliasShown = Shown(dialog, 1014);
        nameShown = Shown(dialog, 1018);
        Click(dialog, 1011);  // Broadcast to differently named printers: the warning, cancelled
        Click(dialog, 1);
        Click(dialog, 1008);
        Click(dialog, 1);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(4, 4), dialog->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(dialog, &menu);
        QApplication::processEvents();  // the About item's command, queued by the menu
        Click(dialog, 1022);
        dialog->close();
      },
      {[](QMessageBox* box) {
         SaveShot(box, "broadcast-warning");
         PressButton(box, QStringLiteral("Cancel"));
       },
       ok("set-success"), ok("confirm-exit")});
  EXPECT_EQ(code, 0);
  EXPECT_EQ(aliasShown, "Front");
  EXPECT_EQ(nameShown, "QV_A");
  ASSERT_EQ(boxTexts.size(), 3u);
  EXPECT_EQ(boxTexts[1], "System finishes setting successfully.");
  EXPECT_EQ(boxTexts[2], "Are you sure to exit program?");
  EXPECT_NE(Config().find("Mode1-2=PB"), std::string::npos) << Config();
  EXPECT_NE(UserDefault().find("QV_B"), std::string::npos) << UserDefault();
  EXPECT_TRUE(others.empty()) << "not every dialog was shown";
}

TEST_F(NativeSetting, SharedPrinterSetDefaultsToPrinterAAndStartsTheTransferProgram) {
  const fs::path written = config / "argv";
  setenv("QV_ARGV_FILE", written.c_str(), 1);
  WriteConfig("Mode2-1", "QV_B", "QV_A");
  const std::string program = std::string(QV_ARGV_WRITER) + " \"two words\"";
  others = {[](QWidget* files) {
    SaveShot(files, "file-chooser");
    static_cast<QFileDialog*>(files)->reject();
  }};
  RunProgram(
      [&](QWidget* dialog) {
        Click(dialog, 1012);
        Click(dialog, 1040);  // Browse, cancelled
        auto* path = static_cast<QLineEdit*>(Control(dialog, 1039));
        path->selectAll();
        QTest::keyClicks(path, QString::fromStdString(program));
        Click(dialog, 1);
        QTest::keyClick(dialog, Qt::Key_Escape);
      },
      {[](QMessageBox* box) { PressButton(box, QStringLiteral("OK")); },
       [](QMessageBox* box) { PressButton(box, QStringLiteral("OK")); }});
  unsetenv("QV_ARGV_FILE");
  EXPECT_NE(Config().find("Mode2-1=FtpON"), std::string::npos) << Config();
  EXPECT_NE(Config().find("FtpPath=" + program), std::string::npos) << Config();
  EXPECT_NE(UserDefault().find("QV_B"), std::string::npos) << UserDefault();
  EXPECT_TRUE(others.empty()) << "the file chooser was not shown";
  ASSERT_TRUE(PollUntil([&] { return fs::exists(written); })) << "the transfer program did not start";
  const std::string argv = testing::ReadFileBytes(written);
  EXPECT_NE(argv.find(std::string("two words") + '\0'), std::string::npos);
}

}  // namespace
}  // namespace qv
