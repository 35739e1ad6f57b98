// The scenarios' driver for the native program in process: the real Qt host
// on the offscreen platform with the real Linux services, the program run
// as main() runs it, against a print server and a configuration directory
// of the test's own. The scenario acts from the host's shown-window
// observer, clicking and typing into the widgets as a user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QtTest/QTest>

#include <cstdlib>
#include <filesystem>

#include "framework/qt/qt_host.h"
#include "setting/linux/linux_setting_program.h"
#include "tests/support/poll_until.h"
#include "tests/support/qt_program_driver.h"
#include "tests/support/qt_test_application.h"
#include "tests/support/temp_dir.h"
#include "tests/setting/setting_qt_driver.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

class QtHostDriver final : public QtSettingDriver {
 public:
  QtHostDriver() {
    QtTestApplication("QV27-518");
    EXPECT_EQ(SettingPrintServer().problem(), "");
    // Each driver starts from the server's default, with no choice of the
    // user's own.
    fs::remove(SettingPrintServer().clientRoot() / "lpoptions");
    fs::remove(SettingPrintServer().home() / ".cups" / "lpoptions");
    setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    setenv("QV_ARGV_FILE", argv_.c_str(), 1);
    fs::create_directories(ConfigPath().parent_path());
  }
  ~QtHostDriver() override {
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("QV_ARGV_FILE");
  }

  void WriteConfiguration(std::string_view text) override { WriteFileBytes(ConfigPath(), text); }
  std::optional<std::string> Configuration() override { return FileBytes(ConfigPath()); }
  void BlockConfiguration() override { fs::create_directory(ConfigPath()); }
  void AddPrinters(const std::vector<std::string>& names, const std::string& defaultName) override {
    for (const std::string& name : names)
      EXPECT_TRUE(SettingPrintServer().AddPrinter(name)) << name;
    EXPECT_TRUE(SettingPrintServer().SetServerDefault(defaultName));
  }
  std::string DefaultPrinter() override {
    // "system default destination: NAME"
    std::string out = ThrowawayPrintServer::Output("lpstat -d 2>&1");
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    const std::size_t colon = out.rfind(": ");
    return colon == std::string::npos ? out : out.substr(colon + 2);
  }
  std::string RecordingCommand(std::string_view argument) override {
    return std::string(QV_ARGV_WRITER) + " " + std::string(argument);
  }
  std::optional<std::string> TakeRecordedStart() override {
    if (!PollUntil([&] { return fs::exists(argv_); })) return std::nullopt;
    // The process id, then argv[0], then the arguments, each NUL-terminated.
    const std::string bytes = ReadFileBytes(argv_);
    fs::remove(argv_);
    std::string arguments;
    for (std::size_t at = 0, word = 0; at < bytes.size(); ++word) {
      const std::size_t end = std::min(bytes.find('\0', at), bytes.size());
      if (word >= 2) arguments += (word > 2 ? " " : "") + bytes.substr(at, end - at);
      at = end + 1;
    }
    return arguments;
  }

  std::optional<int> Run(const std::function<void()>& scenario) override {
    bool endedByUser = false;
    const int code = RunLinuxSettingProgram([&](qt::QtDialogHost& host) {
      host.ObserveShownWindows(RouteWindows(boxes_, &others, [&](QWidget* window) {
        if (dialog_ || !Control(window, 1026)) return false;
        dialog_ = window;
        scenario();
        endedByUser = !Running();
        if (!endedByUser) Leave(Leaving::CloseBox, kAnswerOk);
        return true;
      }));
    });
    if (!dialog_) ADD_FAILURE() << "the setting dialog did not open";
    return endedByUser ? std::optional<int>(code) : std::nullopt;
  }
  std::string Text(int id) override { return ControlText(dialog_, id); }
  bool IsChecked(int id) override {
    auto* button = qobject_cast<QAbstractButton*>(Control(dialog_, id));
    return button && button->isChecked();
  }
  bool IsEnabled(int id) override {
    QWidget* control = Control(dialog_, id);
    return control && control->isEnabled();
  }
  void Type(int id, std::string_view text) override { TypeInto(dialog_, id, text); }
  std::vector<BoxSeen> Press(int id, const std::vector<int>& answers) override {
    return Do([&] { Click(dialog_, id); }, answers);
  }
  std::vector<BoxSeen> Do(const std::function<void()>& act,
                          const std::vector<int>& answers) override {
    for (int answer : answers) boxes_.Expect(answer, beforeAnswer);
    return boxes_.During(act);
  }
  QWidget* Dialog() override { return dialog_; }
  void AskToLeave(Leaving how) override {
    const std::size_t before = boxes_.seen.size();
    switch (how) {
      case Leaving::QuitButton: Click(dialog_, 2); break;
      case Leaving::EscapeKey: QTest::keyClick(dialog_, Qt::Key_Escape); break;
      case Leaving::CloseBox: dialog_->close(); break;
    }
    // The close box's request arrives through the event queue.
    for (int round = 0; round < 100 && boxes_.seen.size() == before; ++round) QApplication::processEvents();
  }
  bool Running() override { return dialog_ && dialog_->isVisible() && !left_; }
  void SavePicture(const std::string& name) override { SaveShot(dialog_, "setting-" + name); }

 private:
  fs::path ConfigPath() const { return config_ / "qv27-518" / "QV27-518.ini"; }

  TempDir config_;
  fs::path argv_ = config_ / "argv";
  MessageBoxAnswers boxes_;
  QWidget* dialog_ = nullptr;
};

}  // namespace

ThrowawayPrintServer& SettingPrintServer() {
  // Stopped when the test program exits.
  static ThrowawayPrintServer server;
  return server;
}

std::unique_ptr<QtSettingDriver> MakeQtSettingDriver() { return std::make_unique<QtHostDriver>(); }
std::unique_ptr<ProgramDriver> MakeProgramDriver() { return MakeQtSettingDriver(); }

}  // namespace qv::testing
