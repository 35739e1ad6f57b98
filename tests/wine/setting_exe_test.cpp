// The real QV27-518.exe under Wine: the resources it carries, and the dialog
// it opens from the configuration file in the Windows directory.
#include <gtest/gtest.h>

#include <span>

#include "tests/setting/expected_template.h"
#include "tests/wine/program_driver.h"

namespace qv {
namespace {

using wine::RunningProgram;

constexpr const char* kCaption = "QV27-518 Setting Program";
constexpr const char* kTitle = "QV27-518 Software Setting Program";

std::string SettingExePath() { return wine::BinDirectory() + "\\QV27-518.exe"; }

class SettingExeResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExA(SettingExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  HMODULE module = nullptr;
};

TEST_F(SettingExeResources, DialogTemplatesAreTheExpectedOnes) {
  for (const auto* layout : {&expected::SettingDialog(), &expected::AboutDialog()}) {
    SCOPED_TRACE(layout->id);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(layout->id), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
    const auto dialog = ParseDialogTemplate(std::span(data, SizeofResource(module, found)));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(expected::CompareWithLayout(*dialog, *layout), std::vector<std::string>{});
  }
}

TEST_F(SettingExeResources, StringTableHoldsEveryText) {
  for (const auto& row : expected::SettingStrings()) {
    SCOPED_TRACE(row.id);
    char text[512] = {};
    LoadStringA(module, row.id, text, sizeof text);
    EXPECT_STREQ(text, row.text);
  }
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14)), nullptr);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(200), MAKEINTRESOURCEA(2)), nullptr);
}

class SettingExe : public ::testing::Test {
 protected:
  void SetUp() override { wine::RemoveFile(ini); }
  void TearDown() override {
    program.Kill();
    wine::RemoveFile(ini);
  }

  HWND Open() {
    if (!program.Start(SettingExePath())) return nullptr;
    return program.WaitForWindow(kCaption, "#32770");
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

TEST_F(SettingExe, WithoutAConfigurationFileTheDefaultsShow) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1042));
  EXPECT_FALSE(wine::IsControlChecked(dialog, 1041));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1007));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1013));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1036));
  EXPECT_FALSE(wine::IsControlEnabled(dialog, 1037));
  EXPECT_FALSE(wine::IsControlEnabled(dialog, 1038));
  for (int id : {1007, 1008, 1011, 1014, 1015, 1018, 1019, 1022, 1023})
    EXPECT_FALSE(wine::IsControlEnabled(dialog, id)) << id;
  for (int id : {1012, 1013, 1043, 1044, 1039, 1040}) EXPECT_TRUE(wine::IsControlEnabled(dialog, id)) << id;
  for (int id : {1014, 1015, 1018, 1019, 1043, 1039}) EXPECT_EQ(wine::ControlText(dialog, id), "") << id;
  wine::SaveScreenshot(dialog, "setting_dialog_defaults");
  Quit(dialog);
  EXPECT_FALSE(wine::ReadFile(ini)) << "leaving writes nothing";
}

TEST_F(SettingExe, OnePcModeWithPrinterBAndTwoPortsLoads) {
  wine::WriteFile(ini,
                  "[Configuration]\r\nPortCount=2\r\nMode=Mode1-2\r\nMode1-2=PB\r\nMode2-1=FtpOFF\r\n"
                  "FtpPath=C:\\FT\\FT.EXE\r\n[Printer Alias]\r\nPrinter1=Front desk laser\r\n"
                  "Printer2=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\r\n[Printer Name]\r\nPrinter1=HP LaserJet 4\r\n"
                  "Printer2=Epson FX-80\r\n");
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1041));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1008));
  EXPECT_FALSE(wine::IsControlChecked(dialog, 1007));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1013));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1036));
  EXPECT_TRUE(wine::IsControlEnabled(dialog, 1037));
  EXPECT_FALSE(wine::IsControlEnabled(dialog, 1038));
  EXPECT_EQ(wine::ControlText(dialog, 1014), "Front desk laser");
  EXPECT_EQ(wine::ControlText(dialog, 1015), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123") << "shown whole";
  EXPECT_EQ(SendDlgItemMessageA(dialog, 1015, EM_GETLIMITTEXT, 0, 0), 20);
  EXPECT_EQ(wine::ControlText(dialog, 1018), "HP LaserJet 4");
  EXPECT_EQ(wine::ControlText(dialog, 1019), "Epson FX-80");
  EXPECT_EQ(wine::ControlText(dialog, 1043), "HP LaserJet 4");
  EXPECT_EQ(wine::ControlText(dialog, 1039), "C:\\FT\\FT.EXE");
  for (int id : {1012, 1013, 1043, 1044, 1039, 1040}) EXPECT_FALSE(wine::IsControlEnabled(dialog, id)) << id;
  for (int id : {1007, 1008, 1011, 1014, 1015, 1022, 1023}) EXPECT_TRUE(wine::IsControlEnabled(dialog, id)) << id;

  wine::SaveScreenshot(dialog, "setting_dialog");
  Quit(dialog);
}

TEST_F(SettingExe, ValuesThatDifferOnlyInCaseFallToTheLastCase) {
  wine::WriteFile(ini, "[configuration]\r\nportcount=3\r\nmode=mode1-2\r\nMODE1-2=pb\r\nMode2-1=ftpON\r\n");
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1042));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1007));
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1013));
  EXPECT_TRUE(wine::IsControlEnabled(dialog, 1038)) << "key names ignore case";
  Quit(dialog);
}

TEST_F(SettingExe, AboutFromTheSystemMenuShowsTheStoredVersion) {
  wine::WriteFile(ini, "[Product]\r\nVersionStr=Version 2.10 (test)\r\n");
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_SYSCOMMAND, 0x0010, 0);
  HWND about = program.WaitForWindow("About QV27-518 Software Setting Program", "#32770");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(wine::ControlText(about, 1028), "Version 2.10 (test)");
  EXPECT_EQ(wine::ControlText(about, 1027), "QV27-518 Software Setting Program");
  wine::SaveScreenshot(about, "setting_about");
  RunningProgram::PressButton(about, IDOK);
  Quit(dialog);
}

}  // namespace
}  // namespace qv
