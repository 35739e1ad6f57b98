// The native setting program's own windows, in process, on the Qt host's
// driver (real Linux services, a print server and a configuration directory
// of the test's own). Set, the modes and leaving are program scenarios
// (setting_scenarios.cpp); here, the windows only the Qt host has: the
// context menu's About, the printer chooser and the file chooser, and where
// its first focus is. Every window it meets is saved as a picture under the
// artifacts folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest/QTest>

#include "tests/setting/setting_qt_driver.h"
#include "tests/support/qt_program_driver.h"
#include "tests/support/qt_test_application.h"

namespace qv::testing {
namespace {

std::unique_ptr<QtSettingDriver> DriverWith(const std::string& mode, const std::string& nameB) {
  auto driver = MakeQtSettingDriver();
  driver->AddPrinters({"QV_A", "QV_B"}, "QV_A");
  driver->WriteConfiguration("[Configuration]\nPortCount=3\nMode=" + mode +
                             "\n[Printer Alias]\nPrinter1=Front\nPrinter2=Back\n"
                             "[Printer Name]\nPrinter1=QV_A\nPrinter2=" + nameB + "\n");
  return driver;
}

TEST(NativeSetting, AboutFromTheContextMenuAndTheChoosersOnTheDefaultThatSetMade) {
  const auto driver = DriverWith("Mode1-2", "QV_B");
  driver->beforeAnswer = [shots = 0](QMessageBox* box) mutable {
    SaveShot(box, shots++ == 0 ? "set-success" : "confirm-exit");
  };
  driver->others = {
      [](QWidget* window) {
        auto* menu = qobject_cast<QMenu*>(window);
        ASSERT_NE(menu, nullptr);
        SaveShot(menu, "context-menu");
        menu->actions().back()->trigger();
        menu->close();
      },
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
  const auto code = driver->Run([&] {
    QWidget* dialog = driver->Dialog();
    driver->SavePicture("dialog");
    driver->Press(1008);  // Select B
    EXPECT_EQ(driver->Press(kIdOk, {kAnswerOk}).size(), 1u);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(4, 4), dialog->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(dialog, &menu);
    QApplication::processEvents();  // the About item's command, queued by the menu
    driver->Press(1022);
    driver->Press(1042);
    driver->Press(1040);  // Browse, cancelled
    driver->Leave(Leaving::CloseBox, kAnswerOk);
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(driver->others.empty()) << "not every window was shown";
}

// Enter right after the start is Set: the first focus is the checked mode
// radio, never a Change button (the testing host's: setting_dialog_test.cpp).
TEST(NativeSetting, EnterRightAfterTheStartIsSet) {
  struct Start {
    const char* mode;
    int focus;
  };
  for (const Start start : {Start{"Mode1-2", 1041}, Start{"Mode2-1", 1042}}) {
    SCOPED_TRACE(start.mode);
    const auto driver = DriverWith(start.mode, "QV_A");
    driver->Run([&] {
      QWidget* focus = driver->Dialog()->focusWidget();
      EXPECT_EQ(focus, Control(driver->Dialog(), start.focus));
      const auto boxes = driver->Do(
          [&] { QTest::keyClick(focus ? focus : driver->Dialog(), Qt::Key_Return); }, {kAnswerOk});
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, "System finishes setting successfully.");
    });
  }
}

}  // namespace
}  // namespace qv::testing
