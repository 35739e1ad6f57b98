// The real setup.exe: the resources it carries, against the documented
// layout, and the sample distribution medium installed as a user would:
// setup.exe from the build's sample-medium with its progress bar, the program
// group in the shell, and the installed setting program opening with what
// the installer wrote. Its other installations are the installer scenarios
// (tests/installer/setup_scenarios.cpp), run on setup_exe_driver.cpp.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/installer/expected_installer.h"
#include "tests/support/poll_until.h"
#include "tests/wine/program_driver.h"

namespace qv {
namespace {

using wine::RunningProgram;

constexpr const char* kTarget = "C:\\QV27-518";

TEST(SetupExeResources, AreTheExpectedOnes) {
  HMODULE module = LoadLibraryExA((wine::BinDirectory() + "\\setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto find = [&](ResourceType type, unsigned id) {
    return wine::ResourceBytes(module, static_cast<unsigned>(type), id);
  };
  EXPECT_EQ(expected::CompareResources(find, expected::ExpectedInstallerResources()),
            std::vector<std::string>{});
  FreeLibrary(module);
}

std::string MediumDirectory() {
  const std::string bin = wine::BinDirectory();
  return bin.substr(0, bin.find_last_of('\\')) + "\\sample-medium";
}

// Waits (up to 30 s) until the status line shows the text.
bool WaitForStatus(HWND dialog, const std::string& text) {
  return testing::PollUntil([&] { return wine::ControlText(dialog, 1005) == text; },
                            std::chrono::seconds(30), std::chrono::milliseconds(20));
}

class SampleMedium : public ::testing::Test {
 protected:
  SampleMedium() { Clean(); }
  ~SampleMedium() override {
    installer.Kill();
    setting.Kill();
    wine::CloseGroupWindow("QV27-518");
    Clean();
  }
  void Clean() {
    std::error_code ignored;
    std::filesystem::remove_all(kTarget, ignored);
    std::filesystem::remove_all(wine::ProgramGroupFolder("QV27-518"), ignored);
    wine::RemoveFile(ini);
  }

  const std::string ini = wine::WindowsDirectory() + "\\QV27-518.ini";
  RunningProgram installer;
  RunningProgram setting;
};

TEST_F(SampleMedium, InstallsTheSettingProgramWithItsGroupAndConfiguration) {
  const std::string medium = MediumDirectory();
  HWND dialog = installer.StartDialog(medium + "\\SETUP.EXE", expected::kSetupTitle, medium);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitForStatus(dialog, expected::kSetupReady));
  EXPECT_EQ(wine::ControlText(dialog, 1003), kTarget);
  wine::SaveScreenshot(dialog, "medium_progress_0");

  RunningProgram::PressButton(dialog, IDOK);
  // The second file starts once the first is in and the bar shows half.
  ASSERT_TRUE(WaitForStatus(dialog, "Copying File: README.TXT"));
  wine::SaveScreenshot(dialog, "medium_progress_copying");

  // All files in: the full bar, while the configuration is written.
  ASSERT_TRUE(WaitForStatus(dialog, "Writing INI infomation"));
  wine::SaveScreenshot(dialog, "medium_progress_done");

  auto done = installer.WaitForMessageBox(expected::kSetupTitle, std::chrono::seconds(30), dialog);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->text, expected::kSetupSuccess);
  wine::SaveScreenshot(done->window, "medium_final_message");
  RunningProgram::PressButton(done->window, IDOK);
  EXPECT_EQ(installer.WaitForExit(), 0u);

  // The files, expanded, and the configuration the installer wrote.
  const std::string target = kTarget;
  EXPECT_EQ(wine::ReadFile(target + "\\QV27-518.EXE"),
            wine::ReadFile(wine::BinDirectory() + "\\QV27-518.exe"));
  const std::string guide = wine::ReadFile(target + "\\README.TXT").value_or("");
  EXPECT_EQ(guide.rfind("QV27-518 Printer-Sharing Switch", 0), 0u);
  const std::string config = wine::ReadFile(ini).value_or("");
  const std::size_t at = config.find("PortCount=");
  ASSERT_NE(at, std::string::npos) << config;
  const int portCount = std::atoi(config.c_str() + at + 10);

  // The group in the shell. Wine's shell makes a link only for a command
  // line that names one existing file, so the README item, which opens the
  // file in Notepad, gets none there.
  EXPECT_TRUE(std::filesystem::exists(wine::ProgramGroupFolder("QV27-518") / "QV27-518 Setting Program.lnk"));
  wine::CloseGroupWindow("QV27-518");

  // The installed setting program, with the ports the installer counted.
  HWND settingDialog =
      setting.StartDialog(target + "\\QV27-518.EXE", "QV27-518 Setting Program", target);
  ASSERT_NE(settingDialog, nullptr);
  EXPECT_TRUE(wine::IsControlEnabled(settingDialog, 1036));
  EXPECT_EQ(wine::IsControlEnabled(settingDialog, 1037), portCount >= 2);
  EXPECT_EQ(wine::IsControlEnabled(settingDialog, 1038), portCount >= 3);
  wine::SaveScreenshot(settingDialog, "medium_installed_setting_program");
  RunningProgram::PressButton(settingDialog, IDCANCEL);
  auto confirm = setting.WaitForMessageBox("QV27-518 Software Setting Program", std::chrono::seconds(30), settingDialog);
  ASSERT_TRUE(confirm);
  RunningProgram::PressButton(confirm->window, IDOK);
  EXPECT_EQ(setting.WaitForExit(), 0u);
}

}  // namespace
}  // namespace qv
