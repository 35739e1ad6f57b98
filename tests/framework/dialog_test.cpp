// Message tables and their fallback, the hooks of CDialog, and the
// platform's default processing, seen through the testing host.
#include "framework/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/testing_host.h"
#include "framework/window_constants.h"
#include "tests/framework/test_resources.h"

namespace qv {
namespace {

using testing::TestingHost;

constexpr unsigned kPrivate = kWmUser + 7;

class CBaseTestDlg : public CDialog {
 public:
  explicit CBaseTestDlg(DialogHost& host) : CDialog(host, 100) {}
  std::vector<std::string> calls;

 protected:
  void OnShared() { calls.push_back("base shared"); }
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

class DialogTest : public ::testing::Test {
 protected:
  TestingHost host{FrameworkTestResources()};
};

TEST_F(DialogTest, DerivedTableWinsAndUnlistedMessagesFallBackToTheBase) {
  CDerivedTestDlg dialog(host);
  auto& window = host.Open(dialog);
  window.Click(40);  // the check box: listed by both classes
  window.Click(13);  // a group box sends nothing
  EXPECT_TRUE(dialog.HandleCommand(41));
  EXPECT_FALSE(dialog.HandleCommand(999));
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init", "derived shared", "base only"}));
}

TEST_F(DialogTest, OkAndCancelReachTheVirtualHooksThroughTheBaseTable) {
  CDerivedTestDlg dialog(host);
  auto& window = host.Open(dialog);
  window.PressEnter();  // the default button, IDOK: overridden, does not end
  EXPECT_FALSE(window.Ended());
  window.PressEscape();  // CDialog's own Cancel ends with IDCANCEL
  EXPECT_TRUE(window.Ended());
  EXPECT_EQ(window.EndCode(), kIdCancel);
  EXPECT_EQ(dialog.calls.back(), "ok");
}

TEST_F(DialogTest, DefaultProcessingTurnsCloseIntoCancel) {
  CDerivedTestDlg dialog(host);
  auto& window = host.Open(dialog);
  window.SystemCommand(0x0010);  // handled, no default
  EXPECT_FALSE(window.Ended());
  window.CloseBox();
  EXPECT_TRUE(window.Ended());
  EXPECT_EQ(window.EndCode(), kIdCancel);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init", "sys 16", "sys 61536"}));
}

TEST_F(DialogTest, PostedMessagesArriveThroughTheTableWhenPumped) {
  CDerivedTestDlg dialog(host);
  host.Open(dialog);
  ASSERT_TRUE(dialog.HandlePrivateMessage(kPrivate, 0, 0));
  dialog.calls.clear();
  EXPECT_FALSE(dialog.HandlePrivateMessage(kPrivate + 1, 0, 0));
  EXPECT_TRUE(dialog.calls.empty());
}

}  // namespace
}  // namespace qv
