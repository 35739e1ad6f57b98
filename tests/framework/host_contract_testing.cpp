// The host contract on the testing host.
#include "tests/support/testing_host.h"
#include "tests/framework/host_contract.h"
#include "tests/framework/test_resources.h"

namespace qv {
namespace {

class TestingDriver final : public HostDriver {
 public:
  DialogHost& Host() override { return host_; }
  void Click(CDialog& dialog, int id) override { Window(dialog).Click(id); }
  void Type(CDialog& dialog, int id, std::string_view text) override {
    Window(dialog).Type(id, text);
  }
  void Paste(CDialog& dialog, int id, std::string_view text) override { Window(dialog).Paste(id, text); }
  void PressKey(CDialog& dialog, Key key) override {
    testing::TestWindow& window = Window(dialog);
    switch (key) {
      case Key::Enter: window.PressEnter(); break;
      case Key::Escape: window.PressEscape(); break;
      case Key::Tab: window.PressTab(); break;
      case Key::Down: window.PressArrow(true); break;
      case Key::Up: window.PressArrow(false); break;
    }
  }
  void SystemCommand(CDialog& dialog, unsigned command) override { Window(dialog).SystemCommand(command); }
  void Notify(CDialog& dialog, int id, unsigned code) override { Window(dialog).Notify(id, code); }
  int FocusedItem(const CDialog& dialog) override { return Window(dialog).FocusedItem(); }
  // The boxes and choosers pick their answer once the pending messages are
  // dispatched, so an answer queued now is the one the open box gives.
  void AnswerOpenMessageBox(const CDialog&, int answer) override { host_.AnswerNextMessageBox(answer); }
  void PressKeyInOpenMessageBox(const CDialog&, Key key, int otherwise) override {
    host_.PressKeyInNextMessageBox(key == Key::Escape ? testing::BoxKey::Escape : testing::BoxKey::Enter, otherwise);
  }
  void CancelOpenChooser(const CDialog&) override {}

 private:
  testing::TestWindow& Window(const CDialog& dialog) { return *host_.LastWindow(dialog.TemplateId()); }
  testing::TestingHost host_{FrameworkTestResources()};
};

INSTANTIATE_TEST_SUITE_P(Testing, HostContract, ::testing::Values(HostOf<TestingDriver>("testing")),
                         HostName);

}  // namespace
}  // namespace qv
