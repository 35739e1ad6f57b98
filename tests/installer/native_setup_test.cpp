// The native installer end to end, in process: the real Qt host on the
// offscreen platform and the real Linux services over a throwaway home,
// installing from the linux sample medium as a user would (About, then
// Setup, then the answers to the message boxes). Only the program's own
// path (the medium's "setup") and the clock (which moves on whenever it is
// read, so that no pause waits in real time) are the test's. Pictures of
// the dialogs, a Retry/Cancel prompt and the bar go to the artifacts folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "framework/qt/qt_host.h"
#include "installer/linux/linux_installer_program.h"
#include "installer/linux/progress_control.h"
#include "platform/posix/freedesktop_program_group.h"
#include "platform/posix/kernel_firmware_port_table.h"
#include "platform/posix/posix_installer_file_system.h"
#include "setting/linux/linux_setting_program.h"
#include "tests/support/qt_program_driver.h"
#include "tests/support/qt_test_application.h"
#include "tests/support/service_doubles.h"
#include "tests/support/temp_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

using testing::Control;
using testing::PressButton;
using testing::SaveShot;

std::string Status(QWidget* dialog) { return testing::ControlText(dialog, 1005); }

// The installer as started from `medium`: the user's own file system in
// all but the program's path.
class MediumFiles final : public InstallerFileSystem {
 public:
  explicit MediumFiles(const fs::path& medium) : setup_((medium / "setup").string()) {}
  std::string ModulePath() override { return setup_; }
  bool FileExists(std::string_view p) override { return files_.FileExists(p); }
  std::optional<std::uint64_t> FileSize(std::string_view p) override { return files_.FileSize(p); }
  char Separator() const override { return files_.Separator(); }
  std::string ShownPath(std::string_view p) const override { return files_.ShownPath(p); }
  std::string TypedPath(std::string_view p) const override { return files_.TypedPath(p); }
  bool DirectoryExists(std::string_view p) override { return files_.DirectoryExists(p); }
  bool EnterDirectory(std::string_view p) override { return files_.EnterDirectory(p); }
  bool MakeDirectory(std::string_view p) override { return files_.MakeDirectory(p); }
  Text256 WindowsDirectory() override { return files_.WindowsDirectory(); }
  Text256 SystemDirectory() override { return files_.SystemDirectory(); }
  void SetCriticalErrorMode(unsigned mode) override { files_.SetCriticalErrorMode(mode); }
  LzCopyResult CopyExpanded(std::string_view s, std::string_view d) override { return files_.CopyExpanded(s, d); }

 private:
  std::string setup_;
  posix::PosixInstallerFileSystem files_ = posix::PosixInstallerFileSystem::ForCurrentUser();
};

class NativeSetup : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::QtTestApplication("setup");
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "CUPS_SERVER", "CUPS_SERVERROOT"})
      if (const char* value = std::getenv(name)) saved_[name] = value;
    setenv("HOME", home_.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    // The setting program lists printers when it opens: no server answers here.
    setenv("CUPS_SERVER", (home_ / "no-cups.sock").c_str(), 1);
    setenv("CUPS_SERVERROOT", home_.path().c_str(), 1);
    clock_.step = std::chrono::milliseconds(5);
  }
  void TearDown() override {
    fs::current_path(before_);
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "CUPS_SERVER", "CUPS_SERVERROOT"})
      saved_.count(name) ? setenv(name, saved_[name].c_str(), 1) : unsetenv(name);
  }

  // Runs setup from `medium`. Once the start-up is done the main dialog goes
  // to `user`; each message box to the next of `boxes`, other dialogs to the
  // next of `others`. A timer keeps the event loop awake, so the host's
  // waits return at once and only the test's clock decides the pauses.
  int RunSetup(const fs::path& medium, std::function<void(QWidget*)> user,
               std::deque<std::function<void(QMessageBox*)>> boxes) {
    boxes_.answers = std::move(boxes);
    MediumFiles files(medium);
    QTimer awake;
    awake.start(0);
    QTimer ready;
    LinuxInstallerOptions options;
    options.files = &files;
    options.clock = &clock_;
    options.prepare = [&](qt::QtDialogHost& host) {
      host.ObserveShownWindows([&](QWidget* window) {
        if (boxes_.Answer(window)) {
        } else if (Control(window, 1003)) {
          QObject::connect(&ready, &QTimer::timeout, [&, window] {
            if (Status(window) != "Initialization is done, press Setup to proceed.") return;
            ready.stop();
            user(window);
          });
          ready.start(0);
        } else if (!others.empty()) {
          others.front()(window);
          others.pop_front();
        } else {
          ADD_FAILURE() << "unexpected window";
          window->close();
        }
      });
    };
    return RunLinuxInstaller(options);
  }

  static int ExpectedPortCount() {
    posix::KernelFirmwarePortTable table;
    if (const auto words = table.ReadBaseAddresses())
      return static_cast<int>(std::count_if(words->begin(), words->end(),
                                            [](auto w) { return w == 0x378 || w == 0x3BC || w == 0x278; }));
    return table.CountKnownPorts();
  }

  testing::TempDir home_;
  fs::path before_ = fs::current_path();
  testing::FakeClock clock_;
  std::map<std::string, std::string> saved_;
  testing::MessageBoxAnswers boxes_;
  std::deque<std::function<void(QWidget*)>> others;
};

