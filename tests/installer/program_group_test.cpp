// The program group: the group and items the shell receives, in their
// order, and what the installation does when the shell does not play along.
// The Windows shell's command text is checked with its code
// (tests/platform/shell_commands_test.cpp).
#include <gtest/gtest.h>

#include "framework/window_constants.h"
#include "tests/installer/hostile_media.h"
#include "tests/installer/installer_fixture.h"

namespace qv {
namespace {

using Item = testing::RecordingShell::Item;

class ProgramGroup : public InstallerFixture {
 protected:
  // A dialog whose information file lists these group lines, ready to run
  // CreateProgramGroup for the install path.
  CInstallDlg& Prepared(const std::vector<std::string>& items, const std::string& installPath) {
    // The install path comes from the field, as Setup takes it; a drive's
    // root loses its one trailing backslash there.
    Ready("[Program Group Info]\r\nGroupName=QV27-518 Tools\r\n" + hostile::Numbered("file", items),
          installPath == "C:" ? "C:\\" : installPath);
    EXPECT_EQ(dialog->PrepareInstallDir(), 1);
    shell.groups.clear();
    shell.items.clear();
    log.clear();
    statusLine.clear();
    return *dialog;
  }
};

TEST_F(ProgramGroup, TheGroupAndEachItemGoToTheShellInOrder) {
  struct Case {
    std::vector<std::string> lines;
    std::string installPath;
    std::vector<Item> items;
  };
  const Case cases[] = {
      {{"QV27-518.EXE, QV27-518 Setting Program", "readme.txt, Read Me, first", "SUB\\B.TXT, B"},
       "C:\\QV27-518",
       {{"QV27-518 Setting Program", "C:\\QV27-518", "QV27-518.EXE", GroupItemKind::Program},
        {"Read Me, first", "C:\\QV27-518", "readme.txt", GroupItemKind::TextFile},
        {"B", "C:\\QV27-518", "SUB\\B.TXT", GroupItemKind::Program}}},
      {{}, "C:\\QV27-518", {}},  // only the group
      // A drive's root is handed on without its backslash.
      {{"TOOL.EXE, Tool"}, "C:", {{"Tool", "C:", "TOOL.EXE", GroupItemKind::Program}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.installPath + " with " + std::to_string(c.items.size()) + " items");
    CInstallDlg& d = Prepared(c.lines, c.installPath);
    EXPECT_EQ(d.CreateProgramGroup(), 1);
    EXPECT_EQ(shell.groups, std::vector<std::string>{"QV27-518 Tools"});
    EXPECT_EQ(shell.items, c.items);
    std::vector<std::string> expected = {"status Creating program group", "shell begin",
                                         "shell group QV27-518 Tools"};
    for (const Item& item : c.items) expected.push_back("shell item " + item.caption);
    expected.insert(expected.end(), {"shell end", "status "});
    EXPECT_EQ(log, expected);
    ASSERT_FALSE(statusLine.empty());
    EXPECT_EQ(statusLine.back().text, "") << "cleared after the pause";
    EXPECT_GE(statusLine.back().at - statusLine.front().at, 1000u);
  }
}

// Without its own group, an item would land in whichever group the shell has
// open: a group name the shell refuses makes neither group nor items.
TEST_F(ProgramGroup, AGroupTheShellRefusesMakesNoItems) {
  shell.refusedGroups.insert("QV27-518 Tools");
  CInstallDlg& d = Prepared({"A.EXE, A"}, "C:\\QV27-518");
  EXPECT_EQ(d.CreateProgramGroup(), 1) << "the installation goes on";
  EXPECT_TRUE(shell.items.empty());
  EXPECT_EQ(shell.begins, shell.ends);
}

TEST_F(ProgramGroup, AShellThatDoesNotAnswerCostsNothingButItsItems) {
  shell.answers = false;
  testing::TestWindow& w = Ready("[Directory]\ndirs=1\ndir1=.\n[Program]\nfiles=0\n"
                                 "[Program Group Info]\nfiles=1\nfile1=A.EXE, A\n");
  w.Click(kIdOk);
  EXPECT_EQ(shell.groups.size() + shell.items.size(), 2u) << "every item is still tried";
  EXPECT_EQ(BoxTexts().back(), "System completes installation successfully.");
  EXPECT_TRUE(w.Ended());
  EXPECT_EQ(w.EndCode(), 1);
}

TEST_F(ProgramGroup, ALibraryThatCannotStartSendsNothingAndDoesNotPause) {
  shell.starts = false;
  CInstallDlg& d = Prepared({"A.EXE, A"}, "C:\\QV27-518");
  const std::uint32_t before = clock.PeekTickCount();
  EXPECT_EQ(d.CreateProgramGroup(), 0);
  EXPECT_TRUE(shell.groups.empty());
  EXPECT_TRUE(shell.items.empty());
  EXPECT_EQ(shell.ends, 0);
  EXPECT_LT(clock.PeekTickCount() - before, 1000u);
  ASSERT_FALSE(statusLine.empty());
  EXPECT_EQ(statusLine.back().text, "Creating program group") << "the status text stays";
}

}  // namespace
}  // namespace qv
