// Drives a real program of this project under Wine from a test program in
// the same prefix, as a user would: starts it, finds its windows, reads the
// real controls, answers message boxes, takes screenshots, and ends it.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tests/support/program_driver.h"

namespace qv::wine {

// Paths of this build: the programs lie beside the test programs.
std::string BinDirectory();
std::string WindowsDirectory();

// The bytes of a resource of a module loaded as data; std::nullopt when it
// has none of that type and id.
std::optional<std::span<const std::uint8_t>> ResourceBytes(HMODULE module, unsigned type, unsigned id);

// A file's bytes; std::nullopt when it does not exist.
std::optional<std::string> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// A file, or an empty folder in its place.
void RemoveFile(const std::string& path);

// Values of the current user's registry: a string, std::nullopt when the
// value is missing; writing makes the key when needed (false when it cannot).
std::optional<std::string> RegistryString(const char* key, const char* name);
bool SetRegistryString(const char* key, const char* name, const std::string& value);
void DeleteRegistryValue(const char* key, const char* name);

struct MessageBoxSeen {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

class RunningProgram {
 public:
  RunningProgram() = default;
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool Start(const std::string& exePath, const std::string& workingDirectory = "");
  // Starts the program and waits for its dialog of this caption; null when
  // either does not come.
  HWND StartDialog(const std::string& exePath, const std::string& caption,
                   const std::string& workingDirectory = "");
  bool Running() const;
  // Why the program is not running, for a failure message: the error that
  // kept it from starting, or the code it ended with.
  std::string WhyNotRunning() const;

  // A top-level window of the program with this caption (and window class,
  // when given), waited for up to the timeout; `exclude` is never the one
  // (a dialog whose caption a message box repeats).
  HWND WaitForWindow(const std::string& caption, const char* windowClass = nullptr,
                     std::chrono::milliseconds timeout = std::chrono::seconds(30), HWND exclude = nullptr);
  // A message box of the program with this caption (any message box for
  // ""), waited for.
  std::optional<MessageBoxSeen> WaitForMessageBox(const std::string& caption,
                                                  std::chrono::milliseconds timeout = std::chrono::seconds(30),
                                                  HWND exclude = nullptr);
  // Waits for `count` message boxes in turn, none of them `dialog`, and
  // presses on each the button that `answer` gives for it, once it has
  // seen what the box showed, then waits until it is gone; a box that does
  // not come ends the list. What each box showed.
  std::vector<testing::BoxSeen> AnswerBoxes(
      HWND dialog, std::size_t count, std::chrono::milliseconds wait,
      const std::function<int(std::size_t, const MessageBoxSeen&, testing::BoxSeen&)>& answer);
  // Presses a button of a dialog or message box, as its click tells the dialog.
  static void PressButton(HWND dialog, int id);
  // Waits for the program to end; its exit code, or std::nullopt on timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));
  void Kill();

 private:
  PROCESS_INFORMATION process_{};
  DWORD startError_ = 0;
};

// Sends a message to a window of the program and waits at most 10 s for its
// answer (0 when none came), so that a hung program fails the test instead
// of holding it.
LRESULT SendBounded(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// A key pressed in the window, as the keyboard would deliver it to the
// control that has the focus.
void PressKey(HWND window, WORD virtualKey);

// The state of a real control of another process.
std::string ControlText(HWND dialog, int id);
bool IsControlChecked(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);

// Brings the window's painting up to date and saves what the screen shows
// of it as <artifacts>/<name>.png; returns the path, or "" without artifacts.
std::string SaveScreenshot(HWND window, const std::string& name);

// The folder of the user's program group of this name in the shell, and
// closing the window in which the shell shows a group it made, so that it
// covers no later test's dialogs.
std::filesystem::path ProgramGroupFolder(const std::string& group);
void CloseGroupWindow(const std::string& group);

// Waits until the window is gone (a dialog or message box that was answered).
bool WaitUntilClosed(HWND window, std::chrono::milliseconds timeout = std::chrono::seconds(5));

}  // namespace qv::wine
