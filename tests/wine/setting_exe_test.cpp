// The real QV27-518.exe under Wine, on the scenarios' driver: the resources
// it carries and the dialogs it opens from its own: About and the
// platform's choosers. Set, the modes and leaving are program scenarios
// (tests/setting/setting_scenarios.cpp).
#include <gtest/gtest.h>

#include "tests/setting/expected_template.h"
#include "tests/wine/setting_exe_driver.h"

namespace qv::testing {
namespace {

using wine::RunningProgram;

TEST(SettingExeResources, AreTheExpectedOnes) {
  const std::string exe = wine::BinDirectory() + "\\QV27-518.exe";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto find = [&](ResourceType type, unsigned id) {
    return wine::ResourceBytes(module, static_cast<unsigned>(type), id);
  };
  EXPECT_EQ(expected::CompareResources(find, expected::ExpectedSettingResources()), std::vector<std::string>{});
  FreeLibrary(module);
}

// Presses the dialog's button and waits for the dialog with the title.
HWND Open(WineSettingDriver& driver, int button, const char* title) {
  RunningProgram::PressButton(driver.Dialog(), button);
  return driver.Program().WaitForWindow(title, "#32770");
}

TEST(SettingExe, AboutOpensFromItsButtonAndTheSystemMenuWithTheStoredVersion) {
  for (const std::string version : {"", "Version 2.10 (test)"}) {
    SCOPED_TRACE(version);
    const auto driver = MakeWineSettingDriver();
    if (!version.empty()) driver->WriteConfiguration("[Product]\r\nVersionStr=" + version + "\r\n");
    driver->Run([&] {
      for (bool fromMenu : {false, true}) {
        SCOPED_TRACE(fromMenu);
        if (fromMenu)
          PostMessageA(driver->Dialog(), WM_SYSCOMMAND, 0x0010, 0);
        else
          RunningProgram::PressButton(driver->Dialog(), 1026);
        HWND about =
            driver->Program().WaitForWindow(std::string("About ") + expected::kSettingTitle, "#32770");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(wine::ControlText(about, 1028), version.empty() ? "Version 2.00" : version);
        EXPECT_EQ(wine::ControlText(about, 1027), expected::kSettingTitle);
        wine::SaveScreenshot(about, "setting_about");
        RunningProgram::PressButton(about, IDOK);
        EXPECT_TRUE(wine::WaitUntilClosed(about));
      }
    });
  }
}

// Cancel in a chooser changes nothing; a printer chosen in Print Setup is
// shown, saved and made the default.
TEST(SettingExe, TheChoosersOpenFromTheirButtonsAndWhatPrintSetupChoosesIsUsed) {
  const auto driver = MakeWineSettingDriver();
  driver->WriteConfiguration(
      "[Configuration]\r\nMode=Mode1-2\r\n[Printer Name]\r\nPrinter1=Old\r\n");
  struct Case {
    int button;
    const char* title;
    const char* picture;
  };
  const Case cases[] = {{1040, "Open", "setting_open_file"},
                        {1044, "Print Setup", "setting_print_setup"}};
  driver->Run([&] {
    driver->Press(1042);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.title);
      HWND chooser = Open(*driver, c.button, c.title);
      ASSERT_NE(chooser, nullptr) << "the print server's printer makes Print Setup open";
      wine::SaveScreenshot(chooser, c.picture);
      RunningProgram::PressButton(chooser, IDCANCEL);
      wine::WaitUntilClosed(chooser);
    }
    EXPECT_EQ(driver->Text(1039), "") << "cancel keeps the path";
    EXPECT_EQ(driver->Text(1043), "Old") << "and the printer";
    driver->Press(1041);
    HWND setup = Open(*driver, 1022, "Print Setup");
    ASSERT_NE(setup, nullptr);
    RunningProgram::PressButton(setup, IDOK);  // the default printer, as it opens
    wine::WaitUntilClosed(setup);
    EXPECT_EQ(driver->Text(1018), "QV_Test_Printer");
    EXPECT_EQ(driver->Text(1043), "QV_Test_Printer");
    wine::DeleteRegistryValue(kWindowsKey, "device");
    EXPECT_EQ(driver->Press(IDOK, {kAnswerOk}).size(), 1u);
    EXPECT_EQ(wine::RegistryString(kWindowsKey, "device"),
              "QV_Test_Printer,wineps.drv,CUPS:QV_Test_Printer");
  });
  const std::string file = driver->Configuration().value_or("");
  EXPECT_NE(file.find("Printer1=QV_Test_Printer"), std::string::npos);
}

}  // namespace
}  // namespace qv::testing
