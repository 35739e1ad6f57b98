// The scenarios' driver for the real QV27-518.exe under Wine: the program
// started from the build, its real controls clicked and read from this test
// program, the configuration file in the Windows folder and the printers in
// the registry, as Windows keeps them.
#include "tests/wine/setting_exe_driver.h"

#include <gtest/gtest.h>

#include "tests/support/poll_until.h"

namespace qv::testing {
namespace {

using wine::DeleteRegistryValue;
using wine::RegistryString;
using wine::RunningProgram;
using wine::SetRegistryString;

constexpr const char* kDevicesKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";

class WineProgramDriver final : public WineSettingDriver {
 public:
  WineProgramDriver() {
    wine::RemoveFile(ini_);
    wine::RemoveFile(marker_);
    DeleteRegistryValue(kWindowsKey, "device");
  }
  ~WineProgramDriver() override {
    program_.Kill();
    wine::RemoveFile(ini_);
    wine::RemoveFile(marker_);
    for (const std::string& name : printers_) DeleteRegistryValue(kDevicesKey, name.c_str());
  }

  void WriteConfiguration(std::string_view text) override { wine::WriteFile(ini_, std::string(text)); }
  std::optional<std::string> Configuration() override { return wine::ReadFile(ini_); }
  void BlockConfiguration() override { EXPECT_TRUE(CreateDirectoryA(ini_.c_str(), nullptr)); }
  void AddPrinters(const std::vector<std::string>& names, const std::string& defaultName) override {
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string port = "winspool,LPT" + std::to_string(i + 1) + ":";
      EXPECT_TRUE(SetRegistryString(kDevicesKey, names[i].c_str(), port));
      if (names[i] == defaultName) {
        EXPECT_TRUE(SetRegistryString(kWindowsKey, "device", names[i] + "," + port));
      }
      printers_.push_back(names[i]);
    }
  }
  std::string DefaultPrinter() override {
    const std::string device = RegistryString(kWindowsKey, "device").value_or("");
    const std::string name = device.substr(0, device.find(','));
    // Windows keeps the default as the name and the printer's device entry.
    if (!device.empty()) {
      EXPECT_EQ(device, name + "," + RegistryString(kDevicesKey, name.c_str()).value_or("<none>"));
    }
    return name;
  }
  std::string RecordingCommand(std::string_view argument) override {
    return wine::BinDirectory() + "\\marker_program.exe " + marker_ + " " + std::string(argument);
  }
  std::optional<std::string> TakeRecordedStart() override {
    // "ran: " and the command line: the marker's path, then the arguments.
    std::optional<std::string> ran;
    const auto arrived = [&] { return (ran = wine::ReadFile(marker_)).has_value(); };
    PollUntil(arrived, std::chrono::seconds(15));
    wine::RemoveFile(marker_);
    const std::string prefix = "ran: " + marker_ + " ";
    if (!ran || ran->rfind(prefix, 0) != 0) return std::nullopt;
    return ran->substr(prefix.size());
  }

  std::optional<int> Run(const std::function<void()>& scenario) override {
    const std::string exe = wine::BinDirectory() + "\\QV27-518.exe";
    if (!(dialog_ = program_.StartDialog(exe, "QV27-518 Setting Program"))) {
      ADD_FAILURE() << exe << (program_.Running() ? ": no dialog" : ": " + program_.WhyNotRunning());
      return std::nullopt;
    }
    scenario();
    // The program ends on its own a moment after the user confirmed leaving.
    const auto code = left_ ? program_.WaitForExit() : std::nullopt;
    program_.Kill();
    if (!code) return std::nullopt;
    return static_cast<int>(*code);
  }
  std::string Text(int id) override { return wine::ControlText(dialog_, id); }
  bool IsChecked(int id) override { return wine::IsControlChecked(dialog_, id); }
  bool IsEnabled(int id) override { return wine::IsControlEnabled(dialog_, id); }
  // Selects the field's text and types over it key by key, so that the
  // field's limit applies as it does to a user.
  void Type(int id, std::string_view text) override {
    HWND field = GetDlgItem(dialog_, id);
    wine::SendBounded(field, EM_SETSEL, 0, -1);
    if (text.empty()) wine::SendBounded(field, WM_CLEAR);
    for (char c : text) wine::SendBounded(field, WM_CHAR, static_cast<unsigned char>(c));
  }
  std::vector<BoxSeen> Press(int id, const std::vector<int>& answers) override {
    if (answers.empty()) {
      // A control whose click shows nothing: the click is done when this returns.
      wine::SendBounded(GetDlgItem(dialog_, id), BM_CLICK);
      return {};
    }
    return Do([&] { RunningProgram::PressButton(dialog_, id); }, answers);
  }
  std::vector<BoxSeen> Do(const std::function<void()>& act,
                          const std::vector<int>& answers) override {
    act();
    return program_.AnswerBoxes(dialog_, answers.size(), std::chrono::seconds(30),
                                [&](std::size_t i, const auto&, auto&) { return answers[i]; });
  }
  bool Running() override { return !left_ && program_.Running() && IsWindow(dialog_); }
  void SavePicture(const std::string& name) override { wine::SaveScreenshot(dialog_, "setting_" + name); }
  HWND Dialog() override { return dialog_; }
  RunningProgram& Program() override { return program_; }

 private:
  void AskToLeave(Leaving how) override {
    switch (how) {
      case Leaving::QuitButton: RunningProgram::PressButton(dialog_, IDCANCEL); break;
      case Leaving::EscapeKey: wine::PressKey(dialog_, VK_ESCAPE); break;
      case Leaving::CloseBox: PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
  }

  const std::string ini_ = wine::WindowsDirectory() + "\\QV27-518.ini";
  const std::string marker_ = wine::WindowsDirectory() + "\\temp\\qv-marker.txt";
  std::vector<std::string> printers_;
  RunningProgram program_;
  HWND dialog_ = nullptr;
};

}  // namespace

std::unique_ptr<WineSettingDriver> MakeWineSettingDriver() {
  return std::make_unique<WineProgramDriver>();
}
std::unique_ptr<ProgramDriver> MakeProgramDriver() { return MakeWineSettingDriver(); }

}  // namespace qv::testing
