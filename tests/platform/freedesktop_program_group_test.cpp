// The linux program group: each group and item of a medium becomes menu
// files that the desktops' own validators accept, whatever bytes the names
// hold and however long they are; an item never starts a file outside the
// installation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/posix/freedesktop_program_group.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;
using posix::FreedesktopProgramGroup;

constexpr GroupItemKind kProgram = GroupItemKind::Program;
constexpr GroupItemKind kText = GroupItemKind::TextFile;

bool Installed(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) == 0; }

std::vector<fs::path> FilesUnder(const fs::path& folder) {
  std::vector<fs::path> found;
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
    if (entry.is_regular_file()) found.push_back(entry.path());
  return found;
}

// Every menu file passes the desktops' validators, where they are installed.
void ExpectValid(const fs::path& home) {
  static const bool desktop = Installed("desktop-file-validate"), xml = Installed("xmllint");
  for (const fs::path& file : FilesUnder(home)) {
    SCOPED_TRACE(file.string());
    EXPECT_LE(file.filename().string().size(), 255u);
    const std::string quoted = "'" + file.string() + "' >/dev/null 2>&1";
    if (file.extension() == ".menu" && xml) {
      EXPECT_EQ(std::system(("xmllint --noout " + quoted).c_str()), 0) << ReadFileBytes(file);
    }
    if ((file.extension() == ".desktop" || file.extension() == ".directory") && desktop) {
      EXPECT_EQ(std::system(("desktop-file-validate " + quoted).c_str()), 0) << ReadFileBytes(file);
    }
  }
}

