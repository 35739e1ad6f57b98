// The Windows shell's command text for a group and its items, character for
// character, and the texts its syntax cannot carry. The code is plain text
// work, so this runs natively as well as under Wine.
#include <gtest/gtest.h>

#include "platform/win32/shell_commands.h"

namespace qv::win32 {
namespace {

constexpr GroupItemKind kProgram = GroupItemKind::Program;
constexpr GroupItemKind kText = GroupItemKind::TextFile;

TEST(ShellCommands, AGroupAndItemsReadAsTheShellExpects) {
  EXPECT_EQ(CreateGroupCommand("QV27-518 Tools"), "[CreateGroup(\"QV27-518 Tools\")]");
  const std::string deep = "C:\\" + std::string(240, 'D');
  const struct {
    ProgramGroupItem item;
    const char* command;
  } cases[] = {
      {{"QV27-518 Setting Program", "C:\\QV27-518", "QV27-518.EXE", kProgram},
       "[AddItem(\"C:\\QV27-518\\QV27-518.EXE\",\"QV27-518 Setting Program\")]"},
      // The text file keeps the letter case the medium gives it.
      {{"Read Me, first", "C:\\QV27-518", "readme.txt", kText},
       "[AddItem(\"C:\\WINDOWS\\NOTEPAD.EXE C:\\QV27-518\\readme.txt\",\"Read Me, first\")]"},
      // A drive's root has no backslash of its own.
      {{"Tool", "C:", "TOOL.EXE", kProgram}, "[AddItem(\"C:\\TOOL.EXE\",\"Tool\")]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_EQ(AddItemCommand(c.item, "C:\\WINDOWS"), c.command);
  }
  // Long command lines are carried whole, never cut.
  EXPECT_EQ(AddItemCommand({"Read Me", deep, "README.TXT", kText}, "C:\\WINDOWS"),
            "[AddItem(\"C:\\WINDOWS\\NOTEPAD.EXE " + deep + "\\README.TXT\",\"Read Me\")]");
}

// The syntax has no escapes: a text holding a quote, a bracket, a
// parenthesis or a control character could end its command and start
// another one of the medium's choosing.
TEST(ShellCommands, WhatTheSyntaxCannotCarryMakesNoCommand) {
  const ProgramGroupItem refused[] = {
      {"A\")][DeleteGroup(\"StartUp", "C:\\QV27-518", "X.EXE", kProgram},
      {"Caption [1]", "C:\\QV27-518", "X.EXE", kProgram},
      {"Caption (1)", "C:\\QV27-518", "X.EXE", kProgram},
      {"Caption", "C:\\QV27-518", "X\"Y.EXE", kProgram},
      {"Caption", "C:\\QV27-518", "X].EXE", kProgram},
      {"Caption", "C:\\QV27-518", "X(.EXE", kProgram},
      {"Tab\there", "C:\\QV27-518", "X.EXE", kProgram},
      {"Del\x7F", "C:\\QV27-518", "X.EXE", kProgram},
      {"Caption", "C:\\QV27-518", "X\x01.EXE", kProgram},
      {"Caption", "C:\\QV\"][X", "X.EXE", kProgram},
      {"Caption", "C:\\QV27-518", "README.TXT", kText},  // a Windows directory that cannot be carried
  };
  for (const ProgramGroupItem& item : refused) {
    SCOPED_TRACE(std::string(item.caption) + " | " + std::string(item.installPath) + " | " + std::string(item.fileName));
    EXPECT_EQ(AddItemCommand(item, item.kind == kText ? "C:\\WIN(DOWS)" : "C:\\WINDOWS"), std::nullopt);
  }
  EXPECT_EQ(CreateGroupCommand("X\")][DeleteGroup(\"StartUp"), std::nullopt);
  EXPECT_EQ(CreateGroupCommand("Tab\tgroup"), std::nullopt);
  EXPECT_EQ(CreateGroupCommand("Tools, more"), "[CreateGroup(\"Tools, more\")]");
}

}  // namespace
}  // namespace qv::win32
