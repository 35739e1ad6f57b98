// Set and the dialog's interactions in the real QV27-518.exe under Wine:
// the configuration file, the registry, the started program, the message
// boxes, the choosers and leaving.
#include <gtest/gtest.h>


#include "tests/wine/program_driver.h"

namespace qv {
namespace {

using wine::RunningProgram;

constexpr const char* kCaption = "QV27-518 Setting Program";
constexpr const char* kTitle = "QV27-518 Software Setting Program";
constexpr const char* kDevicesKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

std::optional<std::string> RegistryString(const char* key, const char* name) {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(value);
}

void SetRegistryString(const char* key, const char* name, const std::string& value) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}

void DeleteRegistryValue(const char* key, const char* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

class SettingExeActions : public ::testing::Test {
 protected:
  void SetUp() override {
    wine::RemoveFile(ini);
    // Windows always has this key; a fresh Wine prefix without printers not.
    SetRegistryString(kWindowsKey, "qv-test", "");
    DeleteRegistryValue(kWindowsKey, "qv-test");
    DeleteRegistryValue(kWindowsKey, "device");
    DeleteRegistryValue(kDevicesKey, "QV Test Printer");
  }
  void TearDown() override {
    program.Kill();
    wine::RemoveFile(ini);
    DeleteRegistryValue(kDevicesKey, "QV Test Printer");
  }

  HWND Open() {
    if (!program.Start(wine::BinDirectory() + "\\QV27-518.exe")) return nullptr;
    return program.WaitForWindow(kCaption, "#32770");
  }

  struct SuccessBox {
    std::string text;
    LPCSTR icon;
  };
  // Presses Set and answers the success box; returns what it showed.
  std::optional<SuccessBox> PressSet(HWND dialog, const std::string& screenshot = "") {
    RunningProgram::PressButton(dialog, IDOK);
    auto box = program.WaitForMessageBox(kTitle);
    if (!box) return std::nullopt;
    if (!screenshot.empty()) wine::SaveScreenshot(box->window, screenshot);
    const SuccessBox seen{box->text, wine::IdentifyMessageBoxIcon(*box)};
    RunningProgram::PressButton(box->window, IDOK);
    // The box is gone before the test goes on.
    wine::WaitUntilClosed(box->window);
    return seen;
  }

  // Asks to leave and answers the confirmation; true when it was the
  // expected confirmation.
  bool AnswerExitConfirmation(int answer) {
    auto box = program.WaitForMessageBox(kTitle);
    if (!box) return false;
    const bool expected = box->text == "Are you sure to exit program?";
    RunningProgram::PressButton(box->window, answer);
    wine::WaitUntilClosed(box->window);
    return expected;
  }

  void Quit(HWND dialog) {
    RunningProgram::PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(AnswerExitConfirmation(IDOK));
    EXPECT_EQ(program.WaitForExit(), 0u);
  }

  const std::string ini = wine::WindowsDirectory() + "\\QV27-518.ini";
  RunningProgram program;
};

TEST_F(SettingExeActions, SetSavesMakesTheDefaultPrinterAndReportsSuccess) {
  SetRegistryString(kDevicesKey, "QV Test Printer", "winspool,LPT1:");
  wine::WriteFile(ini,
                  "[Configuration]\r\nPortCount=3\r\nInstalledDir=C:\\QV27-518\r\nMode=Mode1-2\r\n"
                  "[Printer Name]\r\nPrinter1=QV Test Printer\r\nPrinter2=Other\r\n");
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, 1014, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Desk"));
  SendDlgItemMessageA(dialog, 1037, BM_CLICK, 0, 0);

  const auto box = PressSet(dialog, "setting_set_success");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "System finishes setting successfully.");
  EXPECT_EQ(box->icon, IDI_INFORMATION);
  EXPECT_TRUE(IsWindow(dialog)) << "Set leaves the dialog open";

  const auto file = wine::ReadFile(ini);
  ASSERT_TRUE(file);
  for (const char* entry : {"Mode=Mode1-2", "Mode1-2=PA", "Mode2-1=FtpOFF", "Printer1=Desk",
                            "Printer1=QV Test Printer", "Printer2=Other", "PortCount=3",
                            "InstalledDir=C:\\QV27-518"})
    EXPECT_NE(file->find(entry), std::string::npos) << entry;
  EXPECT_EQ(file->find("FtpPath"), std::string::npos);
  EXPECT_EQ(RegistryString(kWindowsKey, "device"), "QV Test Printer,winspool,LPT1:");
  Quit(dialog);
}

TEST_F(SettingExeActions, EnabledTransferStartsTheProgramEachTimeSetIsPressed) {
  const std::string marker = wine::WindowsDirectory() + "\\temp\\qv-marker.txt";
  wine::RemoveFile(marker);
  const std::string command = wine::BinDirectory() + "\\marker_program.exe " + marker + " --from-set";
  wine::WriteFile(ini, "[Configuration]\r\nMode=Mode2-1\r\nMode2-1=FtpON\r\nFtpPath=" + command + "\r\n");
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PressSet(dialog));
  std::optional<std::string> ran = wine::WaitForFile(marker);
  ASSERT_TRUE(ran) << "the file-transfer program did not run";
  EXPECT_NE(ran->find("--from-set"), std::string::npos);
  wine::RemoveFile(marker);

