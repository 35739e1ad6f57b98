// The scenarios' driver for the real setup.exe under Wine: a medium that
// the driver lays out below C:\qvtest (a copy of the program beside the
// files), the program's real controls pressed and read from this test
// program, and the disk, the Windows folder's configuration file and the
// shell's program groups read as Windows keeps them. Typed paths are the
// prefix's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/installer/expected_installer.h"
#include "tests/support/poll_until.h"
#include "tests/support/setup_driver.h"
#include "tests/wine/program_driver.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;
using wine::RunningProgram;

constexpr const char* kTestRoot = "C:\\qvtest";
constexpr const char* kGroups[] = {"QVTEST"};  // the groups the scenarios make
// The configuration files the scenarios' media name, and the sample medium's.
constexpr const char* kConfigurations[] = {"QVSETUP.INI", "QV27-518.ini"};

class WineSetupDriver final : public SetupDriver {
 public:
  WineSetupDriver() {
    Clean();
    NestMedium("medium");
    // A file of the user's beside the medium, which no medium may reach.
    fs::create_directories(std::string(kTestRoot) + "\\beside");
    wine::WriteFile(std::string(kTestRoot) + "\\beside\\x", "beside");
  }
  ~WineSetupDriver() override {
    program_.Kill();
    for (const char* group : kGroups) wine::CloseGroupWindow(group);
    Clean();
  }

  void PutOnMedium(const std::string& name, const std::string& bytes) override { wine::WriteFile(OnMedium(name), bytes); }
  void NestMedium(const std::string& folder) override {
    medium_ += "\\" + folder;
    fs::create_directories(medium_);
    EXPECT_TRUE(CopyFileA((wine::BinDirectory() + "\\setup.exe").c_str(), OnMedium("setup.exe").c_str(), FALSE));
  }
  std::string OnMedium(const std::string& name) override { return medium_ + "\\" + name; }
  // The folder is "medium" on disk; the field holds its name in upper case.
  std::string MediumFolder() override { return Shown(medium_); }

  bool Exists(const std::string& typed) override { return fs::exists(typed); }
  std::optional<std::string> ReadFile(const std::string& typed) override {
    return FileBytes(typed);
  }
  void MakeFolder(const std::string& typed) override { fs::create_directories(typed); }
  void RemoveFolder(const std::string& typed) override { fs::remove(typed); }
  std::optional<std::string> Configuration(const std::string& name) override {
    return wine::ReadFile(wine::WindowsDirectory() + "\\" + name);
  }
  void BlockConfiguration(const std::string& name) override {
    EXPECT_TRUE(CreateDirectoryA((wine::WindowsDirectory() + "\\" + name).c_str(), nullptr));
  }
  std::map<std::string, std::string> Outside() override {
    std::map<std::string, std::string> entries;
    const auto note = [&](const fs::directory_entry& e) {
      if (e.path().string().rfind(medium_, 0) != 0)
        entries[e.path().string()] = e.is_regular_file() ? wine::ReadFile(e.path().string()).value_or("?") : "folder";
    };
    std::error_code ignored;
    for (auto it = fs::directory_iterator("C:\\", ignored); it != fs::directory_iterator(); ++it) note(*it);
    for (auto it = fs::recursive_directory_iterator(kTestRoot, ignored); it != fs::recursive_directory_iterator(); ++it)
      note(*it);
    return entries;
  }
  // Wine refuses the BIOS data area and knows no LPT device in a fresh prefix.
  int PortCount() override { return 0; }
  std::optional<bool> GroupHas(const std::string& group, const std::string& caption) override {
    return fs::exists(wine::ProgramGroupFolder(group) / (caption + ".lnk"));
  }

  Outcome Run(const std::function<void()>& whenReady, std::vector<BoxAnswer> atStart) override {
    Outcome outcome;
    if (!(dialog_ = program_.StartDialog(OnMedium("setup.exe"), expected::kSetupTitle, medium_))) {
      ADD_FAILURE() << "setup.exe" << (program_.Running() ? ": no dialog" : ": " + program_.WhyNotRunning());
      return outcome;
    }
    // Ready, or the boxes that the start-up shows instead.
    std::size_t answered = 0;
    PollUntil([&] {
      if (!program_.Running()) return true;
      if ((outcome.ready = wine::ControlText(dialog_, 1005) == expected::kSetupReady)) return true;
      if (answered < atStart.size()) {
        auto boxes = Answer({atStart[answered]}, std::chrono::milliseconds(100));
        answered += boxes.size();
        outcome.atStart.insert(outcome.atStart.end(), boxes.begin(), boxes.end());
      }
      return false;
    }, std::chrono::seconds(30), std::chrono::milliseconds(50));
    if (outcome.ready) {
      wine::SaveScreenshot(dialog_, "setup_dialog_ready");
      whenReady();
    }
    // The program ends on its own a moment after its last message.
    if (!Running()) outcome.exitCode = program_.WaitForExit();
    program_.Kill();
    return outcome;
  }
  std::string Text(int id) override { return wine::ControlText(dialog_, id); }
  // The field turns what it is given to upper case, as typed letters.
  void Type(int id, std::string_view text) override {
    const std::string line(text);
    const auto lParam = reinterpret_cast<LPARAM>(line.c_str());
    wine::SendBounded(GetDlgItem(dialog_, id), WM_SETTEXT, 0, lParam);
  }
  std::vector<SetupBox> Press(int id, std::vector<BoxAnswer> answers) override {
    RunningProgram::PressButton(dialog_, id);
    return Answer(answers, std::chrono::seconds(30));
  }
  // A dialog that the program ended is hidden at once and gone a moment later.
  bool Running() override {
    const auto ended = [&] {
      return !program_.Running() || !IsWindow(dialog_) || !IsWindowVisible(dialog_);
    };
    return !PollUntil(ended, std::chrono::seconds(2), std::chrono::milliseconds(20));
  }

 private:
  void Clean() {
    std::error_code ignored;
    fs::remove_all(kTestRoot, ignored);
    for (const char* group : kGroups) fs::remove_all(wine::ProgramGroupFolder(group), ignored);
    for (const char* name : kConfigurations) wine::RemoveFile(wine::WindowsDirectory() + "\\" + name);
  }
  // Each box notes the status line beneath it.
  std::vector<SetupBox> Answer(const std::vector<BoxAnswer>& answers, std::chrono::milliseconds wait) {
    const auto answer = [&](std::size_t i, const auto& box, SetupBox& seen) {
      seen.status = wine::ControlText(dialog_, 1005);
      if (std::count(seen.buttons.begin(), seen.buttons.end(), IDRETRY))
        wine::SaveScreenshot(box.window, "setup_retry_prompt");
      if (answers[i].first) answers[i].first();
      return answers[i].button;
    };
    return program_.AnswerBoxes(dialog_, answers.size(), wait, answer);
  }

  std::string medium_ = kTestRoot;
  RunningProgram program_;
  HWND dialog_ = nullptr;
};

}  // namespace

std::unique_ptr<SetupDriver> MakeSetupDriver() { return std::make_unique<WineSetupDriver>(); }

}  // namespace qv::testing
