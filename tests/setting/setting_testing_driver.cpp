// The scenarios' driver on the testing host: the setting dialog in memory
// with the real profile engine on a temporary directory and the service
// doubles for the printers, the port and the launcher.
#include "framework/window_constants.h"
#include "tests/setting/setting_fixture.h"
#include "tests/support/testing_program_driver.h"

namespace qv {
namespace testing {
namespace {

constexpr std::string_view kRecorder = "C:\\FT\\RECORD.EXE ";

class TestingHostDriver final : public ProgramDriver {
 public:
  void WriteConfiguration(std::string_view text) override { m_.WriteConfig(text); }
  std::optional<std::string> Configuration() override { return FileBytes(m_.ConfigPath()); }
  void BlockConfiguration() override { std::filesystem::create_directory(m_.ConfigPath()); }
  void AddPrinters(const std::vector<std::string>& names, const std::string& defaultName) override {
    for (std::size_t i = 0; i < names.size(); ++i)
      m_.printers.printers.push_back({0, names[i], "winspool,LPT" + std::to_string(i + 1) + ":"});
    default_ = defaultName;
  }
  std::string DefaultPrinter() override {
    if (m_.printers.defaultWrites.empty()) return default_;
    const std::string& last = m_.printers.defaultWrites.back();
    return last.substr(0, last.find(','));
  }
  std::string RecordingCommand(std::string_view argument) override {
    return std::string(kRecorder) + std::string(argument);
  }
  std::optional<std::string> TakeRecordedStart() override {
    if (taken_ >= m_.launcher.started.size()) return std::nullopt;
    const std::string& line = m_.launcher.started[taken_++];
    if (line.rfind(kRecorder, 0) != 0) return std::nullopt;
    return line.substr(kRecorder.size());
  }

  std::optional<int> Run(const std::function<void()>& scenario) override {
    window_ = &m_.OpenDialog();
    scenario();
    // The program returns 0 once its dialog has ended.
    return window_->Ended() ? std::optional<int>(0) : std::nullopt;
  }
  std::string Text(int id) override { return window_->Text(id); }
  bool IsChecked(int id) override { return window_->IsChecked(id); }
  bool IsEnabled(int id) override { return window_->IsEnabled(id); }
  void Type(int id, std::string_view text) override { window_->Type(id, text); }
  std::vector<BoxSeen> Press(int id, const std::vector<int>& answers) override {
    return Do([&] { window_->Click(id); }, answers);
  }
  std::vector<BoxSeen> Do(const std::function<void()>& act,
                          const std::vector<int>& answers) override {
    for (int answer : answers) m_.host.AnswerNextMessageBox(answer);
    const std::size_t before = m_.host.MessageBoxes().size();
    act();
    return BoxesShown(m_.host, before);
  }
  bool Running() override { return !window_->Ended(); }

 private:
  void AskToLeave(Leaving how) override {
    switch (how) {
      case Leaving::QuitButton: window_->Click(kIdCancel); break;
      case Leaving::EscapeKey: window_->PressEscape(); break;
      case Leaving::CloseBox: window_->CloseBox(); break;
    }
  }

  SettingMachine m_;
  TestWindow* window_ = nullptr;
  std::string default_;
  std::size_t taken_ = 0;
};

}  // namespace

std::unique_ptr<ProgramDriver> MakeProgramDriver() { return std::make_unique<TestingHostDriver>(); }

}  // namespace testing
}  // namespace qv
