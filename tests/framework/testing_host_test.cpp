// CDialog's message tables and their fallback, its hooks and the platform's
// default processing, seen through the testing host; and the testing host
// where it goes beyond the host contract: what a user cannot do, typing at
// the end of an edit, queued answers, nested modal dialogs and user actions
// that arrive inside a pump.
#include "tests/support/testing_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/window_constants.h"
#include "tests/framework/test_resources.h"

namespace qv {
namespace {

using testing::TestingHost;
using testing::TestWindow;

constexpr unsigned kPrivate = kWmUser + 7;

class CBaseTestDlg : public CDialog {
 public:
  explicit CBaseTestDlg(DialogHost& host, int templateId = 100, CDialog* parent = nullptr)
      : CDialog(host, templateId, parent) {}
  std::vector<std::string> calls;
  std::function<void()> onCheck;  // what the check box does besides

  using CDialog::LimitText;
  using CDialog::PostToSelf;
  using CDialog::PumpOneMessage;
  using CDialog::ShowMessageBox;

 protected:
  void OnShared() {
    calls.push_back("base shared");
    if (onCheck) onCheck();
  }
  void OnBaseOnly() { calls.push_back("base only"); }
  void OnSys(unsigned command) {
    calls.push_back("sys " + std::to_string(command));
    if (command != 0x0010) Default();
  }
  void OnPrivate() { calls.push_back("private"); }

  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {
        msg::Command<&CBaseTestDlg::OnShared>(40),
        msg::Command<&CBaseTestDlg::OnBaseOnly>(41),
        msg::SysCommand<&CBaseTestDlg::OnSys>(),
        msg::PrivateMessage<&CBaseTestDlg::OnPrivate>(kPrivate),
    };
    static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
    return &kTable;
  }
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

class CDerivedTestDlg : public CBaseTestDlg {
 public:
  using CBaseTestDlg::CBaseTestDlg;

 protected:
  bool OnInitDialog() override {
    calls.push_back("init");
    return true;
  }
  void OnOK() override { calls.push_back("ok"); }
  void OnShared() { calls.push_back("derived shared"); }

  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {
        msg::Command<&CDerivedTestDlg::OnShared>(40),
    };
    static const MessageTable kTable{CBaseTestDlg::ClassMessageTable(), kEntries};
    return &kTable;
  }
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

// The dialog is open on dialog 100 before each case.
template <class Dialog>
class OpenDialog : public ::testing::Test {
 protected:
  TestingHost host{FrameworkTestResources()};
  Dialog dialog{host};
  TestWindow& window = host.Open(dialog);
};
using MessageTables = OpenDialog<CDerivedTestDlg>;
using TestingHostTest = OpenDialog<CBaseTestDlg>;

TEST_F(MessageTables, DerivedTableWinsAndUnlistedMessagesFallBackToTheBase) {
  window.Click(40);  // the check box: listed by both classes
  window.Click(13);  // a group box sends nothing
  EXPECT_TRUE(dialog.HandleCommand(41));
  EXPECT_FALSE(dialog.HandleCommand(999));
  EXPECT_TRUE(dialog.HandlePrivateMessage(kPrivate, 0, 0));
  EXPECT_FALSE(dialog.HandlePrivateMessage(kPrivate + 1, 0, 0));
  EXPECT_EQ(dialog.calls,
            (std::vector<std::string>{"init", "derived shared", "base only", "private"}));
}

// OK and Cancel reach the virtual hooks through the base table, and
// CDialog's own Cancel ends with IDCANCEL; a system command reaches its
// entry with its value, and Close left to the platform becomes Cancel.
TEST_F(MessageTables, HooksAndSystemCommandsGoThroughTheTables) {
  window.PressEnter();           // the default button, IDOK: overridden, does not end
  window.SystemCommand(0x0010);  // handled, no default
  EXPECT_FALSE(window.Ended());
  window.CloseBox();
  EXPECT_TRUE(window.Ended());
  EXPECT_EQ(window.EndCode(), kIdCancel);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init", "ok", "sys 16", "sys 61536"}));
}

TEST_F(TestingHostTest, DisabledOrEndedControlsCannotBeWorked) {
  EXPECT_FALSE(window.Click(50));
  EXPECT_FALSE(window.Click(13)) << "a group box is no button";
  window.EnableItem(31, false);
  EXPECT_FALSE(window.Type(31, "x"));
  EXPECT_TRUE(window.PressEscape());
  EXPECT_FALSE(window.Click(10));
  EXPECT_THROW(window.Text(777), std::logic_error) << "a wrong id is a fault in the program";
}

// Typing over the selection under a limit is the host contract's.
TEST_F(TestingHostTest, TypingAtTheEndStopsAtTheLimit) {
  dialog.LimitText(31, 5);
  window.SetItemText(31, "1234567");
  window.TypeAtEnd(31, "8");
  EXPECT_EQ(window.Text(31), "1234567") << "no lengthening past the limit";
  window.Type(31, "ab");
  window.TypeAtEnd(31, "xyzw");
  EXPECT_EQ(window.Text(31), "abxyz");
}

TEST_F(TestingHostTest, MessageBoxesAnswerAsQueuedOrWithTheirFirstButton) {
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
  int firstChild = 0, secondChild = 0;
  dialog.onCheck = [&] {
    CBaseTestDlg child(host, 100, &dialog);
    firstChild = child.DoModal();
    CBaseTestDlg unscripted(host, 100, &dialog);
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

// Without a modal loop, the exception comes out of the user's action.
TEST_F(TestingHostTest, AnExceptionInAHandlerReachesTheTest) {
  dialog.onCheck = [] { throw std::runtime_error("boom"); };
  EXPECT_THROW(window.Click(40), std::runtime_error);
}

}  // namespace
}  // namespace qv
