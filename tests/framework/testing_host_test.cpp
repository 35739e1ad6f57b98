// The testing host must behave like the platform where the programs rely on
// it: radio sets from template groups, edit limits, disabled controls,
// nested modal dialogs, message-box answers and pumped messages.
#include "tests/support/testing_host.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/window_constants.h"
#include "tests/framework/test_resources.h"

namespace qv {
namespace {

using testing::TestingHost;
using testing::TestWindow;

class CPlainDlg : public CDialog {
 public:
  explicit CPlainDlg(DialogHost& host, int templateId = 100, CDialog* parent = nullptr)
      : CDialog(host, templateId, parent) {}
  std::function<void()> onCheck;  // what the check box does

  using CDialog::LimitText;
  using CDialog::ShowMessageBox;
  using CDialog::PostToSelf;
  using CDialog::PumpOneMessage;

 protected:
  void OnCheck() {
    if (onCheck) onCheck();
  }
  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {msg::Command<&CPlainDlg::OnCheck>(40)};
    static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
    return &kTable;
  }
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

class TestingHostTest : public ::testing::Test {
 protected:
  TestingHost host{FrameworkTestResources()};
};

// What a click does to the sets: the host contract's radio cases.
TEST_F(TestingHostTest, RadioSetsFollowTheTemplateGroups) {
  CPlainDlg dialog(host);
  TestWindow& window = host.Open(dialog);
  EXPECT_EQ(window.RadioSet(11), (std::vector<int>{10, 11, 12}));
  EXPECT_EQ(window.RadioSet(21), (std::vector<int>{20, 21}));
}

TEST_F(TestingHostTest, DisabledOrEndedControlsCannotBeWorked) {
  CPlainDlg dialog(host);
  TestWindow& window = host.Open(dialog);
  EXPECT_FALSE(window.Click(50));
  EXPECT_FALSE(window.Click(13)) << "a group box is no button";
  window.EnableItem(31, false);
  EXPECT_FALSE(window.Type(31, "x"));
  EXPECT_TRUE(window.PressEscape());
  EXPECT_FALSE(window.Click(10));
  EXPECT_THROW(window.Text(777), std::logic_error) << "a wrong id is a fault in the program";
}

TEST_F(TestingHostTest, TypingRespectsTheLimitButTheProgramMaySetLongerText) {
  CPlainDlg dialog(host);
  TestWindow& window = host.Open(dialog);
  dialog.LimitText(31, 5);
  window.SetItemText(31, "1234567");
  EXPECT_EQ(window.Text(31), "1234567");
  window.TypeAtEnd(31, "8");
  EXPECT_EQ(window.Text(31), "1234567") << "no lengthening past the limit";
  window.Type(31, "abcdefgh");
  EXPECT_EQ(window.Text(31), "abcde");
  window.Type(31, "ab");
  window.TypeAtEnd(31, "xyzw");
  EXPECT_EQ(window.Text(31), "abxyz");
  window.Type(30, "c:\\dir");
  EXPECT_EQ(window.Text(30), "C:\\DIR") << "upper-case edit";
}

TEST_F(TestingHostTest, MessageBoxesAnswerAsQueuedOrWithTheirFirstButton) {
  CPlainDlg dialog(host);
  host.Open(dialog);
  host.AnswerNextMessageBox(kIdCancel);
  EXPECT_EQ(dialog.ShowMessageBox("a", "b", kMbOkCancel), kIdCancel);
  EXPECT_EQ(dialog.ShowMessageBox("c", "d", kMbOkCancel), kIdOk);
  EXPECT_EQ(dialog.ShowMessageBox("e", "f", kMbRetryCancel), kIdRetry);
  ASSERT_EQ(host.MessageBoxes().size(), 3u);
  EXPECT_EQ(host.MessageBoxes()[0].text, "a");
  EXPECT_EQ(host.MessageBoxes()[0].caption, "b");
  EXPECT_EQ(host.MessageBoxes()[0].ownerTemplate, 100);
}

TEST_F(TestingHostTest, NestedModalDialogsRunTheirScriptsOrAreEndedByTheHost) {
  CPlainDlg parent(host);
  TestWindow& window = host.Open(parent);
  int firstChild = 0, secondChild = 0;
  parent.onCheck = [&] {
    CPlainDlg child(host, 100, &parent);
    firstChild = child.DoModal();
    CPlainDlg unscripted(host, 100, &parent);
    secondChild = unscripted.DoModal();
  };
  host.WhenDialogRuns(100, [](TestWindow& child) { child.PressEnter(); });
  window.Click(40);
  EXPECT_EQ(firstChild, kIdOk);
  EXPECT_EQ(secondChild, kIdCancel);
  ASSERT_NE(host.LastWindow(100), nullptr);
  EXPECT_TRUE(host.LastWindow(100)->EndedByHost());
  EXPECT_FALSE(window.Ended());
}

TEST_F(TestingHostTest, QueuedUserActionsRunInsideAPumpInOrderWithPostedMessages) {
  CPlainDlg dialog(host);
  TestWindow& window = host.Open(dialog);
  std::vector<std::string> order;
  host.QueueUserAction([&] { order.push_back("user"); });
  dialog.PostToSelf(kWmUser + 1);  // no handler: dropped quietly
  host.QueueUserAction([&] { order.push_back("second"); });
  dialog.onCheck = [&] {
    order.push_back("handler");
    while (dialog.PumpOneMessage()) {
    }
    order.push_back("handler end");
  };
  window.Click(40);
  EXPECT_EQ(order, (std::vector<std::string>{"handler", "user", "second", "handler end"}));
}

TEST_F(TestingHostTest, AnExceptionInAHandlerReachesTheTest) {
  CPlainDlg dialog(host);
  TestWindow& window = host.Open(dialog);
  dialog.onCheck = [] { throw std::runtime_error("boom"); };
  EXPECT_THROW(window.Click(40), std::runtime_error);
}

}  // namespace
}  // namespace qv
