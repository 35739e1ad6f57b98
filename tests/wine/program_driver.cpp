#include "tests/wine/program_driver.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

#include "tests/support/png_writer.h"

namespace qv::wine {
namespace {

std::string WindowTextOf(HWND window) {
  // WM_GETTEXT reaches the owning process; GetWindowText would not for edits.
  char buffer[4096] = {};
  SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

struct Search {
  DWORD processId;
  std::string caption;
  const char* windowClass;
  HWND exclude;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId || window == search->exclude || !IsWindowVisible(window)) return TRUE;
  char caption[512] = {};
  GetWindowTextA(window, caption, sizeof caption);
  // Without a caption, any message box: a dialog with the box's text control.
  if (search->caption.empty() ? !GetDlgItem(window, 0xFFFF) : search->caption != caption) return TRUE;
  if (search->windowClass) {
    char cls[256] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, search->windowClass) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND FindOnce(DWORD pid, const std::string& caption, const char* windowClass, HWND exclude) {
  Search search{pid, caption, windowClass, exclude, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
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

std::string ArtifactsDirectory() {
  char path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("QV_ARTIFACTS", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  CreateDirectoryA(path, nullptr);
  return path;
}

std::optional<std::span<const std::uint8_t>> ResourceBytes(HMODULE module, unsigned type, unsigned id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (!found) return std::nullopt;
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
  if (!data) return std::nullopt;
  return std::span(data, SizeofResource(module, found));
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

std::optional<std::string> WaitForFile(const std::string& path, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (auto bytes = ReadFile(path)) return bytes;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::optional<std::string> RegistryString(const char* key, const char* name) {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(value);
}

bool SetRegistryString(const char* key, const char* name, const std::string& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const bool set = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return set;
}

void DeleteRegistryValue(const char* key, const char* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

RunningProgram::~RunningProgram() { Kill(); }

bool RunningProgram::Start(const std::string& exePath, const std::string& workingDirectory) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + exePath + "\"";
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &process_))
    return false;
  WaitForInputIdle(process_.hProcess, 30000);
  return true;
}

bool RunningProgram::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND RunningProgram::WaitForWindow(const std::string& caption, const char* windowClass,
                                   std::chrono::milliseconds timeout, HWND exclude) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    if (HWND window = FindOnce(process_.dwProcessId, caption, windowClass, exclude)) return window;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < deadline && Running());
  return nullptr;
}

std::optional<MessageBoxSeen> RunningProgram::WaitForMessageBox(const std::string& caption,
                                                                std::chrono::milliseconds timeout, HWND exclude) {
  HWND box = WaitForWindow(caption, "#32770", timeout, exclude);
  if (!box) return std::nullopt;
  MessageBoxSeen seen;
  seen.window = box;
  seen.caption = WindowTextOf(box);
  // The message box's text and icon controls.
  seen.text = WindowTextOf(GetDlgItem(box, 0xFFFF));
  seen.icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0));
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

std::string ControlText(HWND dialog, int id) { return WindowTextOf(GetDlgItem(dialog, id)); }

bool IsControlChecked(HWND dialog, int id) {
  return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsControlEnabled(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && IsWindowEnabled(control);
}

namespace {

// A 32-bit picture in memory, top row first, that GDI can draw into.
class MemoryPicture {
 public:
  MemoryPicture(int width, int height) : width_(width), height_(height) {
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(memory_, bitmap_);
  }
  ~MemoryPicture() {
    SelectObject(memory_, old_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
  }
  MemoryPicture(const MemoryPicture&) = delete;
  MemoryPicture& operator=(const MemoryPicture&) = delete;

  HDC Screen() const { return screen_; }
  HDC Dc() const { return memory_; }
  std::uint32_t* Bits() const { return bits_; }
  std::vector<std::uint32_t> Pixels() const {
    GdiFlush();
    return std::vector<std::uint32_t>(bits_, bits_ + static_cast<std::size_t>(width_) * height_);
  }

 private:
  int width_, height_;
  HDC screen_ = nullptr;
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// The window's area of the screen as 32-bit pixels, top row first.
std::vector<std::uint32_t> CaptureScreen(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};
  MemoryPicture picture(width, height);
  BitBlt(picture.Dc(), 0, 0, width, height, picture.Screen(), rect.left, rect.top, SRCCOPY);
  return picture.Pixels();
}

// The icon drawn on a plain background, as the icon control would show it.
std::vector<std::uint32_t> RenderIcon(HICON icon, int width, int height, std::uint32_t background) {
  MemoryPicture picture(width, height);
  std::fill(picture.Bits(), picture.Bits() + static_cast<std::size_t>(width) * height, background);
  DrawIconEx(picture.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  return picture.Pixels();
}

}  // namespace

// The standard icon that the control shows on the screen, or nullptr when
// none matches most of its pixels.
static LPCSTR MatchShownIcon(HWND control) {
  static const LPCSTR kCandidates[] = {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
  RECT rect{};
  GetWindowRect(control, &rect);
  const int width = std::min<int>(rect.right - rect.left, GetSystemMetrics(SM_CXICON));
  const int height = std::min<int>(rect.bottom - rect.top, GetSystemMetrics(SM_CYICON));
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  const auto shown = CaptureScreen(rect);
  if (shown.empty()) return nullptr;
  LPCSTR best = nullptr;
  long bestDistance = 0;
  for (LPCSTR id : kCandidates) {
    const auto drawn = RenderIcon(LoadIconA(nullptr, id), width, height, shown[0]);
    long distance = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) distance += (shown[i] & 0xFFFFFF) != (drawn[i] & 0xFFFFFF);
    if (!best || distance < bestDistance) {
      best = id;
      bestDistance = distance;
    }
  }
  // Most pixels must agree for the match to count.
  return bestDistance * 10 < static_cast<long>(shown.size()) ? best : nullptr;
}

LPCSTR IdentifyMessageBoxIcon(const MessageBoxSeen& box) {
  static const LPCSTR kCandidates[] = {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
  for (LPCSTR id : kCandidates)
    if (box.icon && box.icon == LoadIconA(nullptr, id)) return id;
  // Icon handles of another process need not be ours: compare what the
  // screen shows with each standard icon drawn here. A box that has only
  // just appeared may not have painted its icon yet on a busy machine, so
  // the comparison is repeated, for a bounded time, until one matches.
  HWND control = GetDlgItem(box.window, 0x0440);
  if (!control || !IsWindowVisible(control)) return nullptr;
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (attempt > 0) Sleep(100);
    RedrawWindow(box.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (LPCSTR id = MatchShownIcon(control)) return id;
  }
  return nullptr;
}

testing::BoxIcon IconOf(const MessageBoxSeen& box) {
  const LPCSTR icon = IdentifyMessageBoxIcon(box);
  if (icon == IDI_ASTERISK) return testing::BoxIcon::Information;
  if (icon == IDI_EXCLAMATION) return testing::BoxIcon::Warning;
  if (icon == IDI_QUESTION) return testing::BoxIcon::Question;
  if (icon == IDI_HAND) return testing::BoxIcon::Error;
  return testing::BoxIcon::None;
}

std::filesystem::path ProgramGroupFolder(const std::string& group) {
  char programs[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
  return std::filesystem::path(programs) / group;
}

namespace {
BOOL CALLBACK CloseWindowNamed(HWND window, LPARAM group) {
  char caption[256] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (*reinterpret_cast<const std::string*>(group) == caption) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}
}  // namespace

void CloseGroupWindow(const std::string& group) {
  EnumWindows(CloseWindowNamed, reinterpret_cast<LPARAM>(&group));
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
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (IsWindow(window)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace qv::wine
