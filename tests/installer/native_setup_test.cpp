// The native installer end to end, in process, from the linux sample
// medium into a throwaway home (setup_qt_driver.h), as a user would: About,
// then Setup, then the answer to the message; the menu entries with their
// icons, and the installed setting program opening on what setup wrote.
// The installer's scenarios run on this host too (setup_scenarios.cpp).
// Pictures of the dialogs and the bar go to the artifacts folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <filesystem>
#include <optional>

#include "framework/qt/qt_host.h"
#include "installer/linux/progress_control.h"
#include "platform/posix/freedesktop_program_group.h"
#include "setting/linux/linux_setting_program.h"
#include "tests/installer/setup_qt_driver.h"
#include "tests/support/qt_test_application.h"
#include "tests/support/service_doubles.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

using testing::Control;
using testing::PressButton;
using testing::SaveShot;

TEST(NativeSetup, InstallsFromTheMediumIntoTheHomeAndTheMenu) {
  testing::ThrowawayHome home;
  testing::QtTestApplication("setup");
  testing::FakeClock clock;
  clock.step = std::chrono::milliseconds(5);
  testing::MessageBoxAnswers boxes;
  QWidget* main = nullptr;
  QTimer camera;  // the dialog halfway, while the second of two files is copied
  QObject::connect(&camera, &QTimer::timeout, [&] {
    if (!main || testing::ControlText(main, 1005) != "Copying File: README.TXT") return;
    camera.stop();
    SaveShot(main, "setup-dialog-101-copying");
  });
  std::deque<std::function<void(QWidget*)>> others = {[](QWidget* about) {
    SaveShot(about, "setup-about-dialog-100");
    QTest::keyClick(about, Qt::Key_Return);
  }};
  boxes.answers = {[&](QMessageBox* box) {
    SaveShot(main, "setup-dialog-101-done");
    SaveShot(box, "setup-success");
    PressButton(box, QStringLiteral("OK"));
  }};
  const int code = testing::RunNativeSetup(
      QV_LINUX_MEDIUM, clock, boxes,
      [&](QWidget* dialog) {
        main = dialog;
        camera.start(0);
        SaveShot(dialog, "setup-dialog-101");
        static_cast<QAbstractButton*>(Control(dialog, 1006))->click();  // About
        static_cast<QAbstractButton*>(Control(dialog, 1))->click();     // Setup
      },
      &others);
  EXPECT_EQ(code, 0) << "a program whose start-up routine returns ends with 0";
  ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"System completes installation successfully."});
  EXPECT_TRUE(others.empty()) << "About was not shown";

  const fs::path installed = home / "QV27-518";
  EXPECT_EQ(testing::ReadFileBytes(installed / "QV27-518"), testing::ReadFileBytes(QV_MEDIUM_PROGRAM));
  EXPECT_EQ(testing::ReadFileBytes(installed / "README.TXT"), testing::ReadFileBytes(QV_README));
  EXPECT_EQ(fs::status(installed / "QV27-518").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
  const std::string config = testing::ReadFileBytes(home / ".config/qv27-518/QV27-518.ini");
  EXPECT_NE(config.find("PortCount=" + std::to_string(testing::NativePortCount()) + "\n"), std::string::npos) << config;

  const auto group = posix::FreedesktopProgramGroup::ForCurrentUser();
  const std::string program = testing::ReadFileBytes(group.DesktopFile("QV27-518", "QV27-518 Setting Program"));
  EXPECT_NE(program.find("Exec=\"" + (installed / "QV27-518").string() + "\""), std::string::npos) << program;
  const std::string icon = posix::FreedesktopProgramGroup::IconName("QV27-518", "QV27-518 Setting Program");
  EXPECT_NE(program.find("\nIcon=" + icon + "\n"), std::string::npos) << program;
  EXPECT_EQ(testing::ReadFileBytes(group.IconFile("QV27-518", "QV27-518 Setting Program", 48)),
            testing::ReadFileBytes(fs::path(QV_LINUX_MEDIUM) / "QV27-518-48.png"));
  const std::string guide = testing::ReadFileBytes(group.DesktopFile("QV27-518", "Read Me"));
  EXPECT_NE(guide.find("Exec=xdg-open \"" + (installed / "README.TXT").string() + "\""), std::string::npos) << guide;
  EXPECT_TRUE(fs::exists(group.MenuFile("QV27-518")));
  EXPECT_TRUE(fs::exists(group.DirectoryFile("QV27-518")));

  // The installed setting program opens on what setup wrote: with fewer
  // than two ports LPT2 cannot be chosen.
  std::optional<bool> lpt2Enabled;
  RunLinuxSettingProgram([&](qt::QtDialogHost& host) {
    host.ObserveShownWindows([&](QWidget* window) {
      if (auto* box = qobject_cast<QMessageBox*>(window)) {
        PressButton(box, QStringLiteral("OK"));
      } else if (QWidget* lpt2 = Control(window, 1037)) {
        lpt2Enabled = lpt2->isEnabled();
        SaveShot(window, "installed-setting-program");
        window->close();
      }
    });
  });
  ASSERT_TRUE(lpt2Enabled.has_value()) << "the setting program did not open";
  EXPECT_EQ(*lpt2Enabled, testing::NativePortCount() >= 2);
}

TEST(NativeProgressBar, PaintsTheSameBarAsWindows) {
  testing::QtTestApplication("setup");
  struct Case {
    std::uint16_t done, total;
    const char* shot;
    QColor left, right;
  } cases[] = {
      {0, 100, "progress-0", QColor(192, 192, 192), QColor(192, 192, 192)},
      {1, 2, "progress-50", QColor(0, 0, 255), QColor(192, 192, 192)},
      {2, 2, "progress-100", QColor(0, 0, 255), QColor(0, 0, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shot);
    ProgressCounters counters{c.done, c.total};
    qt::QtProgressControl bar(nullptr, counters);
    bar.resize(75, 20);
    const QImage image = bar.grab().toImage();
    SaveShot(&bar, c.shot);
    EXPECT_EQ(image.pixelColor(3, 3), c.left);      // inside the frame, away from the text
    EXPECT_EQ(image.pixelColor(71, 3), c.right);
    EXPECT_EQ(image.pixelColor(0, 10), QColor(0, 0, 255)) << "the frame";
    EXPECT_EQ(image.pixelColor(74, 10), QColor(0, 0, 255)) << "the frame";
  }
}

}  // namespace
}  // namespace qv
