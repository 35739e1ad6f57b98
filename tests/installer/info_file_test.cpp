// Reading the installation information file: the line grammars, the counts
// and their limits, defaults and over-long values.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

#include "tests/installer/installer_fixture.h"

namespace qv {
namespace {

// A file line's fields: disk, source and its directory, destination and its
// directory, the three flags.
using Fields = std::tuple<int, std::string, int, std::string, int, int, int, int>;

Fields Of(const FileEntry& e) {
  return {e.diskNumber,   std::string(e.sourceName.view()), e.sourceDirIndex,
          std::string(e.destName.view()), e.destDirIndex, e.flag1, e.flag2, e.flag3};
}

TEST(FileLines, ParseIntoTheirFields) {
  struct Case {
    std::string line;
    int result;
    Fields expected;
  };
  const std::string longName(60, 'N'), cut(51, 'N');
  constexpr int kMax = std::numeric_limits<std::int32_t>::max();
  const Case cases[] = {
      {"1:A.EX_, 1, A.EXE, 2, Y, n, yes", 1, {1, "A.EX_", 1, "A.EXE", 2, 1, 0, 1}},
      // Leading spaces go, trailing ones stay.
      {"1:  A.EX_,1,A.EXE,1,N,N,N", 1, {1, "A.EX_", 1, "A.EXE", 1, 0, 0, 0}},
      {"1:A.EXE ,1,A.EXE,1,N,N,N", 1, {1, "A.EXE ", 1, "A.EXE", 1, 0, 0, 0}},
      // Stored up to the last separator found; without a colon nothing.
      {"1:A.EXE, 1, A.EXE", 0, {1, "A.EXE", 1, "", 0, 0, 0, 0}},
      {"A.EXE, 1, A.EXE, 1, Y, Y, Y", 0, {0, "", 0, "", 0, 0, 0, 0}},
      {"2:B.DL_,  3,B.DLL,  4,y,Yes,1", 1, {2, "B.DL_", 3, "B.DLL", 4, 1, 1, 0}},
      {" 7 :X,-2,Y,99999999999,,,", 1, {7, "X", -2, "Y", kMax, 0, 0, 0}},
      {"1:\tA,1,B,1,N,N,N", 1, {1, "\tA", 1, "B", 1, 0, 0, 0}},  // only spaces are skipped
      {"1:" + longName + ",1," + longName + ",2,Y,Y,Y", 1, {1, cut, 1, cut, 2, 1, 1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    FileEntry entry;
    EXPECT_EQ(ParseFileEntry(c.line, entry), c.result);
    EXPECT_EQ(Of(entry), c.expected);
  }
}

TEST(GroupLines, ParseIntoProgramAndDescription) {
  struct Case {
    std::string line;
    int result;
    std::string fileName, description;
  };
  const Case cases[] = {
      {"README.TXT, Read me first, please", 1, "README.TXT", "Read me first, please"},
      {"README.TXT , Read me", 1, "README.TXT ", "Read me"},
      {"  TOOL.EXE,   Tool", 1, "TOOL.EXE", "Tool"},
      {"NOCOMMA", 0, "", ""},
      {std::string(140, 'P') + "," + std::string(60, 'D'), 1, std::string(127, 'P'), std::string(49, 'D')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    GroupItem item;
    EXPECT_EQ(ParseGroupItem(c.line, item), c.result);
    EXPECT_EQ(item.fileName.view(), c.fileName);
    EXPECT_EQ(item.description.view(), c.description);
  }
}

class InfoFileReading : public InstallerFixture {
 protected:
  void Read(std::string_view text) {
    WriteInf(text);
    info = ReadInfoFile(profile, kInfPath);
  }
  qv::InfoFile info;
};

TEST_F(InfoFileReading, CountsAreLow16BitsOfTheirDecimalValue) {
  struct Case {
    const char* value;  // nullptr: no "files" entry
    std::uint16_t count;
  };
  const Case cases[] = {
      {nullptr, 0}, {"0", 0}, {"abc", 0}, {"65537", 1}, {"  3xyz", 3},
      {"0000000012", 1},  // read into 10 bytes: "000000001"
      {"-1", 50},         // 65535, kept to what the list holds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "(absent)");
    std::string text = "[Program]\r\nfile1=1:A.EX_,1,A.EXE,1,N,N,N\r\n";
    if (c.value) text += std::string("files=") + c.value + "\r\n";
    Read(text);
    EXPECT_EQ(info.files.size(), std::size_t{c.count});
    if (c.count > 0) {
      EXPECT_EQ(info.files.at(0).destName.view(), "A.EXE");
    }
    if (c.count > 1) {
      EXPECT_EQ(info.files.at(1).destName.view(), "") << "a missing line stores nothing";
    }
  }
}

TEST_F(InfoFileReading, OnlyWhatTheListsHoldIsReadAndCounted) {
  std::string labels = "[Label]\r\ndisks=9\r\n", dirs = "[Directory]\r\ndirs=12\r\n",
              program = "[Program]\r\nfiles=60\r\n", group = "[Program Group Info]\r\nfiles=11\r\n";
  for (int n = 1; n <= 60; ++n) {
    const std::string i = std::to_string(n);
    labels += "disk" + i + "=Disk " + i + "\r\n";
    dirs += "dir" + i + "=\\D" + i + "\r\n";
    program += "file" + i + "=1:S" + i + ",1,F" + i + ",1,N,N,N\r\n";
    group += "file" + i + "=P" + i + ".EXE,Item\r\n";
  }
  const std::string text = labels + dirs + program + group;
  Read(text);
  EXPECT_EQ(info.diskLabels.size(), 4u);
  EXPECT_EQ(info.dirNames.size(), 10u);
  EXPECT_EQ(info.files.size(), 50u);
  EXPECT_EQ(info.groupItems.size(), 10u);
  EXPECT_EQ(info.diskLabels.at(3).view(), "Disk 4");
  EXPECT_EQ(info.dirNames.at(9).view(), "\\D10");
  EXPECT_EQ(info.files.at(49).destName.view(), "F50");
  EXPECT_EQ(info.groupItems.at(9).fileName.view(), "P10.EXE");
}

TEST_F(InfoFileReading, MissingEntriesTakeTheirDefaults) {
  Read("[Label]\r\ndisks=1\r\n[Directory]\r\ndirs=2\r\ndir1=\\BIN\r\n[Program Group Info]\r\nfiles=1\r\n");
  EXPECT_EQ(info.diskLabels.at(0).view(), "Insert disk");
  EXPECT_EQ(info.dirNames.at(0).view(), "\\BIN");
  EXPECT_EQ(info.dirNames.at(1).view(), ".");
  EXPECT_EQ(info.files.size(), 0u);
  EXPECT_EQ(info.groupItems.size(), 1u);
  EXPECT_EQ(info.groupItems.at(0).fileName.view(), "");
  EXPECT_EQ(info.groupName, "Vorn Setting Tools");
}

TEST_F(InfoFileReading, LongValuesAreCutToTheirSlots) {
  const std::string label(150, 'L'), dirName(40, 'D'), group(300, 'G');
  Read("[Label]\r\ndisks=1\r\ndisk1=" + label + "\r\n[Directory]\r\ndirs=1\r\ndir1=" + dirName +
       "\r\n[Program Group Info]\r\nGroupName=" + group + "\r\n");
  EXPECT_EQ(info.diskLabels.at(0).view(), label.substr(0, 99));
  EXPECT_EQ(info.dirNames.at(0).view(), dirName.substr(0, 29));
  EXPECT_EQ(info.groupName, group.substr(0, 255));
}

TEST_F(InfoFileReading, ARecordThatDoesNotParseHoldsNothingOfAnEarlierRead) {
  Read("[Program]\r\nfiles=1\r\nfile1=1:A.EX_,1,A.EXE,1,Y,Y,Y\r\n");
  Read("[Program]\r\nfiles=1\r\nfile1=3:B.EX_\r\n");
  EXPECT_EQ(info.files.size(), 1u) << "a malformed line still counts";
  EXPECT_EQ(Of(info.files.at(0)), Fields(3, "", 0, "", 0, 0, 0, 0));
}

}  // namespace
}  // namespace qv