TEST(FreedesktopProgramGroup, EachItemBecomesAMenuEntryTheDesktopsAccept) {
  const std::string longGroup = std::string(60, 'G') + std::string(40, '\xE4');  // 100 characters
  const struct {
    const char* what;
    std::string group;
    ProgramGroupItem item;
    GroupResult result;
    std::vector<std::string> lines;  // "~" stands for the home
  } cases[] = {
      {"a program, started from its folder", "QV27-518 Tools", {"Setting Program", "C:\\QV 27", "QV27-518", kProgram},
       GroupResult::Done,
       {"Name=Setting Program", "Exec=\"~/QV 27/QV27-518\"", "Path=~/QV 27", "Icon=application-x-executable",
        "Categories=Utility;X-QV27-518-qv27-518_20tools;"}},
      {"a text file, opened by the desktop's viewer", "T", {"Read Me", "C:\\QV27-518", "readme.txt", kText},
       GroupResult::Done, {"Exec=xdg-open \"~/QV27-518/readme.txt\"", "Icon=text-x-generic"}},
      {"parentheses in the path", "T", {"A (1)", "C:\\Program Files (x86)\\QV", "SUB\\A (1).EXE", kProgram},
       GroupResult::Done, {"Name=A (1)", "Exec=\"~/Program Files (x86)/QV/SUB/A (1).EXE\""}},
      {"a Linux install path", "T", {"A", "/opt/qv", "A", kProgram}, GroupResult::Done, {"Exec=\"/opt/qv/A\""}},
      {"characters the Exec quoting escapes", "T", {"Odd", "C:\\100%", "$A`\"\\B", kProgram}, GroupResult::Done,
       {"Exec=\"~/100%%/\\\\$A\\\\`\\\\\"/B\""}},
      {"Windows-1252 names", "Caf\xE9 \x80", {"\x93Q\x94 \x81 \xFF", "C:\\Q", "A", kProgram}, GroupResult::Done,
       {"Name=\xE2\x80\x9CQ\xE2\x80\x9D \xEF\xBF\xBD \xC3\xBF", "Categories=Utility;X-QV27-518-caf_e9_20_80;"}},
      {"control characters in a name", "T", {" Tab\there\n", "C:\\Q", "A", kProgram}, GroupResult::Done,
       {"Name=\\sTab\xEF\xBF\xBDhere\xEF\xBF\xBD"}},
      {"a 100-character group", longGroup, {"Item", "C:\\Q", "A", kProgram}, GroupResult::Done, {"Name=Item"}},
      {"a file above the installation", "T", {"True", "C:\\Q", "..\\..\\..\\bin\\true", kProgram},
       GroupResult::Refused, {}},
      {"a file from the root", "T", {"True", "C:\\Q", "\\bin\\true", kProgram}, GroupResult::Refused, {}},
      {"a file on a drive of its own", "T", {"True", "C:\\Q", "C:true", kProgram}, GroupResult::Refused, {}},
      {"an install path on another drive", "T", {"A", "D:\\Q", "A", kProgram}, GroupResult::Refused, {}},
      {"a path no menu file can hold", "T", {"A", "C:\\B\xFCro", "A", kProgram}, GroupResult::Refused, {}},
      {"no file at all", "T", {"A", "C:\\Q", ".\\", kProgram}, GroupResult::Refused, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir home;
    FreedesktopProgramGroup group(posix::WindowsPathMap(home.path()), home / "cfg", home / "data");
    ASSERT_TRUE(group.Begin());
    ASSERT_EQ(group.CreateGroup(c.group), GroupResult::Done);
    EXPECT_EQ(group.AddItem(c.item), c.result);
    const fs::path file = group.DesktopFile(c.group, c.item.caption);
    EXPECT_EQ(fs::exists(file), c.result == GroupResult::Done);
    const std::string entry = ReadFileBytes(file);
    for (std::string line : c.lines) {
      for (std::size_t at; (at = line.find('~')) != std::string::npos;) line.replace(at, 1, home.path().string());
      EXPECT_NE(entry.find("\n" + line + "\n"), std::string::npos) << line << " in\n" << entry;
    }
    EXPECT_TRUE(fs::exists(group.MenuFile(c.group)));
    ExpectValid(home.path());
  }
}

TEST(FreedesktopProgramGroup, AProgramGetsTheIconsShippedBesideIt) {
  TempDir home;
  fs::create_directories(home / "QV");
  WriteFileBytes(home / "QV/QV27-518", "program");
  WriteFileBytes(home / "QV/QV27-518-16.png", "small");
  WriteFileBytes(home / "QV/QV27-518-48.png", "large");
  FreedesktopProgramGroup group(posix::WindowsPathMap(home.path()), home / "cfg", home / "data");
  ASSERT_TRUE(group.Begin());
  ASSERT_EQ(group.CreateGroup("QV27-518"), GroupResult::Done);
  ASSERT_EQ(group.AddItem({"Setting Program", "C:\\QV", "QV27-518", kProgram}), GroupResult::Done);
  const std::string icon = FreedesktopProgramGroup::IconName("QV27-518", "Setting Program");
  EXPECT_NE(ReadFileBytes(group.DesktopFile("QV27-518", "Setting Program")).find("\nIcon=" + icon + "\n"),
            std::string::npos);
  EXPECT_EQ(ReadFileBytes(group.IconFile("QV27-518", "Setting Program", 16)), "small");
  EXPECT_EQ(ReadFileBytes(group.IconFile("QV27-518", "Setting Program", 48)), "large");
  EXPECT_FALSE(fs::exists(group.IconFile("QV27-518", "Setting Program", 32)));
  ExpectValid(home.path());
}

TEST(FreedesktopProgramGroup, ASecondInstallationReplacesItemsAndKeepsOneGroup) {
  TempDir home;
  FreedesktopProgramGroup group(posix::WindowsPathMap(home.path()), home / "cfg", home / "data");
  for (const char* program : {"OLD.EXE", "QV27-518"}) {
    ASSERT_TRUE(group.Begin());
    EXPECT_EQ(group.CreateGroup(program[0] == 'O' ? "QV27-518 Tools" : "qv27-518 TOOLS"), GroupResult::Done);
    EXPECT_EQ(group.AddItem({"Setting Program", "C:\\QV", program, kProgram}), GroupResult::Done);
    EXPECT_EQ(group.AddItem({"Read Me", "C:\\QV", "README.TXT", kText}), GroupResult::Done);
    group.End();
  }
  EXPECT_EQ(FilesUnder(home / "data").size(), 3u);
  EXPECT_EQ(FilesUnder(home / "cfg").size(), 1u);
  const std::string program = ReadFileBytes(group.DesktopFile("QV27-518 Tools", "Setting Program"));
  EXPECT_EQ(program.find("OLD.EXE"), std::string::npos);
  EXPECT_NE(program.find("QV27-518\"\n"), std::string::npos);
}

TEST(FreedesktopProgramGroup, RefusesWhatItCannotPlace) {
  TempDir home;
  FreedesktopProgramGroup group(posix::WindowsPathMap(home.path()), home / "cfg", home / "data");
  ASSERT_TRUE(group.Begin());
  EXPECT_EQ(group.AddItem({"Before any group", "C:\\Q", "A", kProgram}), GroupResult::Refused);
  EXPECT_EQ(group.CreateGroup(""), GroupResult::Refused);
  EXPECT_TRUE(FilesUnder(home.path()).empty());
  EXPECT_FALSE(FreedesktopProgramGroup(posix::WindowsPathMap(""), "", "").Begin());
}

}  // namespace
}  // namespace qv::testing