  ASSERT_TRUE(PressSet(dialog));
  EXPECT_TRUE(wine::WaitForFile(marker)) << "a second Set starts it again";
  wine::RemoveFile(marker);
  const auto file = wine::ReadFile(ini);
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("FtpPath=" + command), std::string::npos);
  Quit(dialog);
}

TEST_F(SettingExeActions, TheBroadcastWarningAndItsCancel) {
  wine::WriteFile(ini, "[Configuration]\r\nMode=Mode1-2\r\nMode1-2=Broadcast\r\n"
                       "[Printer Name]\r\nPrinter1=Laser\r\nPrinter2=LASER\r\n");
  const std::string before = *wine::ReadFile(ini);
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  RunningProgram::PressButton(dialog, IDOK);
  auto warning = program.WaitForMessageBox("QV27-518 Software Setting Program Warning");
  ASSERT_TRUE(warning);
  EXPECT_EQ(warning->text,
            "Printer A's Printer Name is different from others Printer Name.\n"
            "User must check if they are the same series.\nDo you want to continue?");
  EXPECT_EQ(wine::IdentifyMessageBoxIcon(*warning), IDI_EXCLAMATION);
  wine::SaveScreenshot(warning->window, "setting_broadcast_warning");
  RunningProgram::PressButton(warning->window, IDCANCEL);
  // Nothing follows the cancelled warning: the next box is the exit question.
  RunningProgram::PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(AnswerExitConfirmation(IDOK));
  EXPECT_EQ(program.WaitForExit(), 0u);
  EXPECT_EQ(wine::ReadFile(ini), before);
}

TEST_F(SettingExeActions, TheModeRadiosSwitchTheRealControls) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, 1041, BM_CLICK, 0, 0);
  for (int id : {1007, 1008, 1011, 1014, 1015, 1018, 1019, 1022, 1023})
    EXPECT_TRUE(wine::IsControlEnabled(dialog, id)) << id;
  for (int id : {1012, 1013, 1043, 1044, 1039, 1040}) EXPECT_FALSE(wine::IsControlEnabled(dialog, id)) << id;
  EXPECT_TRUE(wine::IsControlChecked(dialog, 1041));
  EXPECT_FALSE(wine::IsControlChecked(dialog, 1042));
  SendDlgItemMessageA(dialog, 1042, BM_CLICK, 0, 0);
  for (int id : {1007, 1008, 1011, 1014, 1015, 1018, 1019, 1022, 1023})
    EXPECT_FALSE(wine::IsControlEnabled(dialog, id)) << id;
  for (int id : {1012, 1013, 1043, 1044, 1039, 1040}) EXPECT_TRUE(wine::IsControlEnabled(dialog, id)) << id;
  Quit(dialog);
}

TEST_F(SettingExeActions, AboutOpensFromItsButtonAndFromTheSystemMenu) {
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
    EXPECT_EQ(wine::ControlText(about, 1028), "Version 2.00");
    RunningProgram::PressButton(about, IDOK);
    wine::WaitUntilClosed(about);
    EXPECT_FALSE(IsWindow(about));
  }
  Quit(dialog);
}

TEST_F(SettingExeActions, QuitEscapeAndTheCloseBoxAllAskFirst) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  // Cancel keeps the program open, for each way of leaving.
  RunningProgram::PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(AnswerExitConfirmation(IDCANCEL));
  wine::PressKey(dialog, VK_ESCAPE);
  EXPECT_TRUE(AnswerExitConfirmation(IDCANCEL));
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(AnswerExitConfirmation(IDCANCEL));
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(IsWindow(dialog));
  // OK ends it, and nothing was written.
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(AnswerExitConfirmation(IDOK));
  EXPECT_EQ(program.WaitForExit(), 0u);
  EXPECT_FALSE(wine::ReadFile(ini));
}

TEST_F(SettingExeActions, APrinterChosenInPrintSetupIsShownSavedAndMadeTheDefault) {
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
  DeleteRegistryValue(kWindowsKey, "device");
  ASSERT_TRUE(PressSet(dialog));
  EXPECT_EQ(RegistryString(kWindowsKey, "device"), "QV_Test_Printer,wineps.drv,CUPS:QV_Test_Printer");
  const auto file = wine::ReadFile(ini);
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("Printer1=QV_Test_Printer"), std::string::npos);
  Quit(dialog);
}

TEST_F(SettingExeActions, TheChoosersOpenFromTheirButtons) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  RunningProgram::PressButton(dialog, 1040);
  HWND open = program.WaitForWindow("Open", "#32770");
  ASSERT_NE(open, nullptr);
  wine::SaveScreenshot(open, "setting_open_file");
  RunningProgram::PressButton(open, IDCANCEL);
  wine::WaitUntilClosed(open);
  EXPECT_EQ(wine::ControlText(dialog, 1039), "") << "cancel keeps the path";

  RunningProgram::PressButton(dialog, 1044);
  HWND setup = program.WaitForWindow("Print Setup", "#32770");
  ASSERT_NE(setup, nullptr);
  wine::SaveScreenshot(setup, "setting_print_setup");
  RunningProgram::PressButton(setup, IDCANCEL);
  wine::WaitUntilClosed(setup);
  Quit(dialog);
}

}  // namespace
}  // namespace qv
