// The host contract on the testing host.
#include "framework/testing/testing_host.h"
#include "tests/framework/host_contract.h"
#include "tests/framework/test_resources.h"

namespace qv {
namespace {

class TestingDriver final : public HostDriver {
 public:
  DialogHost& Host() override { return host_; }
  void Click(CDialog& dialog, int id) override { Window(dialog).Click(id); }
  void PressEnter(CDialog& dialog) override { Window(dialog).PressEnter(); }
  void SystemCommand(CDialog& dialog, unsigned command) override { Window(dialog).SystemCommand(command); }
  void Notify(CDialog& dialog, int id, unsigned code) override { Window(dialog).Notify(id, code); }
  int FocusedItem(const CDialog& dialog) override { return Window(dialog).FocusedItem(); }
  // The boxes and choosers pick their answer once the pending messages are
  // dispatched, so an answer queued now is the one the open box gives.
  void AnswerOpenMessageBox(const CDialog&, int answer) override { host_.AnswerNextMessageBox(answer); }
  void CancelOpenChooser(const CDialog&) override {}

 private:
  testing::TestWindow& Window(const CDialog& dialog) { return *host_.LastWindow(dialog.TemplateId()); }
  testing::TestingHost host_{FrameworkTestResources()};
};

INSTANTIATE_TEST_SUITE_P(Testing, HostContract,
                         ::testing::Values(HostUnderTest{"testing", [] { return std::unique_ptr<HostDriver>(new TestingDriver); }}),
                         HostName);

}  // namespace
}  // namespace qv
