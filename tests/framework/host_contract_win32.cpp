// The host contract on the win32 host: real dialogs under Wine, the
// reference that the other hosts follow. User input is made of the messages
// that the platform itself would send, delivered at once. Beyond the
// contract: the real window's caption and system menu.
#include "framework/win32/win32_host.h"

#include <optional>

#include "framework/dialog.h"
#include "tests/framework/host_contract.h"

namespace qv {
namespace {

class Win32Driver final : public HostDriver {
 public:
  DialogHost& Host() override { return host_; }
  void Click(CDialog& dialog, int id) override {
    SendMessageA(GetDlgItem(Hwnd(dialog), id), BM_CLICK, 0, 0);
  }
  void Type(CDialog& dialog, int id, std::string_view text) override {
    HWND edit = GetDlgItem(Hwnd(dialog), id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  void Paste(CDialog& dialog, int id, std::string_view text) override {
    HWND edit = GetDlgItem(Hwnd(dialog), id);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    char* bytes = static_cast<char*>(GlobalLock(memory));
    text.copy(bytes, text.size());
    bytes[text.size()] = '\0';
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(edit));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);  // the clipboard owns it now
    CloseClipboard();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_PASTE, 0, 0);
  }
  void PressKey(CDialog& dialog, Key key) override {
    // The key as the modal loop hands it to the dialog manager: addressed
    // to the control that has the focus.
    HWND hwnd = Hwnd(dialog);
    HWND focus = GetFocus();
    MSG msg{};
    msg.hwnd = focus && IsChild(hwnd, focus) ? focus : hwnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VirtualKey(key);
    msg.lParam = 1;
    IsDialogMessageA(hwnd, &msg);
  }
  void SystemCommand(CDialog& dialog, unsigned command) override {
    SendMessageA(Hwnd(dialog), WM_SYSCOMMAND, command, 0);
  }
  void Notify(CDialog& dialog, int id, unsigned code) override {
    HWND hwnd = Hwnd(dialog);
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, id)));
  }
  int FocusedItem(const CDialog& dialog) override {
    HWND focus = GetFocus();
    return focus && IsChild(Hwnd(dialog), focus) ? GetDlgCtrlID(focus) : 0;
  }
  void AnswerOpenMessageBox(const CDialog& owner, int answer) override { Answer(owner, answer); }
  void PressKeyInOpenMessageBox(const CDialog& owner, Key key, int otherwise) override {
    Answer(owner, otherwise, key);
  }
  void CancelOpenChooser(const CDialog& owner) override { Answer(owner, IDCANCEL); }

 private:
  static WPARAM VirtualKey(Key key) {
    static constexpr WPARAM kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_DOWN, VK_UP};
    return kKeys[static_cast<int>(key)];
  }
  static HWND Hwnd(const CDialog& dialog) { return win32::Win32Host::WindowOf(&dialog); }
  // Posts the open box or chooser `key`, when given, and a click on
  // `button`: its own loop takes both in turn; once the key has closed it,
  // the click that follows finds no window.
  static void Answer(const CDialog& owner, int button, std::optional<Key> key = std::nullopt) {
    // The open box or chooser is the dialog's last active popup.
    HWND box = GetLastActivePopup(Hwnd(owner));
    if (box == Hwnd(owner)) return ADD_FAILURE() << "no open box or chooser over the dialog";
    if (key) PostMessageA(box, WM_KEYDOWN, VirtualKey(*key), 1);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  }
  win32::Win32Host host_{GetModuleHandleA(nullptr)};
};

INSTANTIATE_TEST_SUITE_P(Win32, HostContract, ::testing::Values(HostOf<Win32Driver>("win32")),
                         HostName);

// The program's item comes last in the system menu, after a separator.
TEST(Win32Host, TheRealWindowHasTheCaptionAndTheProgramsSystemMenuItem) {
  struct CMenuDlg : CDialog {
    using CDialog::CDialog;
    bool OnInitDialog() override {
      AddSystemMenuItem(0x0010, "&About...");
      HWND hwnd = win32::Win32Host::WindowOf(this);
      char text[64] = {};
      GetWindowTextA(hwnd, text, sizeof text);
      EXPECT_STREQ(text, "Framework Test");
      HMENU menu = GetSystemMenu(hwnd, FALSE);
      const int count = GetMenuItemCount(menu);
      EXPECT_GE(count, 2);
      GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
      EXPECT_STREQ(text, "&About...");
      EXPECT_EQ(GetMenuItemID(menu, count - 1), 0x0010u);
      EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
      EndDialog(7);
      return true;
    }
  };
  win32::Win32Host host{GetModuleHandleA(nullptr)};
  CMenuDlg dialog(host, 100);
  EXPECT_EQ(dialog.DoModal(), 7);
  EXPECT_EQ(dialog.Window(), nullptr);
}

}  // namespace
}  // namespace qv
