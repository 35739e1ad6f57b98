// The win32 host running real dialogs from the templates linked into this
// test program, under Wine: control access, message tables, default
// processing, the system menu and end codes. What every host shares (radio
// clicks, edits' text, exceptions from handlers) is the host contract's.
#include "framework/win32/win32_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/dialog.h"
#include "framework/window_constants.h"

namespace qv {
namespace {

constexpr unsigned kRunScript = kWmUser + 50;

class CScriptedDlg : public CDialog {
 public:
  explicit CScriptedDlg(DialogHost& host) : CDialog(host, 100) {}
  std::function<void(CScriptedDlg&)> script;
  int cancels = 0;

  using CDialog::AddSystemMenuItem;
  using CDialog::EnableItem;
  using CDialog::LimitText;

 protected:
  bool OnInitDialog() override {
    // The script runs once the platform's modal loop has started.
    PostToSelf(kRunScript);
    return true;
  }
  void OnCancel() override {
    ++cancels;
    EndDialog(kIdCancel);
  }
  void OnRun() { script(*this); }
  void OnSys(unsigned) { Default(); }

  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {
        msg::PrivateMessage<&CScriptedDlg::OnRun>(kRunScript),
        msg::SysCommand<&CScriptedDlg::OnSys>(),
    };
    static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
    return &kTable;
  }
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

class Win32HostTest : public ::testing::Test {
 protected:
  win32::Win32Host host{GetModuleHandleA(nullptr)};
};

TEST_F(Win32HostTest, RealControlsAnswerThroughTheSeam) {
  CScriptedDlg dialog(host);
  dialog.script = [](CScriptedDlg& d) {
    HWND hwnd = win32::Win32Host::WindowOf(&d);
    char caption[64] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Framework Test");

    d.LimitText(31, 3);
    EXPECT_EQ(SendDlgItemMessageA(hwnd, 31, EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, 50)));
    d.EnableItem(50, true);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, 50)));

    d.AddSystemMenuItem(0x0010, "&About...");
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    char text[64] = {};
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About...");
    EXPECT_EQ(GetMenuItemID(menu, count - 1), 0x0010u);
    EXPECT_EQ(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    d.EndDialog(7);
  };
  EXPECT_EQ(dialog.DoModal(), 7);
  EXPECT_EQ(dialog.Window(), nullptr);
}

TEST_F(Win32HostTest, DefaultProcessingOfCloseReachesTheCancelCommand) {
  CScriptedDlg dialog(host);
  dialog.script = [](CScriptedDlg& d) {
    SendMessageA(win32::Win32Host::WindowOf(&d), WM_SYSCOMMAND, SC_CLOSE, 0);
  };
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(dialog.cancels, 1);
}

TEST_F(Win32HostTest, StringsAndIconsComeFromTheLinkedResources) {
  EXPECT_EQ(host.LoadText(4000), "Line one\nLine two");
  EXPECT_EQ(host.LoadText(2), "");
  EXPECT_TRUE(host.LoadIconResource(1));
  EXPECT_FALSE(host.LoadIconResource(999));
}

}  // namespace
}  // namespace qv
