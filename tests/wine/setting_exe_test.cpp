// The real QV27-518.exe under Wine: the resources it carries, the dialog it
// opens from the configuration file in the Windows directory, and the
// dialogs it opens from there: About and the platform's choosers. Set, the
// modes and leaving are program scenarios (tests/setting/setting_scenarios.cpp).
#include <gtest/gtest.h>

#include "tests/setting/expected_template.h"
#include "tests/wine/program_driver.h"

namespace qv {
namespace {

using wine::RunningProgram;

constexpr const char* kCaption = "QV27-518 Setting Program";
constexpr const char* kTitle = "QV27-518 Software Setting Program";
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

std::string SettingExePath() { return wine::BinDirectory() + "\\QV27-518.exe"; }

TEST(SettingExeResources, AreTheExpectedOnes) {
  HMODULE module = LoadLibraryExA(SettingExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto find = [&](ResourceType type, unsigned id) {
    return wine::ResourceBytes(module, static_cast<unsigned>(type), id);
  };
  EXPECT_EQ(expected::CompareResources(find, expected::ExpectedSettingResources()), std::vector<std::string>{});
  FreeLibrary(module);
}

class SettingExe : public ::testing::Test {
 protected:
  void SetUp() override {
    wine::RemoveFile(ini);
    wine::DeleteRegistryValue(kWindowsKey, "device");
  }
  void TearDown() override {
    program.Kill();
    wine::RemoveFile(ini);
  }

  HWND Open() {
    if (!program.Start(SettingExePath())) return nullptr;
    return program.WaitForWindow(kCaption, "#32770");
  }
  // Presses Set and answers the success box.
  bool PressSet(HWND dialog) {
    RunningProgram::PressButton(dialog, IDOK);
    auto box = program.WaitForMessageBox(kTitle);
    if (!box) return false;
    RunningProgram::PressButton(box->window, IDOK);
    return wine::WaitUntilClosed(box->window);
  }
  // Quit, confirmed: the program ends.
  void Quit(HWND dialog) {
    RunningProgram::PressButton(dialog, IDCANCEL);
    auto box = program.WaitForMessageBox(kTitle);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Are you sure to exit program?");
    RunningProgram::PressButton(box->window, IDOK);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }

  const std::string ini = wine::WindowsDirectory() + "\\QV27-518.ini";
  RunningProgram program;
};

TEST_F(SettingExe, AboutOpensFromItsButtonAndTheSystemMenuWithTheStoredVersion) {
  for (const std::string version : {"", "Version 2.10 (test)"}) {
    SCOPED_TRACE(version);
    if (!version.empty()) wine::WriteFile(ini, "[Product]\r\nVersionStr=" + version + "\r\n");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    for (bool fromMenu : {false, true}) {
      SCOPED_TRACE(fromMenu);
      if (fromMenu)
        PostMessageA(dialog, WM_SYSCOMMAND, 0x0010, 0);
      else
        RunningProgram::PressButton(dialog, 1026);
      HWND about = program.WaitForWindow("About QV27-518 Software Setting Program", "#32770");
      ASSERT_NE(about, nullptr);
      EXPECT_EQ(wine::ControlText(about, 1028), version.empty() ? "Version 2.00" : version);
      EXPECT_EQ(wine::ControlText(about, 1027), kTitle);
      wine::SaveScreenshot(about, "setting_about");
      RunningProgram::PressButton(about, IDOK);
      EXPECT_TRUE(wine::WaitUntilClosed(about));
    }
    Quit(dialog);
  }
}

TEST_F(SettingExe, APrinterChosenInPrintSetupIsShownSavedAndMadeTheDefault) {
  wine::WriteFile(ini, "[Configuration]\r\nMode=Mode1-2\r\n[Printer Name]\r\nPrinter1=Old\r\n");
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  RunningProgram::PressButton(dialog, 1022);
  HWND setup = program.WaitForWindow("Print Setup", "#32770");
  ASSERT_NE(setup, nullptr) << "the print server's printer makes the chooser open";
  RunningProgram::PressButton(setup, IDOK);  // the default printer, as it opens
  wine::WaitUntilClosed(setup);
  EXPECT_EQ(wine::ControlText(dialog, 1018), "QV_Test_Printer");
  EXPECT_EQ(wine::ControlText(dialog, 1043), "QV_Test_Printer");
  wine::DeleteRegistryValue(kWindowsKey, "device");
  ASSERT_TRUE(PressSet(dialog));
  EXPECT_EQ(wine::RegistryString(kWindowsKey, "device"), "QV_Test_Printer,wineps.drv,CUPS:QV_Test_Printer");
  const auto file = wine::ReadFile(ini);
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("Printer1=QV_Test_Printer"), std::string::npos);
  Quit(dialog);
}

TEST_F(SettingExe, TheChoosersOpenFromTheirButtonsAndCancelChangesNothing) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  struct Case {
    int button;
    const char* title;
    const char* picture;
  };
  for (const Case& c : {Case{1040, "Open", "setting_open_file"}, Case{1044, "Print Setup", "setting_print_setup"}}) {
    SCOPED_TRACE(c.title);
    RunningProgram::PressButton(dialog, c.button);
    HWND chooser = program.WaitForWindow(c.title, "#32770");
    ASSERT_NE(chooser, nullptr);
    wine::SaveScreenshot(chooser, c.picture);
    RunningProgram::PressButton(chooser, IDCANCEL);
    wine::WaitUntilClosed(chooser);
  }
  EXPECT_EQ(wine::ControlText(dialog, 1039), "") << "cancel keeps the path";
  EXPECT_EQ(wine::ControlText(dialog, 1043), "") << "and the printer";
  Quit(dialog);
}

}  // namespace
}  // namespace qv
