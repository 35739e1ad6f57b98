#include "tests/wine/program_driver.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <tuple>
#include <utility>

#include "tests/support/png_writer.h"
#include "tests/support/poll_until.h"

namespace qv::wine {
namespace {

std::string WindowTextOf(HWND window) {
  // WM_GETTEXT reaches the owning process; GetWindowText would not for edits.
  char buffer[4096] = {};
  SendBounded(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::string CaptionOf(HWND window) {
  char caption[512] = {};
  GetWindowTextA(window, caption, sizeof caption);
  return caption;
}

struct Search {
  const std::function<bool(HWND)>& wanted;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  if (!search.wanted(window)) return TRUE;
  search.found = window;
  return FALSE;
}

// The first top-level window that `wanted` takes, or null.
HWND FirstWindow(const std::function<bool(HWND)>& wanted) {
  Search search{wanted};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ArtifactsDirectory() {
  char path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("QV_ARTIFACTS", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  CreateDirectoryA(path, nullptr);
  return path;
}

// Draws with `draw` (into the memory context, with the screen's beside it)
// on a 32-bit picture in memory; its pixels, top row first.
std::vector<std::uint32_t> Picture(int width, int height,
                                   const std::function<void(HDC, HDC, std::uint32_t*)>& draw) {
  if (width <= 0 || height <= 0) return {};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::uint32_t* bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  std::vector<std::uint32_t> pixels;
  if (bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory, screen, bits);
    GdiFlush();
    pixels.assign(bits, bits + static_cast<std::size_t>(width) * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The screen's pixels in the rectangle, top row first.
std::vector<std::uint32_t> CaptureScreen(const RECT& r) {
  return Picture(r.right - r.left, r.bottom - r.top, [&](HDC memory, HDC screen, std::uint32_t*) {
    BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
  });
}

// The standard icons that a message box may show, in the scenarios' terms.
const std::pair<LPCSTR, testing::BoxIcon> kBoxIcons[] = {
    {IDI_HAND, testing::BoxIcon::Error},
    {IDI_QUESTION, testing::BoxIcon::Question},
    {IDI_EXCLAMATION, testing::BoxIcon::Warning},
    {IDI_ASTERISK, testing::BoxIcon::Information},
};

// The standard icon that the control shows on the screen: the one drawn
// here on the same background that most of its pixels agree with.
testing::BoxIcon MatchShownIcon(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  const int width = std::min<int>(rect.right - rect.left, GetSystemMetrics(SM_CXICON));
  const int height = std::min<int>(rect.bottom - rect.top, GetSystemMetrics(SM_CYICON));
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  const auto shown = CaptureScreen(rect);
  if (shown.empty()) return testing::BoxIcon::None;
  testing::BoxIcon best = testing::BoxIcon::None;
  long bestDistance = static_cast<long>(shown.size());
  for (const auto& [id, icon] : kBoxIcons) {
    // The icon drawn on the shown background, as the icon control would draw it.
    const auto drawn = Picture(width, height, [&](HDC memory, HDC, std::uint32_t* bits) {
      std::fill(bits, bits + shown.size(), shown[0]);
      DrawIconEx(memory, 0, 0, LoadIconA(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL);
    });
    if (drawn.size() != shown.size()) continue;
    long distance = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
      distance += (shown[i] & 0xFFFFFF) != (drawn[i] & 0xFFFFFF);
    if (distance < bestDistance) std::tie(best, bestDistance) = std::pair(icon, distance);
  }
  // Most pixels must agree for the match to count.
  return bestDistance * 10 < static_cast<long>(shown.size()) ? best : testing::BoxIcon::None;
}

// Which standard icon the message box shows, BoxIcon::None when none can be told.
testing::BoxIcon IconOf(const MessageBoxSeen& box) {
  // Icon handles of another process are not ours to compare or draw: what
  // the screen shows is compared with each standard icon drawn here. A box
  // that has only just appeared may not have painted its icon yet on a busy
  // machine, so the comparison is repeated, for a bounded time, until one
  // matches.
  HWND control = GetDlgItem(box.window, 0x0440);
  if (!control || !IsWindowVisible(control)) return testing::BoxIcon::None;
  testing::BoxIcon shown = testing::BoxIcon::None;
  const auto matched = [&] {
    RedrawWindow(box.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return (shown = MatchShownIcon(control)) != testing::BoxIcon::None;
  };
  testing::PollUntil(matched, std::chrono::seconds(10), std::chrono::milliseconds(100));
  return shown;
}

}  // namespace

std::string BinDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of('\\'));
}

std::string WindowsDirectory() {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, MAX_PATH);
  return path;
}

std::optional<std::span<const std::uint8_t>> ResourceBytes(HMODULE module, unsigned type, unsigned id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (!found) return std::nullopt;
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
  if (!data) return std::nullopt;
  return std::span(data, SizeofResource(module, found));
}

std::optional<std::string> ReadFile(const std::string& path) { return testing::FileBytes(path); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void RemoveFile(const std::string& path) {
  if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
}

std::optional<std::string> RegistryString(const char* key, const char* name) {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(value);
}

bool SetRegistryString(const char* key, const char* name, const std::string& value) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                         static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void DeleteRegistryValue(const char* key, const char* name) {
  RegDeleteKeyValueA(HKEY_CURRENT_USER, key, name);
}

RunningProgram::~RunningProgram() { Kill(); }

bool RunningProgram::Start(const std::string& exePath, const std::string& workingDirectory) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startError_ = 0;
  std::string commandLine = "\"" + exePath + "\"";
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &process_)) {
    startError_ = GetLastError();
    return false;
  }
  WaitForInputIdle(process_.hProcess, 30000);
  return true;
}

HWND RunningProgram::StartDialog(const std::string& exePath, const std::string& caption,
                                 const std::string& workingDirectory) {
  return Start(exePath, workingDirectory) ? WaitForWindow(caption, "#32770") : nullptr;
}

bool RunningProgram::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string RunningProgram::WhyNotRunning() const {
  if (!process_.hProcess) return "it did not start: CreateProcess failed with error " + std::to_string(startError_);
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code == STILL_ACTIVE ? "it is still running" : "it ended with exit code " + std::to_string(code);
}

HWND RunningProgram::WaitForWindow(const std::string& caption, const char* windowClass,
                                   std::chrono::milliseconds timeout, HWND exclude) {
  const auto wanted = [&](HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != process_.dwProcessId || window == exclude || !IsWindowVisible(window)) return false;
    // Without a caption, any message box: a dialog with the box's text control.
    if (caption.empty() ? !GetDlgItem(window, 0xFFFF) : caption != CaptionOf(window)) return false;
    char cls[256] = {};
    if (!windowClass) return true;
    return GetClassNameA(window, cls, sizeof cls) && lstrcmpiA(cls, windowClass) == 0;
  };
  HWND window = nullptr;
  testing::PollUntil([&] { return (window = FirstWindow(wanted)) || !Running(); }, timeout,
                     std::chrono::milliseconds(50));
  return window;
}

std::optional<MessageBoxSeen> RunningProgram::WaitForMessageBox(const std::string& caption,
                                                                std::chrono::milliseconds timeout, HWND exclude) {
  HWND box = WaitForWindow(caption, "#32770", timeout, exclude);
  if (!box) return std::nullopt;
  MessageBoxSeen seen;
  seen.window = box;
  seen.caption = WindowTextOf(box);
  // The message box's text control.
  seen.text = WindowTextOf(GetDlgItem(box, 0xFFFF));
  return seen;
}

std::vector<testing::BoxSeen> RunningProgram::AnswerBoxes(
    HWND dialog, std::size_t count, std::chrono::milliseconds wait,
    const std::function<int(std::size_t, const MessageBoxSeen&, testing::BoxSeen&)>& answer) {
  std::vector<testing::BoxSeen> seen;
  while (seen.size() < count) {
    const auto box = WaitForMessageBox("", wait, dialog);
    if (!box) break;
    seen.push_back({box->caption, box->text, IconOf(*box), {}, ""});
    for (int button : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
      if (GetDlgItem(box->window, button)) seen.back().buttons.push_back(button);
    PressButton(box->window, answer(seen.size() - 1, *box, seen.back()));
    WaitUntilClosed(box->window);
  }
  return seen;
}

void RunningProgram::PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::optional<DWORD> RunningProgram::WaitForExit(std::chrono::milliseconds timeout) {
  if (!process_.hProcess) return std::nullopt;
  if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void RunningProgram::Kill() {
  if (!process_.hProcess) return;
  if (Running()) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
  process_ = {};
}

LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result);
  return static_cast<LRESULT>(result);
}

std::string ControlText(HWND dialog, int id) { return WindowTextOf(GetDlgItem(dialog, id)); }

bool IsControlChecked(HWND dialog, int id) {
  return SendBounded(GetDlgItem(dialog, id), BM_GETCHECK) == BST_CHECKED;
}

bool IsControlEnabled(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && IsWindowEnabled(control);
}

std::filesystem::path ProgramGroupFolder(const std::string& group) {
  char programs[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
  return std::filesystem::path(programs) / group;
}

void CloseGroupWindow(const std::string& group) {
  FirstWindow([&](HWND window) {
    if (CaptionOf(window) == group) PostMessageA(window, WM_CLOSE, 0, 0);
    return false;
  });
}

void PressKey(HWND window, WORD virtualKey) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
  const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

std::string SaveScreenshot(HWND window, const std::string& name) {
  const std::string dir = ArtifactsDirectory();
  if (dir.empty()) return "";
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  // Let the program's thread finish painting before the screen is read.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
  GdiFlush();

  RECT rect{};
  GetWindowRect(window, &rect);
  const auto pixels = CaptureScreen(rect);
  if (pixels.empty()) return "";
  std::vector<std::uint8_t> rgb(pixels.size() * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgb[i * 3 + 0] = static_cast<std::uint8_t>(pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<std::uint8_t>(pixels[i]);
  }
  const std::string path = dir + "\\" + name + ".png";
  return qv::testing::WritePng(path, rect.right - rect.left, rect.bottom - rect.top, rgb) ? path : "";
}

bool WaitUntilClosed(HWND window, std::chrono::milliseconds timeout) {
  return testing::PollUntil([&] { return !IsWindow(window); }, timeout);
}

}  // namespace qv::wine
