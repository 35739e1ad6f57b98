// The scenarios' driver for the native setup in process: the real Qt host
// on the offscreen platform and the real Linux services over a throwaway
// home, run from a medium folder beside it. Only the program's own path
// and the clock are the test's. Typed Windows paths lie in the home, as
// setup maps them.
#include "tests/installer/setup_qt_driver.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

#include "framework/qt/qt_host.h"
#include "framework/qt/qt_window.h"
#include "installer/linux/linux_installer_program.h"
#include "platform/posix/freedesktop_program_group.h"
#include "platform/posix/kernel_firmware_port_table.h"
#include "platform/posix/posix_installer_file_system.h"
#include "tests/installer/expected_installer.h"
#include "tests/support/qt_test_application.h"
#include "tests/support/service_doubles.h"
#include "tests/support/setup_driver.h"

namespace qv::testing {

namespace fs = std::filesystem;

constexpr const char* kEnvironment[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "CUPS_SERVER", "CUPS_SERVERROOT"};

ThrowawayHome::ThrowawayHome() {
  for (const char* name : kEnvironment)
    if (const char* value = std::getenv(name)) saved_[name] = value;
  setenv("HOME", dir_.path().c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DATA_HOME");
  setenv("CUPS_SERVER", (dir_ / "no-cups.sock").c_str(), 1);
  setenv("CUPS_SERVERROOT", dir_.path().c_str(), 1);
}

ThrowawayHome::~ThrowawayHome() {
  fs::current_path(workingDirectory_);
  for (const char* name : kEnvironment) saved_.count(name) ? setenv(name, saved_[name].c_str(), 1) : unsetenv(name);
}

int RunNativeSetup(const fs::path& medium, Clock& clock, MessageBoxAnswers& boxes,
                   const std::function<void(QWidget*)>& ready, std::deque<std::function<void(QWidget*)>>* others) {
  // The user's own file system in all but the program's path.
  auto files = posix::PosixInstallerFileSystem::ForCurrentUser();
  files.SetModulePath(medium / "setup");
  // A timer keeps the event loop awake, so the host's waits return at once
  // and only the clock decides the pauses.
  QTimer awake;
  awake.start(0);
  QTimer untilReady;
  LinuxInstallerOptions options;
  options.files = &files;
  options.clock = &clock;
  options.prepare = [&](qt::QtDialogHost& host) {
    host.ObserveShownWindows(RouteWindows(boxes, others, [&](QWidget* window) {
      if (!Control(window, 1003)) return false;
      QObject::connect(&untilReady, &QTimer::timeout, [&, dialog = QPointer<QWidget>(window)] {
        if (!dialog || testing::ControlText(dialog, 1005) != expected::kSetupReady) return;
        untilReady.stop();
        ready(dialog);
      });
      untilReady.start(0);
      return true;
    }));
  };
  return RunLinuxInstaller(options);
}

int NativePortCount() {
  posix::KernelFirmwarePortTable table;
  if (const auto words = table.ReadBaseAddresses())
    return static_cast<int>(
        std::count_if(words->begin(), words->end(), [](auto w) { return w == 0x378 || w == 0x3BC || w == 0x278; }));
  return table.CountKnownPorts();
}

namespace {

class QtSetupDriver final : public SetupDriver {
 public:
  QtSetupDriver() {
    QtTestApplication("setup");
    fs::create_directories(medium_);
    // Files of the user's in the home and beside the medium, which no medium may reach.
    fs::create_directories(mediumDir_ / "beside");
    WriteFileBytes(mediumDir_ / "beside" / "x", "beside");
    WriteFileBytes(home_ / ".bashrc", "# the user's own\n");
    clock_.step = std::chrono::milliseconds(5);
  }

  void PutOnMedium(const std::string& name, const std::string& bytes) override { WriteFileBytes(medium_ / name, bytes); }
  void NestMedium(const std::string& folder) override {
    medium_ /= folder;
    fs::create_directories(medium_);
  }
  std::string OnMedium(const std::string& name) override { return (medium_ / name).string(); }
  std::string MediumFolder() override { return medium_.string(); }

  std::string Shown(const std::string& typed) override { return Native(typed).string(); }
  bool Exists(const std::string& typed) override { return fs::exists(Native(typed)); }
  std::optional<std::string> ReadFile(const std::string& typed) override {
    return FileBytes(Native(typed));
  }
  void MakeFolder(const std::string& typed) override { fs::create_directories(Native(typed)); }
  void RemoveFolder(const std::string& typed) override { fs::remove(Native(typed)); }
  std::optional<std::string> Configuration(const std::string& name) override {
    return FileBytes(home_ / ".config/qv27-518" / name);
  }
  void BlockConfiguration(const std::string& name) override {
    fs::create_directories(home_ / ".config/qv27-518" / name);
  }
  std::map<std::string, std::string> Outside() override {
    std::map<std::string, std::string> entries;
    for (const fs::path& root : {home_.path(), mediumDir_.path()})
      for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().string().rfind((mediumDir_ / "medium").string(), 0) != 0)
          entries[entry.path().string()] = entry.is_regular_file() ? ReadFileBytes(entry.path()) : "folder";
    return entries;
  }
  int PortCount() override { return NativePortCount(); }
  std::optional<bool> GroupHas(const std::string& group, const std::string& caption) override {
    const auto menus = posix::FreedesktopProgramGroup::ForCurrentUser();
    return fs::exists(menus.MenuFile(group)) && fs::exists(menus.DesktopFile(group, caption));
  }

  Outcome Run(const std::function<void()>& whenReady, std::vector<BoxAnswer> atStart) override {
    Outcome outcome;
    Queue(std::move(atStart));
    bool endedByDriver = false;
    const int code = RunNativeSetup(medium_, clock_, boxes_, [&](QWidget* dialog) {
      dialog_ = dialog;
      outcome.ready = true;
      outcome.atStart = boxes_.seen;
      whenReady();
      if (!Running()) return;
      endedByDriver = true;
      Queue({kAnswerOk});
      dialog_->close();
    });
    if (!outcome.ready) outcome.atStart = boxes_.seen;
    if (!endedByDriver) outcome.exitCode = code;
    dialog_ = nullptr;
    return outcome;
  }
  std::string Text(int id) override { return dialog_ ? ControlText(dialog_, id) : ""; }
  void Type(int id, std::string_view text) override { TypeInto(dialog_, id, text); }
  std::vector<SetupBox> Press(int id, std::vector<BoxAnswer> answers) override {
    Queue(std::move(answers));
    return boxes_.During([&] { Click(dialog_, id); });
  }
  bool Running() override {
    auto* dialog = dynamic_cast<qt::TemplateDialog*>(dialog_);
    return dialog && dialog->isVisible() && !dialog->Ended();
  }

 private:
  fs::path Native(const std::string& typed) const {
    std::string path = typed.size() >= 2 && typed[1] == ':' ? home_.path().string() + typed.substr(2) : typed;
    std::replace(path.begin(), path.end(), '\\', '/');
    return fs::path(path).lexically_normal();
  }
  // Each answer notes the status line beneath its box.
  void Queue(std::vector<BoxAnswer> answers) {
    for (BoxAnswer& answer : answers)
      boxes_.Expect(answer.button, [this, first = std::move(answer.first)](QMessageBox* box) {
        BoxSeen& seen = boxes_.seen.back();
        if (std::count(seen.buttons.begin(), seen.buttons.end(), kAnswerRetry))
          SaveShot(box, "setup-retry-cancel");
        seen.status = dialog_ ? ControlText(dialog_, 1005) : "";
        if (first) first();
      });
  }

  ThrowawayHome home_;
  TempDir mediumDir_;
  fs::path medium_ = mediumDir_ / "medium";
  FakeClock clock_;
  MessageBoxAnswers boxes_;
  QWidget* dialog_ = nullptr;
};

}  // namespace

std::unique_ptr<SetupDriver> MakeSetupDriver() { return std::make_unique<QtSetupDriver>(); }

}  // namespace qv::testing