TEST_F(NativeSetup, InstallsFromTheMediumIntoTheHomeAndTheMenu) {
  const fs::path medium = QV_LINUX_MEDIUM;
  QWidget* main = nullptr;
  QTimer camera;  // the dialog halfway, while the second of two files is copied
  QObject::connect(&camera, &QTimer::timeout, [&] {
    if (!main || Status(main) != "Copying File: README.TXT") return;
    camera.stop();
    SaveShot(main, "setup-dialog-101-copying");
  });
  others = {[](QWidget* about) {
    SaveShot(about, "setup-about-dialog-100");
    QTest::keyClick(about, Qt::Key_Return);
  }};
  const int code = RunSetup(
      medium,
      [&](QWidget* dialog) {
        main = dialog;
        camera.start(0);
        SaveShot(dialog, "setup-dialog-101");
        static_cast<QAbstractButton*>(Control(dialog, 1006))->click();  // About
        static_cast<QAbstractButton*>(Control(dialog, 1))->click();     // Setup
      },
      {[&](QMessageBox* box) {
        SaveShot(main, "setup-dialog-101-done");
        SaveShot(box, "setup-success");
        PressButton(box, QStringLiteral("OK"));
      }});
  EXPECT_EQ(code, 0) << "a program whose start-up routine returns ends with 0";
  ASSERT_EQ(boxes_.Texts(), std::vector<std::string>{"System completes installation successfully."});
  EXPECT_TRUE(others.empty()) << "About was not shown";

  const fs::path installed = home_ / "QV27-518";
  EXPECT_EQ(testing::ReadFileBytes(installed / "QV27-518"), testing::ReadFileBytes(QV_SETTING_PROGRAM));
  EXPECT_EQ(testing::ReadFileBytes(installed / "README.TXT"), testing::ReadFileBytes(QV_README));
  EXPECT_EQ(fs::status(installed / "QV27-518").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
  const std::string config = testing::ReadFileBytes(home_ / ".config/qv27-518/QV27-518.ini");
  EXPECT_NE(config.find("PortCount=" + std::to_string(ExpectedPortCount()) + "\n"), std::string::npos) << config;
  EXPECT_NE(config.find("InstalledDir=" + installed.string() + "\n"), std::string::npos) << config;

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
  EXPECT_EQ(*lpt2Enabled, ExpectedPortCount() >= 2);
}

TEST_F(NativeSetup, AMissingFileOnTheMediumPromptsRetryOrCancel) {
  testing::TempDir medium;
  for (const char* name : {"setup", "QV27-518.INF", "QV27-518._"})
    fs::copy_file(fs::path(QV_LINUX_MEDIUM) / name, medium / name);
  std::string prompt;
  RunSetup(
      medium.path(), [](QWidget* dialog) { static_cast<QAbstractButton*>(Control(dialog, 1))->click(); },
      {[&](QMessageBox* box) {
         prompt = box->text().toStdString();
         SaveShot(box, "setup-retry-cancel");
         // Retry looks again: the file is still missing, so the prompt returns.
         PressButton(box, QStringLiteral("Retry"));
       },
       [](QMessageBox* box) { PressButton(box, QStringLiteral("Cancel")); },
       [](QMessageBox* box) { PressButton(box, QStringLiteral("OK")); }});
  EXPECT_EQ(prompt, "Error to open file: " + medium.path().string() + "/README.TX_");
  ASSERT_EQ(boxes_.Texts().size(), 3u);
  EXPECT_EQ(boxes_.Texts()[2], "System installs files unsuccessfully. Program will terminate!");
  EXPECT_TRUE(fs::exists(home_ / "QV27-518" / "QV27-518")) << "the file before stays";
  EXPECT_FALSE(fs::exists(home_ / ".config/qv27-518/QV27-518.ini")) << "nothing written about the installation";
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
