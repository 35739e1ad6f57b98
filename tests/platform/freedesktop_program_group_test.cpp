// The linux program group: the installer's two shell commands become menu
// files that the desktop's own validator accepts; a second installation
// reuses the group and replaces its items.
#include <gtest/gtest.h>

#include <cstdlib>

#include "installer/shell_commands.h"
#include "platform/posix/freedesktop_program_group.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

class FreedesktopProgramGroupTest : public ::testing::Test {
 protected:
  void Install(std::string_view program) {
    ASSERT_TRUE(group_.Begin());
    EXPECT_TRUE(group_.Execute(CreateGroupCommand("QV27-518 Tools").value()));
    const std::string windows = (home_ / "config").string();
    EXPECT_TRUE(group_.Execute(AddItemCommand(ItemCommandLine("C:\\QV 27", program, windows), "Setting Program").value()));
    EXPECT_TRUE(group_.Execute(AddItemCommand(ItemCommandLine("C:\\QV 27", "readme.txt", windows), "Read Me").value()));
    group_.End();
  }
  std::vector<fs::path> FilesUnder(const fs::path& folder) const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.is_regular_file()) found.push_back(entry.path());
    return found;
  }

  TempDir home_;
  posix::FreedesktopProgramGroup group_{posix::WindowsPathMap(home_.path()), home_ / "cfg", home_ / "data"};
};

TEST_F(FreedesktopProgramGroupTest, ItemsStartTheProgramAndOpenTheGuide) {
  Install("QV27-518");
  const std::string program = ReadFileBytes(group_.DesktopFile("QV27-518 Tools", "Setting Program"));
  EXPECT_NE(program.find("Name=Setting Program\n"), std::string::npos);
  EXPECT_NE(program.find("Exec=\"" + (home_ / "QV 27/QV27-518").string() + "\"\n"), std::string::npos) << program;
  EXPECT_NE(program.find("Path=" + (home_ / "QV 27").string() + "\n"), std::string::npos);
  const std::string guide = ReadFileBytes(group_.DesktopFile("QV27-518 Tools", "Read Me"));
  EXPECT_NE(guide.find("Exec=xdg-open \"" + (home_ / "QV 27/readme.txt").string() + "\"\n"), std::string::npos)
      << guide;
  const std::string menu = ReadFileBytes(group_.MenuFile("QV27-518 Tools"));
  EXPECT_NE(menu.find("<Name>QV27-518 Tools</Name>"), std::string::npos);
  EXPECT_NE(menu.find("<Directory>" + group_.DirectoryFile("QV27-518 Tools").filename().string()), std::string::npos);
  EXPECT_NE(menu.find("<Category>X-QV27-518-qv27-518_20tools</Category>"), std::string::npos);
  EXPECT_NE(program.find("Categories=X-QV27-518-qv27-518_20tools;"), std::string::npos);
}

TEST_F(FreedesktopProgramGroupTest, EveryFilePassesDesktopFileValidate) {
  if (std::system("command -v desktop-file-validate >/dev/null") != 0) GTEST_SKIP() << "desktop-file-utils missing";
  Install("QV27-518");
  int validated = 0;
  for (const fs::path& file : FilesUnder(home_ / "data")) {
    SCOPED_TRACE(file.string());
    EXPECT_EQ(std::system(("desktop-file-validate '" + file.string() + "'").c_str()), 0);
    ++validated;
  }
  EXPECT_EQ(validated, 3);
}

TEST_F(FreedesktopProgramGroupTest, SecondInstallationReplacesItemsAndKeepsOneGroup) {
  Install("OLD.EXE");
  Install("QV27-518");
  EXPECT_EQ(FilesUnder(home_ / "data").size(), 3u);
  EXPECT_EQ(FilesUnder(home_ / "cfg").size(), 1u);
  const std::string program = ReadFileBytes(group_.DesktopFile("qv27-518 TOOLS", "Setting Program"));
  EXPECT_EQ(program.find("OLD.EXE"), std::string::npos);
  EXPECT_NE(program.find("QV27-518\"\n"), std::string::npos);
}

TEST_F(FreedesktopProgramGroupTest, RefusesWhatItCannotPlace) {
  ASSERT_TRUE(group_.Begin());
  EXPECT_FALSE(group_.Execute(AddItemCommand("C:\\A", "Before any group").value()));
  EXPECT_FALSE(group_.Execute("[ShowGroup(\"G\",1)]"));
  EXPECT_FALSE(group_.Execute("[CreateGroup(\"G\")"));
  EXPECT_TRUE(group_.Execute("[createGROUP(\"G\")]"));
  EXPECT_FALSE(group_.Execute(AddItemCommand("D:\\A.EXE", "Other drive").value()));
  // The installer no longer sends a quote inside an argument; the group
  // still reads such a command as the shell would.
  EXPECT_TRUE(group_.Execute("[AddItem(\"C:\\100%\\$A\"\",\"Odd\")]"));
  const std::string odd = ReadFileBytes(group_.DesktopFile("G", "Odd"));
  EXPECT_NE(odd.find("Exec=\"" + home_.path().string() + "/100%%/\\\\$A\\\\\"\"\n"), std::string::npos) << odd;
  EXPECT_FALSE(posix::FreedesktopProgramGroup(posix::WindowsPathMap(""), "", "").Begin());
}

}  // namespace
}  // namespace qv::testing
