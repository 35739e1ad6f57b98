// Installs from a distribution medium without anyone at the keyboard, for
// the run command: starts its setup.exe, presses Setup once the start-up is
// done, answers the final message, and then opens the installed setting
// program. Each step's screen is saved as a picture.
//   unattended_setup.exe MEDIUM_DIR SCREENSHOT_DIR [--close-setting]
// --close-setting leaves the setting program again (nobody can use it on a
// display that nobody sees); without it the program stays open for the user.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/poll_until.h"
#include "tests/wine/program_driver.h"

namespace {

using qv::wine::RunningProgram;
using namespace std::chrono_literals;

constexpr const char* kSetupTitle = "QV27-518 Installation Program";
constexpr const char* kReady = "Initialization is done, press Setup to proceed.";

std::string Shot(HWND window, const char* name) {
  const std::string path = qv::wine::SaveScreenshot(window, name);
  if (!path.empty()) std::printf("  picture: %s\n", path.c_str());
  return path;
}

// The value of a key in the configuration file that the installer wrote.
std::string ConfigValue(const std::string& key) {
  char value[512] = {};
  GetPrivateProfileStringA("Configuration", key.c_str(), "", value, sizeof value, "QV27-518.ini");
  return value;
}

int Fail(const char* what) {
  std::printf("unattended setup: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Fail("usage: unattended_setup.exe MEDIUM_DIR SCREENSHOT_DIR [--close-setting]");
  const std::string medium = argv[1];
  SetEnvironmentVariableA("QV_ARTIFACTS", argv[2]);
  const bool closeSetting = argc > 3 && std::string(argv[3]) == "--close-setting";

  RunningProgram setup;
  HWND dialog = setup.StartDialog(medium + "\\SETUP.EXE", kSetupTitle, medium);
  if (!dialog) return Fail("the installer's dialog did not open");
  const auto status = [&] { return qv::wine::ControlText(dialog, 1005); };
  qv::testing::PollUntil([&] { return status() == kReady; }, 30s, 50ms);
  std::printf("Installing into %s\n", qv::wine::ControlText(dialog, 1003).c_str());
  Shot(dialog, "1-setup-ready");
  RunningProgram::PressButton(dialog, IDOK);
  qv::testing::PollUntil([&] { return status().rfind("Copying File", 0) == 0; }, 12s, 20ms);
  Shot(dialog, "2-setup-copying");

  auto box = setup.WaitForMessageBox(kSetupTitle, 120s, dialog);
  if (!box) box = setup.WaitForMessageBox(std::string(kSetupTitle) + " Error", 5s, dialog);
  if (!box) return Fail("the installer did not finish");
  Shot(box->window, "3-setup-finished");
  std::printf("The installer says: %s\n", box->text.c_str());
  RunningProgram::PressButton(box->window, IDOK);
  setup.WaitForExit();

  const std::string installed = ConfigValue("InstalledDir");
  if (installed.empty()) return Fail("nothing was installed");
  std::printf("Installed: %s (the configuration file QV27-518.ini is in the Windows folder; PortCount=%s)\n",
              installed.c_str(), ConfigValue("PortCount").c_str());

  RunningProgram setting;
  HWND settingDialog =
      setting.StartDialog(installed + "\\QV27-518.EXE", "QV27-518 Setting Program", installed);
  if (!settingDialog) return Fail("the setting program's dialog did not open");
  Shot(settingDialog, "4-setting-program");
  if (!closeSetting) {
    std::printf("The setting program is open.\n");
    setting.WaitForExit(24h);
    return 0;
  }
  RunningProgram::PressButton(settingDialog, IDCANCEL);
  if (auto confirm = setting.WaitForMessageBox("QV27-518 Software Setting Program", 30s,
                                               settingDialog))
    RunningProgram::PressButton(confirm->window, IDOK);
  setting.WaitForExit();
  return 0;
}
