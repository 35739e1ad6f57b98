// The program group: the commands the shell receives, in their order, and
// what the installation does when the shell does not play along.
#include <gtest/gtest.h>

#include "framework/window_constants.h"
#include "tests/installer/installer_fixture.h"

namespace qv {
namespace {

class ProgramGroup : public InstallerFixture {
 protected:
  // A dialog whose information file lists these group lines, ready to run
  // CreateProgramGroup for the install path.
  CInstallDlg& Prepared(const std::vector<std::string>& items, std::string_view installPath) {
    std::string inf = "[Program Group Info]\nGroupName=QV27-518 Tools\nfiles=" + std::to_string(items.size()) + "\n";
    for (std::size_t i = 0; i < items.size(); ++i) inf += "file" + std::to_string(i + 1) + "=" + items[i] + "\n";
    WriteInf(inf);
    testing::TestWindow& w = StartDialog();
    // The install path comes from the field, as Setup takes it; a drive's
    // root loses its one trailing backslash there.
    files.AddDirectory("C:\\");
    w.Type(kPath, installPath == "C:" ? std::string("C:\\") : std::string(installPath));
    EXPECT_EQ(dialog->PrepareInstallDir(), 1);
    EXPECT_EQ(PrepareInstallDir(files, installPath == "C:" ? std::string("C:\\") : std::string(installPath)), installPath);
    shell.commands.clear();
    log.clear();
    statusLine.clear();
    return *dialog;
  }
};

TEST_F(ProgramGroup, TheGroupAndEachItemGoToTheShellInOrder) {
  CInstallDlg& d = Prepared({"QV27-518.EXE, QV27-518 Setting Program", "readme.txt, Read Me, first"}, "C:\\QV27-518");
  EXPECT_EQ(d.CreateProgramGroup(), 1);
  EXPECT_EQ(shell.commands, (std::vector<std::string>{
                                "[CreateGroup(\"QV27-518 Tools\")]",
                                "[AddItem(\"C:\\QV27-518\\QV27-518.EXE\",\"QV27-518 Setting Program\")]",
                                "[AddItem(\"C:\\WINDOWS\\NOTEPAD.EXE C:\\QV27-518\\readme.txt\",\"Read Me, first\")]",
                            }));
  EXPECT_EQ(shell.begins, 1);
  EXPECT_EQ(shell.ends, 1);
  ASSERT_FALSE(statusLine.empty());
  EXPECT_EQ(statusLine.front().text, "Creating program group");
  EXPECT_EQ(statusLine.back().text, "") << "cleared after the pause";
  EXPECT_GE(statusLine.back().at - statusLine.front().at, 1000u);
}

TEST_F(ProgramGroup, WithoutItemsOnlyTheGroupIsCreated) {
  CInstallDlg& d = Prepared({}, "C:\\QV27-518");
  EXPECT_EQ(d.CreateProgramGroup(), 1);
  EXPECT_EQ(shell.commands, (std::vector<std::string>{"[CreateGroup(\"QV27-518 Tools\")]"}));
}

TEST_F(ProgramGroup, ADriveRootGetsOneBackslash) {
  CInstallDlg& d = Prepared({"TOOL.EXE, Tool"}, "C:");
  d.CreateProgramGroup();
  ASSERT_EQ(shell.commands.size(), 2u);
  EXPECT_EQ(shell.commands[1], "[AddItem(\"C:\\TOOL.EXE\",\"Tool\")]");
}

TEST_F(ProgramGroup, LongCommandLinesAreCarriedWhole) {
  const std::string deep = "C:\\" + std::string(240, 'D');
  CInstallDlg& d = Prepared({"README.TXT, Read Me"}, deep);
  d.CreateProgramGroup();
  ASSERT_EQ(shell.commands.size(), 2u);
  EXPECT_EQ(shell.commands[1], "[AddItem(\"C:\\WINDOWS\\NOTEPAD.EXE " + deep + "\\README.TXT\",\"Read Me\")]");
}

// The command syntax has no escapes: a name or command line holding a quote,
// a bracket, a parenthesis or a control character could end its command and
// start another one of the medium's choosing. Such an item is skipped and the
// rest of the group is made; commas inside the quotes are carried.
TEST_F(ProgramGroup, AnItemTheCommandsCannotCarryIsSkipped) {
  const char* const refused[] = {
      "X.EXE, A\")][DeleteGroup(\"StartUp", "X.EXE, Caption [1]", "X.EXE, Caption (1)",
      "X\"Y.EXE, Caption",                     "X].EXE, Caption",    "X(.EXE, Caption",
      "X.EXE, Tab\there",                       "X.EXE, Del\x7F",     "X\x01.EXE, Caption",
  };
  for (const char* line : refused) {
    SCOPED_TRACE(line);
    CInstallDlg& d = Prepared({"A.EXE, First", line, "B.EXE, Last, really"}, "C:\\QV27-518");
    EXPECT_EQ(d.CreateProgramGroup(), 1);
    EXPECT_EQ(shell.commands, (std::vector<std::string>{
                                  "[CreateGroup(\"QV27-518 Tools\")]",
                                  "[AddItem(\"C:\\QV27-518\\A.EXE\",\"First\")]",
                                  "[AddItem(\"C:\\QV27-518\\B.EXE\",\"Last, really\")]",
                              }));
  }
  // The install path is part of every command line.
  CInstallDlg& d = Prepared({"A.EXE, First"}, "C:\\QV\"][X");
  d.CreateProgramGroup();
  EXPECT_EQ(shell.commands, (std::vector<std::string>{"[CreateGroup(\"QV27-518 Tools\")]"}));
}

// Without its own group, an item would land in whichever group the shell has
// open: a group name that cannot be carried makes neither group nor items.
TEST_F(ProgramGroup, AGroupNameTheCommandsCannotCarryMakesNothing) {
  WriteInf("[Program Group Info]\nGroupName=X\")][DeleteGroup(\"StartUp\nfiles=1\nfile1=A.EXE, A\n");
  StartDialog().Type(kPath, "C:\\QV27-518");
  ASSERT_EQ(dialog->PrepareInstallDir(), 1);
  shell.commands.clear();
  EXPECT_EQ(dialog->CreateProgramGroup(), 1) << "the installation goes on";
  EXPECT_TRUE(shell.commands.empty());
  EXPECT_EQ(shell.begins, shell.ends);
}

TEST_F(ProgramGroup, AShellThatDoesNotAnswerCostsNothingButItsItems) {
  shell.answers = false;
  WriteInf("[Directory]\ndirs=1\ndir1=.\n[Program]\nfiles=0\n[Program Group Info]\nfiles=1\nfile1=A.EXE, A\n");
  testing::TestWindow& w = StartDialog();
  files.AddDirectory("C:\\");
  w.Type(kPath, "C:\\QV27-518");
  w.Click(kIdOk);
  EXPECT_EQ(shell.commands.size(), 2u) << "every command is still tried";
  EXPECT_EQ(BoxTexts().back(), "System completes installation successfully.");
  EXPECT_TRUE(w.Ended());
  EXPECT_EQ(w.EndCode(), 1);
}

TEST_F(ProgramGroup, ALibraryThatCannotStartSendsNothingAndDoesNotPause) {
  shell.starts = false;
  CInstallDlg& d = Prepared({"A.EXE, A"}, "C:\\QV27-518");
  const std::uint32_t before = clock.PeekTickCount();
  EXPECT_EQ(d.CreateProgramGroup(), 0);
  EXPECT_TRUE(shell.commands.empty());
  EXPECT_EQ(shell.ends, 0);
  EXPECT_LT(clock.PeekTickCount() - before, 1000u);
  ASSERT_FALSE(statusLine.empty());
  EXPECT_EQ(statusLine.back().text, "Creating program group") << "the status text stays";
}

}  // namespace
}  // namespace qv
