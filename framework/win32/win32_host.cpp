#include "framework/win32/win32_host.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/dialog.h"

namespace qv::win32 {
namespace {

std::string Terminated(std::string_view text) { return std::string(text); }

class Win32Painter final : public MinimizedPainter {
 public:
  explicit Win32Painter(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd_, &paint_); }
  ~Win32Painter() override { EndPaint(hwnd_, &paint_); }
  void EraseIconBackground() override {
    SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
  }
  Size SystemIconSize() const override {
    return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  }
  Size ClientSize() const override {
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
  }
  void DrawIcon(const IconHandle& icon, int x, int y) override {
    ::DrawIcon(dc_, x, y, static_cast<HICON>(const_cast<void*>(icon.native)));
  }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

class Win32Window final : public DialogWindow {
 public:
  explicit Win32Window(HWND hwnd) : hwnd_(hwnd) {}

  HWND Handle() const { return hwnd_; }
  void SetDefaultRequested(bool requested) { defaultRequested_ = requested; }
  bool TakeDefaultRequest() {
    const bool requested = defaultRequested_;
    defaultRequested_ = false;
    return requested;
  }

  std::string ItemText(int id) const override {
    HWND item = GetDlgItem(hwnd_, id);
    if (!item) return {};
    const int length = GetWindowTextLengthA(item);
    std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = GetWindowTextA(item, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
  }
  void SetItemText(int id, std::string_view text) override {
    SetDlgItemTextA(hwnd_, id, Terminated(text).c_str());
  }
  bool IsItemChecked(int id) const override {
    return SendDlgItemMessageA(hwnd_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void CheckItem(int id, bool checked) override {
    SendDlgItemMessageA(hwnd_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool IsItemEnabled(int id) const override {
    HWND item = GetDlgItem(hwnd_, id);
    return item && IsWindowEnabled(item);
  }
  void EnableItem(int id, bool enable) override { EnableWindow(GetDlgItem(hwnd_, id), enable); }
  void LimitItemText(int id, int maxChars) override {
    SendDlgItemMessageA(hwnd_, id, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
  }
  void FocusItem(int id) override { SetFocus(GetDlgItem(hwnd_, id)); }
  void SelectItemText(int id, int start, int end) override {
    SendDlgItemMessageA(hwnd_, id, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  }
  void ScrollItemCaret(int id) override { SendDlgItemMessageA(hwnd_, id, EM_SCROLLCARET, 0, 0); }
  void InvalidateItem(int id) override { InvalidateRect(GetDlgItem(hwnd_, id), nullptr, FALSE); }
  void UpdateItem(int id) override { UpdateWindow(GetDlgItem(hwnd_, id)); }

  bool HasSystemMenu() const override { return GetSystemMenu(hwnd_, FALSE) != nullptr; }
  void AppendSystemMenuSeparator() override {
    if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  }
  void AppendSystemMenuItem(unsigned command, std::string_view text) override {
    if (HMENU menu = GetSystemMenu(hwnd_, FALSE))
      AppendMenuA(menu, MF_STRING, command, Terminated(text).c_str());
  }
  void SetIcon(const IconHandle& icon, bool big) override {
    SendMessageA(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                 reinterpret_cast<LPARAM>(icon.native));
  }
  bool IsIconic() const override { return ::IsIconic(hwnd_) != FALSE; }
  std::unique_ptr<MinimizedPainter> BeginMinimizedPaint() override {
    return std::make_unique<Win32Painter>(hwnd_);
  }
  void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    PostMessageA(hwnd_, message, wParam, lParam);
  }
  void End(int code) override { ::EndDialog(hwnd_, code); }
  void RequestDefaultProcessing() override { defaultRequested_ = true; }

 private:
  HWND hwnd_;
  bool defaultRequested_ = false;
};

// What one modal run keeps: the dialog object, its window, and an exception
// that a handler threw, to be thrown again once the platform's loop is left.
struct Binding {
  CDialog* dialog;
  std::unique_ptr<Win32Window> window;
  std::exception_ptr error;
};

// The exception of the last handler that failed on this thread, for the
// pump that dispatched it: the handler that pumps must not carry on as if
// nothing had happened.
thread_local std::exception_ptr lastHandlerError;

// A message that a handler sends to its own dialog (a control's
// notification while the handler sets its text) is handled inside the
// first: each message gets a request of its own, and the outer one's
// pending Default() is there again when the inner message is done.
class DefaultRequestScope {
 public:
  explicit DefaultRequestScope(Win32Window& window) : window_(window), outer_(window.TakeDefaultRequest()) {}
  ~DefaultRequestScope() { window_.SetDefaultRequested(outer_); }
  DefaultRequestScope(const DefaultRequestScope&) = delete;
  DefaultRequestScope& operator=(const DefaultRequestScope&) = delete;

 private:
  Win32Window& window_;
  bool outer_;
};

Binding* BindingOf(HWND hwnd) {
  return reinterpret_cast<Binding*>(GetWindowLongPtrA(hwnd, DWLP_USER));
}

template <class Handler>
INT_PTR Guarded(HWND hwnd, Binding& binding, Handler&& handler) {
  try {
    return handler();
  } catch (...) {
    lastHandlerError = std::current_exception();
    if (!binding.error) binding.error = lastHandlerError;
    EndDialog(hwnd, -1);
    return TRUE;
  }
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* binding = reinterpret_cast<Binding*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    binding->window = std::make_unique<Win32Window>(hwnd);
    return Guarded(hwnd, *binding, [&]() -> INT_PTR {
      return binding->dialog->HandleInitDialog(*binding->window) ? TRUE : FALSE;
    });
  }
  Binding* binding = BindingOf(hwnd);
  if (!binding || !binding->window) return FALSE;
  CDialog& dialog = *binding->dialog;
  if (message == WM_DESTROY) {
    binding->dialog->HandleDestroy();
    binding->window.reset();
    return FALSE;
  }
  Win32Window& window = *binding->window;
  DefaultRequestScope scope(window);

  switch (message) {
    case WM_COMMAND:
      // Button clicks and menu items (code 0). Every other code is a
      // control's notification, the list boxes' selection change (1)
      // among them, and no command; the programs have no accelerators.
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      return Guarded(hwnd, *binding, [&]() -> INT_PTR {
        const bool handled = dialog.HandleCommand(LOWORD(wParam));
        return handled && !window.TakeDefaultRequest();
      });
    case WM_SYSCOMMAND:
      return Guarded(hwnd, *binding, [&]() -> INT_PTR {
        const bool handled = dialog.HandleSysCommand(static_cast<unsigned>(wParam));
        return handled && !window.TakeDefaultRequest();
      });
    case WM_PAINT:
      return Guarded(hwnd, *binding, [&]() -> INT_PTR {
        const bool handled = dialog.HandlePaint();
        return handled && !window.TakeDefaultRequest();
      });
    case WM_QUERYDRAGICON:
      return Guarded(hwnd, *binding, [&]() -> INT_PTR {
        const auto icon = dialog.HandleQueryDragIcon();
        return icon ? reinterpret_cast<INT_PTR>(icon->native) : 0;
      });
    default:
      if (message >= WM_USER && message < 0xC000) {
        return Guarded(hwnd, *binding, [&]() -> INT_PTR {
          const bool handled = dialog.HandlePrivateMessage(message, wParam, lParam);
          return handled && !window.TakeDefaultRequest();
        });
      }
      return FALSE;
  }
}

}  // namespace

HWND Win32Host::WindowOf(const CDialog* dialog) {
  if (!dialog || !dialog->Window()) return nullptr;
  return static_cast<Win32Window*>(dialog->Window())->Handle();
}

void Win32Host::PrepareControls() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

int Win32Host::RunModal(CDialog& dialog, int templateId, CDialog* parent) {
  Binding binding{&dialog, nullptr, nullptr};
  const INT_PTR result = DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId), WindowOf(parent),
                                         DialogProc, reinterpret_cast<LPARAM>(&binding));
  if (binding.window) dialog.HandleDestroy();
  if (binding.error) std::rethrow_exception(binding.error);
  return static_cast<int>(result);
}

std::string Win32Host::LoadText(unsigned id) const {
  char buffer[1024];
  const int length = LoadStringA(instance_, id, buffer, sizeof buffer);
  return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

IconHandle Win32Host::LoadIconResource(unsigned id) {
  HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(id));
  if (!icon) return {};
  return IconHandle{id, icon};
}

int Win32Host::ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                          unsigned style) {
  return MessageBoxA(WindowOf(owner), Terminated(text).c_str(), Terminated(caption).c_str(), style);
}

bool Win32Host::PumpOneMessage() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  TranslateMessage(&message);
  lastHandlerError = nullptr;
  DispatchMessageA(&message);
  // The failed handler has ended its dialog; the caller of the pump, a
  // handler itself as a rule, ends with the same exception.
  if (lastHandlerError) std::rethrow_exception(std::exchange(lastHandlerError, nullptr));
  return true;
}

void Win32Host::WaitForMessage(std::uint32_t timeoutMs) {
  // Wakes for input that was already queued as well, not only for new input.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace qv::win32

namespace qv::win32 {

std::optional<std::string> Win32Host::ChoosePrinter(CDialog* owner, unsigned flags) {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = WindowOf(owner);
  // No printer preset: the chooser opens on the current default printer.
  dialog.Flags = flags | PD_PRINTSETUP;
  if (!PrintDlgA(&dialog)) return std::nullopt;
  std::string device;
  if (dialog.hDevNames) {
    if (const auto* names = static_cast<const DEVNAMES*>(GlobalLock(dialog.hDevNames))) {
      const SIZE_T size = GlobalSize(dialog.hDevNames);
      const char* base = reinterpret_cast<const char*>(names);
      // The name ends at its NUL and never past the block.
      if (names->wDeviceOffset < size) {
        const char* name = base + names->wDeviceOffset;
        device.assign(name, strnlen(name, size - names->wDeviceOffset));
      }
      GlobalUnlock(dialog.hDevNames);
    }
    GlobalFree(dialog.hDevNames);
  }
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  return device;
}

std::optional<std::string> Win32Host::ChooseFile(CDialog* owner, const FileChooserRequest& request) {
  // Room for any path the chooser may return, beyond the classic 260.
  std::vector<char> file(32768, '\0');
  request.initialName.copy(file.data(), std::min(request.initialName.size(), file.size() - 1));
  std::string filter = request.filter;
  filter.append(2, '\0');  // the list ends with two NULs whatever the caller gave
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = WindowOf(owner);
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.Flags = request.flags;
  if (!GetOpenFileNameA(&dialog)) return std::nullopt;
  return std::string(file.data());
}

}  // namespace qv::win32
