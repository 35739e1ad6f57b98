// The hostile media that every target must refuse alike, through the real
// setup.exe: the messages the user sees, and nothing installed, written or
// changed outside the install directory (the root of drive C: and a folder
// beside the medium are compared before and after).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/installer/hostile_media.h"
#include "tests/wine/program_driver.h"

namespace qv::hostile {
namespace {

namespace fs = std::filesystem;
using wine::RunningProgram;

constexpr const char* kRoot = "C:\\qvhostile";
constexpr const char* kMedium = "C:\\qvhostile\\medium";
constexpr const char* kTitle = "QV27-518 Installation Program";
constexpr const char* kErrorTitle = "QV27-518 Installation Program Error";
constexpr const char* kReady = "Initialization is done, press Setup to proceed.";

std::map<std::string, std::string> Snapshot(const fs::path& root, bool recursive) {
  std::map<std::string, std::string> entries;
  std::error_code error;
  const auto note = [&](const fs::directory_entry& e) {
    entries[e.path().string()] = e.is_regular_file() ? wine::ReadFile(e.path().string()).value_or("?") : "dir";
  };
  if (recursive) {
    for (auto it = fs::recursive_directory_iterator(root, error); it != fs::recursive_directory_iterator(); ++it) note(*it);
  } else {
    for (auto it = fs::directory_iterator(root, error); it != fs::directory_iterator(); ++it) note(*it);
  }
  return entries;
}

std::vector<HostileCase> EveryTarget() {
  std::vector<HostileCase> cases;
  for (const HostileCase& c : HostileMedia())
    if (c.everyTarget) cases.push_back(c);
  return cases;
}

}  // namespace

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

namespace {

class HostileSetupExe : public ::testing::TestWithParam<HostileCase> {
 protected:
  void TearDown() override {
    program.Kill();
    std::error_code ignored;
    fs::remove_all(kRoot, ignored);
    fs::remove_all("C:\\QV27-518", ignored);
    wine::RemoveFile(wine::WindowsDirectory() + "\\QV27-518.ini");
  }
  RunningProgram program;
};

TEST_P(HostileSetupExe, IsRefusedAndChangesNothing) {
  const HostileCase& c = GetParam();
  fs::create_directories(kMedium);
  fs::create_directories(std::string(kRoot) + "\\beside");
  wine::WriteFile(std::string(kRoot) + "\\beside\\x", "beside");
  ASSERT_TRUE(CopyFileA((wine::BinDirectory() + "\\setup.exe").c_str(), (std::string(kMedium) + "\\setup.exe").c_str(), FALSE));
  for (const MediumFile& f : c.files) wine::WriteFile(std::string(kMedium) + "\\" + f.name, f.bytes);
  const auto rootBefore = Snapshot("C:\\", false), besideBefore = Snapshot(std::string(kRoot) + "\\beside", true);

  ASSERT_TRUE(program.Start(std::string(kMedium) + "\\setup.exe", kMedium));
  HWND dialog = program.WaitForWindow(kTitle, "#32770");
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> seen;
  for (const std::string& message : c.messages) {
    const bool atStart = seen.empty() && message.rfind("Information file", 0) == 0;
    if (seen.empty() && !atStart) {
      for (int i = 0; i < 400 && wine::ControlText(dialog, 1005) != kReady; ++i) Sleep(50);
      RunningProgram::PressButton(dialog, IDOK);
    }
    const bool asks = message.rfind("Are you sure", 0) == 0;
    if (asks) RunningProgram::PressButton(dialog, IDCANCEL);
    const auto box = program.WaitForMessageBox(asks ? kTitle : kErrorTitle, std::chrono::seconds(30), dialog);
    ASSERT_TRUE(box) << "no message after " << seen.size();
    seen.push_back(box->text);
    RunningProgram::PressButton(box->window, IDOK);
    wine::WaitUntilClosed(box->window);
  }
  EXPECT_EQ(seen, c.messages);
  EXPECT_TRUE(program.WaitForExit().has_value()) << "setup ends";
  EXPECT_FALSE(fs::exists("C:\\QV27-518")) << "nothing installed";
  EXPECT_FALSE(wine::ReadFile(wine::WindowsDirectory() + "\\QV27-518.ini")) << "no configuration written";
  EXPECT_EQ(Snapshot("C:\\", false), rootBefore) << "nothing appeared on drive C:";
  EXPECT_EQ(Snapshot(std::string(kRoot) + "\\beside", true), besideBefore);
}

INSTANTIATE_TEST_SUITE_P(Media, HostileSetupExe, ::testing::ValuesIn(EveryTarget()), [](const auto& info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
});

}  // namespace
}  // namespace qv::hostile
