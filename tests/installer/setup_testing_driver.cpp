// The scenarios' driver on the testing host: the installer's application
// run as the program runs it, on the service doubles (a file system of
// drives in memory, whose medium is A:\MEDIUM, a firmware table of two
// ports, a recording shell) and the real profile engine on a temporary
// directory, which takes the information file's Windows name as a file name.
#include <algorithm>
#include <map>

#include "installer/install_app.h"
#include "tests/installer/expected_installer.h"
#include "tests/installer/installer_fixture.h"
#include "tests/support/setup_driver.h"
#include "tests/support/testing_program_driver.h"

namespace qv {
namespace testing {
namespace {

class TestingSetupDriver final : public SetupDriver {
 public:
  TestingSetupDriver() {
    files_.modulePath = medium_ + "\\SETUP.EXE";
    files_.AddDirectory(medium_);
    files_.AddDirectory("C:\\BESIDE");
    files_.AddFile("C:\\BESIDE\\X", "the user's own");  // which no medium may reach
    rig_.ports.table = {0x378, 0x278, 0};
  }

  void PutOnMedium(const std::string& name, const std::string& bytes) override {
    files_.AddFile(OnMedium(name), bytes);
    WriteFileBytes(rig_.dir / OnMedium(name), bytes);
  }
  void NestMedium(const std::string& folder) override {
    medium_ += "\\" + folder;
    files_.AddDirectory(medium_);
    files_.modulePath = medium_ + "\\SETUP.EXE";
  }
  std::string OnMedium(const std::string& name) override { return medium_ + "\\" + name; }
  std::string MediumFolder() override { return medium_; }

  bool Exists(const std::string& typed) override { return files_.File(typed) || files_.HasDirectory(typed); }
  std::optional<std::string> ReadFile(const std::string& typed) override { return files_.File(typed); }
  void MakeFolder(const std::string& typed) override {
    for (std::size_t at = typed.find('\\', 3); at != std::string::npos; at = typed.find('\\', at + 1))
      files_.AddDirectory(typed.substr(0, at));
    files_.AddDirectory(typed);
  }
  void RemoveFolder(const std::string& typed) override { files_.RemoveDirectory(typed); }
  std::optional<std::string> Configuration(const std::string& name) override {
    return FileBytes(rig_.dir / name);
  }
  void BlockConfiguration(const std::string& name) override { std::filesystem::create_directory(rig_.dir / name); }
  std::map<std::string, std::string> Outside() override {
    std::map<std::string, std::string> entries;
    for (const std::string drive : {"A:\\", "C:\\"})
      for (const std::string& name : Below(drive))
        if (drive + name != medium_ && (drive + name).rfind(medium_ + "\\", 0) != 0)
          entries[drive + name] = files_.File(drive + name).value_or("folder");
    return entries;
  }
  int PortCount() override { return 2; }
  std::optional<bool> GroupHas(const std::string& group, const std::string& caption) override {
    const auto& items = rig_.shell.items;
    return std::count(rig_.shell.groups.begin(), rig_.shell.groups.end(), group) == 1 &&
           std::any_of(items.begin(), items.end(), [&](const auto& item) { return item.caption == caption; });
  }

  Outcome Run(const std::function<void()>& whenReady, std::vector<BoxAnswer> atStart) override {
    Outcome outcome;
    Queue(std::move(atStart));
    host_.WhenDialogRuns(expected::SetupDialog().id, [&](TestWindow& window) {
      window_ = &window;
      outcome.atStart = BoxesSince(0);
      outcome.ready = window.Text(1005) == expected::kSetupReady;
      if (outcome.ready) whenReady();
    });
    const int code = app_.Run(host_, rig_.services);
    window_ = host_.LastWindow(expected::SetupDialog().id);
    if (!outcome.ready) outcome.atStart = BoxesSince(0);
    if (window_ && !window_->EndedByHost()) outcome.exitCode = code;
    return outcome;
  }
  std::string Text(int id) override { return window_->Text(id); }
  void Type(int id, std::string_view text) override { window_->Type(id, text); }
  std::vector<SetupBox> Press(int id, std::vector<BoxAnswer> answers) override {
    const std::size_t before = host_.MessageBoxes().size();
    Queue(std::move(answers));
    window_->Click(id);
    return BoxesSince(before);
  }
  bool Running() override { return window_ && !window_->Ended(); }

 private:
  std::vector<std::string> Below(const std::string& typed) {
    std::vector<std::string> names;
    for (const std::string& name : files_.Listing(typed)) {
      names.push_back(name);
      for (const std::string& deeper : Below(typed + "\\" + name)) names.push_back(name + "\\" + deeper);
    }
    return names;
  }
  // Each answer notes the status line beneath its box.
  void Queue(std::vector<BoxAnswer> answers) {
    for (BoxAnswer& answer : answers)
      host_.AnswerNextMessageBox([this, answer = std::move(answer)] {
        const TestWindow* window = host_.LastWindow(expected::SetupDialog().id);
        statusAtBox_[host_.MessageBoxes().size()] = window ? window->Text(1005) : "";
        if (answer.first) answer.first();
        return answer.button;
      });
  }
  std::vector<SetupBox> BoxesSince(std::size_t before) const {
    auto boxes = BoxesShown(host_, before);
    for (std::size_t i = 0; i < boxes.size(); ++i)
      if (const auto status = statusAtBox_.find(before + i); status != statusAtBox_.end())
        boxes[i].status = status->second;
    return boxes;
  }

  std::string medium_ = "A:\\MEDIUM";
  InstallerRig rig_;
  FakeInstallerFileSystem& files_ = rig_.files;
  TestingHost& host_ = rig_.host;
  CInstallApp app_;
  TestWindow* window_ = nullptr;
  std::map<std::size_t, std::string> statusAtBox_;  // by the box's place among all boxes
};

}  // namespace

std::unique_ptr<SetupDriver> MakeSetupDriver() { return std::make_unique<TestingSetupDriver>(); }

}  // namespace testing
}  // namespace qv
