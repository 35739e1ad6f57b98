// The Windows program group against the shell that Wine runs: what the
// installer's double models (a group made, an item made in it, a name the
// command syntax cannot carry refused before anything is sent).
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/win32_shell_program_group.h"

namespace qv::win32 {
namespace {

constexpr const char* kGroup = "QV27-518 Contract";

std::filesystem::path GroupFolder() {
  char programs[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
  return std::filesystem::path(programs) / kGroup;
}

// The shell shows a group it creates in a window of its own.
BOOL CALLBACK CloseGroupWindow(HWND window, LPARAM) {
  char caption[64] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (std::string(caption) == kGroup) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

TEST(Win32ShellProgramGroup, MakesTheGroupAndItsItemsAndRefusesWhatItCannotCarry) {
  std::error_code ignored;
  std::filesystem::remove_all(GroupFolder(), ignored);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);

  Win32ShellProgramGroup shell;
  ASSERT_TRUE(shell.Begin());
  EXPECT_EQ(shell.CreateGroup("Quote\"d"), GroupResult::Refused);
  EXPECT_EQ(shell.CreateGroup(kGroup), GroupResult::Done);
  EXPECT_EQ(shell.AddItem({"Editor", windows, "notepad.exe", GroupItemKind::Program}), GroupResult::Done);
  EXPECT_EQ(shell.AddItem({"Odd (1)", windows, "notepad.exe", GroupItemKind::Program}), GroupResult::Refused);
  shell.End();

  EXPECT_TRUE(std::filesystem::is_directory(GroupFolder()));
  EXPECT_TRUE(std::filesystem::exists(GroupFolder() / "Editor.lnk"));
  EXPECT_FALSE(std::filesystem::exists(GroupFolder() / "Odd (1).lnk"));
  EnumWindows(CloseGroupWindow, 0);
  std::filesystem::remove_all(GroupFolder(), ignored);
}

}  // namespace
}  // namespace qv::win32
