// The information file read through the whole installer dialog, with the
// service doubles: the dialog starts on the file, the files it lists are put
// on the medium, the user types a path and presses Setup, and every message
// box is cancelled. Whatever the file says, nothing crashes or overruns, and
// every command the shell receives is exactly one command.
// Fields: the information file's text, then the install path typed.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "framework/testing/testing_host.h"
#include "framework/window_constants.h"
#include "installer/install_dlg.h"
#include "installer/installer_resources.h"
#include "platform/posix/ini_profile_store.h"
#include "platform/win32/shell_commands.h"
#include "tests/fuzz/fuzz_directory.h"
#include "tests/fuzz/fuzz_fields.h"
#include "tests/fuzz/shell_command_syntax.h"
#include "tests/support/installer_doubles.h"
#include "tests/support/service_doubles.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::fuzz;

constexpr const char* kInfPath = "A:\\QV27-518.INF";
constexpr int kPathField = 1003;

const fs::path& Directory() { return RunDirectory("qv-inf-fuzz"); }

const qv::ResourceBundle& Resources() {
  static const qv::ResourceBundle bundle = *qv::ResourceBundle::FromResFile(qv::InstallerResourceBytes());
  return bundle;
}

// The real profile engine, kept to the run's directory: the information
// file names the configuration file, and a name with '/' would be a path
// anywhere on the machine.
class ConfinedProfileStore final : public qv::ProfileStore {
 public:
  explicit ConfinedProfileStore(qv::ProfileStore& inner) : inner_(inner) {}
  qv::Text256 ReadString(std::string_view section, std::string_view key, std::string_view defaultValue,
                         std::string_view file) override {
    if (!Confined(file)) return qv::Text256(defaultValue);
    return inner_.ReadString(section, key, defaultValue, file);
  }
  int ReadInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file) override {
    return Confined(file) ? inner_.ReadInt(section, key, defaultValue, file) : defaultValue;
  }
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view file) override {
    return Confined(file) && inner_.WriteString(section, key, value, file);
  }

 private:
  static bool Confined(std::string_view file) {
    return file.find('/') == std::string_view::npos && file != "." && file != "..";
  }
  qv::ProfileStore& inner_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = SplitFields(data, size);
  const fs::path& dir = Directory();
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
  {
    std::ofstream out(dir / kInfPath, std::ios::binary);
    out.write(fields[0].data(), static_cast<std::streamsize>(fields[0].size()));
  }

  qv::posix::IniProfileStore diskProfile(dir);
  ConfinedProfileStore profile(diskProfile);
  qv::testing::FakeInstallerFileSystem files;
  files.AddDirectory("A:\\");
  files.AddDirectory("C:\\");
  files.AddDirectory("C:\\WINDOWS");
  files.AddDirectory("C:\\WINDOWS\\SYSTEM");
  files.AddFile(kInfPath, std::string(fields[0]));
  // A file that the medium lacks is asked for again and again: the copy
  // loop's limit is kept low, and each box is answered with Cancel.
  files.copyAttemptLimit = 200;
  qv::testing::FakePortTable ports;
  ports.table = std::array<std::uint16_t, 3>{0x378, 0, 0};
  qv::testing::RecordingProgressClass progressClass;
  qv::testing::RecordingShell shell;
  qv::testing::FakeClock clock;
  clock.step = std::chrono::milliseconds(250);
  qv::testing::TestingHost host(Resources());
  qv::ProgressCounters progress;
  const qv::InstallerServices services{profile, files, ports, progressClass, shell, clock};

  qv::CInstallDlg dialog(host, services, progress);
  qv::testing::TestWindow& window = host.Open(dialog);
  host.PumpAll();

  if (!window.Ended()) {
    // The medium holds every source file the information file names.
    for (std::uint16_t i = 0; i < dialog.FileCount(); ++i) {
      const qv::FileEntry& entry = dialog.FileEntryAt(i);
      qv::ResolvedPath source;
      if (dialog.ResolvePath(dialog.SourceDir(), source, entry.sourceName.view(), entry.sourceDirIndex)) {
        files.AddFile(source.text.view(), "contents");
      }
    }
    for (int i = 0; i < 64; ++i) host.AnswerNextMessageBox(qv::kIdCancel);
    window.Type(kPathField, fields.size() > 1 ? fields[1] : std::string_view("C:\\QV27-518"));
    window.Click(qv::kIdOk);
  }

  // What the Windows shell would receive for each group and item.
  for (const std::string& group : shell.groups) {
    if (const auto command = qv::win32::CreateGroupCommand(group)) {
      const auto read = ReadShellCommands(*command);
      Require(read && read->size() == 1, "each shell command is one command");
    }
  }
  for (const auto& item : shell.items) {
    if (const auto command = qv::win32::AddItemCommand({item.caption, item.installPath, item.fileName, item.kind},
                                                       "C:\\WINDOWS")) {
      const auto read = ReadShellCommands(*command);
      Require(read && read->size() == 1, "each shell command is one command");
    }
  }
  return 0;
}
