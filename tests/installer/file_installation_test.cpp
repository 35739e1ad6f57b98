// Setup from the press to the end: the target directory, copying with its
// Retry/Cancel prompts, the configuration entries and the outcome messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "framework/window_constants.h"
#include "tests/installer/expected_installer.h"
#include "tests/installer/hostile_media.h"
#include "tests/installer/installer_fixture.h"

namespace qv {
namespace {

using expected::kSetupFailure;
using expected::kSetupSuccess;
using testing::TestWindow;

// An information file with these directory names and file lines.
std::string Inf(const std::vector<std::string>& dirs, const std::vector<std::string>& fileLines,
                const char* initialFile = "QV27-518.ini") {
  std::string configuration = initialFile ? std::string("InitialFile=") + initialFile + "\r\n" : "";
  configuration += "[Directory]\r\n" + hostile::Numbered("dir", dirs);
  return hostile::Inf(fileLines, "", configuration);
}

class FileInstallation : public InstallerFixture {};

// What lands on the disk and the message: setup_scenarios.cpp.
TEST_F(FileInstallation, ASuccessfulSetupShowsEachStepAndCountsEachFile) {
  files.AddFile("A:\\A.EX_", "expanded program");
  files.AddFile("A:\\B.DL_", "expanded library");
  files.AddFile("A:\\README.TXT", "plain text");
  ports.table = {0x378, 0x278, 0};
  TestWindow& w = Ready(Inf({".", "\\DRIVER"}, {"1:A.EX_,1,A.EXE,1,Y,N,N", "1:B.DL_, 1, B.DLL, 2, N,N,N",
                                                "1:README.TXT,1,README.TXT,1,N,N,N"}));
  // What the bar shows when it is repainted after each file: that file
  // counted already, not one file behind.
  std::vector<std::uint16_t> shownDone;
  host.ObserveRedraws([&](int templateId, int id) {
    if (templateId == 101 && id == kProgress) shownDone.push_back(progress.done);
  });
  ASSERT_TRUE(w.PressEnter()) << "Enter in the path field is Setup";
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kSetupSuccess});
  EXPECT_EQ(w.EndCode(), 1);

  ASSERT_EQ(StatusTexts(),
            (std::vector<std::string>{"Creating installation directory", "Copying File: A.EXE", "Copying File: B.DLL",
                                      "Copying File: README.TXT", "Writing INI infomation", "",
                                      "Creating program group", ""}));
  for (std::size_t i = 1; i + 1 < statusLine.size(); ++i) {
    if (statusLine[i].text.empty()) continue;
    SCOPED_TRACE(statusLine[i].text);
    EXPECT_GE(statusLine[i + 1].at - statusLine[i].at, 1000u) << "each step stays a second";
    EXPECT_LT(statusLine[i + 1].at - statusLine[i].at, 1010u);
  }
  EXPECT_EQ(progress.done, 3);
  EXPECT_EQ(progress.total, 3);
  EXPECT_EQ(w.ControlAt(kProgress).invalidations, 3);
  EXPECT_EQ(shownDone, (std::vector<std::uint16_t>{1, 2, 3}));
  EXPECT_EQ(files.errorModes, (std::vector<unsigned>{1, 0, 1, 0, 1, 0}));
  EXPECT_EQ(files.errorModeAtCopy, (std::vector<unsigned>{1, 1, 1}));

  // The entries are written while "Writing INI infomation" shows.
  const auto position = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
  EXPECT_LT(position("status Writing INI infomation"), position("write Configuration/PortCount"));
  EXPECT_LT(position("write Configuration/InstalledDir"), position("status Creating program group"));
}

TEST_F(FileInstallation, WithoutInitialFileOrFilesSetupStillSucceeds) {
  files.AddFile("A:\\A.EXE", "program");
  TestWindow& w = Ready(Inf({"."}, {"1:A.EXE,1,A.EXE,1,N,N,N"}, nullptr));
  w.Click(kIdOk);
  EXPECT_TRUE(profile.writes.empty()) << "no InitialFile: nothing is written";
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kSetupSuccess});
  EXPECT_EQ(w.EndCode(), 1);

  TestWindow& none = Ready(Inf({}, {}));
  none.Click(kIdOk);
  EXPECT_EQ(progress.done, 0);
  EXPECT_EQ(progress.total, 0);
  EXPECT_EQ(ConfigEntry("InstalledDir"), "C:\\QV27-518");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kSetupSuccess, kSetupSuccess}));
  EXPECT_EQ(none.EndCode(), 1);
}

struct FailureCase {
  const char* name;
  std::function<void(testing::FakeInstallerFileSystem&)> arrange;
  std::string line;  // the file line of the one file, for directories "." and "\SUB"
  std::string named;  // the path that the prompt names
  bool retrySucceeds = false;  // the obstacle is gone by the time Retry is pressed
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

// The install path's SUB cannot be made, this many times.
auto SubFails(int times) {
  return [times](testing::FakeInstallerFileSystem& f) {
    f.creationFailures["C:\\QV27-518\\SUB"] = times;
  };
}

class CopyFailures : public FileInstallation, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CopyFailures, NameTheFileThatFailedAndCancelEndsSetup) {
  const FailureCase& c = GetParam();
  files.AddFile("A:\\A.EX_", "program");
  c.arrange(files);
  TestWindow& w = Ready(Inf({".", "\\SUB"}, {c.line}));
  host.AnswerNextMessageBox(kIdRetry);
  host.AnswerNextMessageBox(kIdCancel);
  w.Click(kIdOk);
  const std::string prompt = "Error to open file: " + c.named;
  EXPECT_EQ(w.EndCode(), 1);
  EXPECT_EQ(files.errorModes.back(), 0u);
  EXPECT_EQ(progress.total, 1);
  EXPECT_EQ(progress.done, c.retrySucceeds ? 1 : 0) << "a file counts once it is in";
  if (c.retrySucceeds) {
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{prompt, kSetupSuccess}));
    EXPECT_EQ(files.File("C:\\QV27-518\\SUB\\A.EXE"), "program");
    return;
  }
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{prompt, prompt, kSetupFailure}));
  EXPECT_EQ(ConfigEntry("PortCount"), "<missing>");
}

// A missing source, and a destination that cannot be written (a folder in
// the file's place): setup_scenarios.cpp.
INSTANTIATE_TEST_SUITE_P(
    Steps, CopyFailures,
    ::testing::Values(
        FailureCase{"SubdirectoryThatCannotBeMade", SubFails(99), "1:A.EX_,1,A.EXE,2,N,N,N",
                    "C:\\QV27-518\\SUB\\A.EXE"},
        FailureCase{"SubdirectoryMadeBeforeRetry", SubFails(1), "1:A.EX_,1,A.EXE,2,N,N,N",
                    "C:\\QV27-518\\SUB\\A.EXE", true},
        FailureCase{"DirectoryIndexBeyondTheList", [](auto&) {}, "1:A.EX_,3,A.EXE,1,N,N,N", "A:\\A.EX_"},
        FailureCase{"MalformedLine", [](auto&) {}, "1:A.EX_,1,A.EXE", "C:\\QV27-518\\"}),
    [](const auto& info) { return info.param.name; });

TEST_F(FileInstallation, APathLongerThanItsBufferFailsThatFile) {
  const std::string base = "C:\\" + std::string(247, 'X');  // 250 characters: usable on its own
  files.AddFile("A:\\A.EX_", "program");
  TestWindow& w = Ready(Inf({"."}, {"1:A.EX_,1,LONGNAME.EXE,1,N,N,N"}), base);
  host.AnswerNextMessageBox(kIdCancel);
  w.Click(kIdOk);
  ASSERT_EQ(host.MessageBoxes().size(), 2u);
  const std::string& text = host.MessageBoxes()[0].text;
  EXPECT_EQ(text.size(), 255u) << "the message is cut to its buffer";
  EXPECT_EQ(text, ("Error to open file: " + base + "\\LONGNAME.EXE").substr(0, 255));
  EXPECT_EQ(files.copyAttempts, 0) << "a path that does not fit is never handed on";
  EXPECT_EQ(BoxTexts()[1], kSetupFailure);
}

struct WalkCase {
  std::string path;
  int result;
  std::vector<std::string> calls;
  std::string installPath;
};

void PrintTo(const WalkCase& c, std::ostream* os) { *os << '"' << c.path.substr(0, 20) << '"'; }

class DirectoryWalk : public FileInstallation, public ::testing::WithParamInterface<WalkCase> {};

// A path that cannot be used: the message, nothing installed and a second
// try are the scenarios' (setup_scenarios.cpp); here the field selects it.
TEST_P(DirectoryWalk, EntersOrCreatesEachLevel) {
  const WalkCase& c = GetParam();
  TestWindow& w = Ready(Inf({}, {}), c.path);
  EXPECT_EQ(dialog->PrepareInstallDir(), c.result);
  EXPECT_EQ(files.calls, c.calls);
  EXPECT_EQ(StatusTexts(), std::vector<std::string>{"Creating installation directory"});
  if (c.result) {
    EXPECT_EQ(PrepareInstallDir(files, c.path), c.installPath);
    return;
  }
  w.Click(kIdOk);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Installation path is invalid."});
  EXPECT_FALSE(w.Ended());
  EXPECT_EQ(w.FocusedItem(), kPath);
  EXPECT_EQ(w.ControlAt(kPath).selectionStart, 0);
  EXPECT_EQ(w.ControlAt(kPath).selectionEnd, static_cast<int>(c.path.size()));
  EXPECT_EQ(w.ControlAt(kPath).caretScrolls, 1);
}

// The install path lives in 256 bytes: 255 characters fit, 256 do not.
const std::string kFits = "C:\\" + std::string(252, 'L');

INSTANTIATE_TEST_SUITE_P(
    Paths, DirectoryWalk,
    ::testing::Values(
        WalkCase{"C:\\QV27-518\\BIN\\", 1,
                 {"enter C:", "enter C:\\", "enter C:\\QV27-518\\ (missing)", "create C:\\QV27-518\\",
                  "enter C:\\QV27-518\\BIN\\ (missing)", "create C:\\QV27-518\\BIN\\", "enter C:\\QV27-518\\BIN\\"},
                 "C:\\QV27-518\\BIN"},
        WalkCase{"C:\\QV\\\\", 1,
                 {"enter C:", "enter C:\\", "enter C:\\QV\\ (missing)", "create C:\\QV\\", "enter C:\\QV\\\\",
                  "enter C:\\QV\\\\"},
                 "C:\\QV\\"},  // only one backslash goes
        WalkCase{"C:\\", 1, {"enter C:", "enter C:\\", "enter C:\\"}, "C:"},
        WalkCase{kFits, 1, {"enter C:", "enter C:\\", "enter " + kFits + " (missing)", "create " + kFits},
                 kFits},
        WalkCase{kFits + "L", 0, {}, ""},
        WalkCase{"Q:\\X", 0, {"enter Q: (missing)"}, ""},
        WalkCase{"", 0, {}, ""},
        // Relative paths, and paths without a drive, are never walked; nor
        // is a bare drive, whether it can be entered or not.
        WalkCase{"QV", 0, {}, ""}, WalkCase{"QV\\", 0, {}, ""}, WalkCase{"C:QV", 0, {}, ""},
        WalkCase{"C:", 0, {}, ""}, WalkCase{"Q:", 0, {}, ""}, WalkCase{"\\QV", 0, {}, ""},
        WalkCase{"\\\\SERVER\\SHARE\\QV", 0, {}, ""}, WalkCase{".\\QV", 0, {}, ""}, WalkCase{"1:\\QV", 0, {}, ""}));

TEST_F(FileInstallation, DirectoryNamesResolveAgainstTheirBase) {
  WriteInf(Inf({".", "windows", "System", "SYSTEM32", "\\DRIVER", "DRIVER", "WINDOWS"}, {}));
  const InfoFile info = ReadInfoFile(profile, kInfPath);
  struct Case {
    const char* base;
    std::int32_t index;
    const char* path;  // nullptr: not usable
  };
  const Case cases[] = {
      {"C:\\QV27-518", 1, "C:\\QV27-518\\A.DLL"},
      {"C:\\QV27-518", 2, "C:\\WINDOWS\\A.DLL"},
      {"C:\\QV27-518", 3, "C:\\WINDOWS\\SYSTEM\\A.DLL"},
      {"C:\\QV27-518", 4, nullptr},  // glued to the base's name: beside it, not in it
      {"C:\\QV27-518", 5, "C:\\QV27-518\\DRIVER\\A.DLL"},
      {"C:\\QV27-518", 6, nullptr},
      {"C:\\QV27-518", 7, "C:\\WINDOWS\\A.DLL"},
      {"C:", 1, "C:\\A.DLL"},
      {"C:\\QV27-518", 0, nullptr},
      {"C:\\QV27-518", 8, nullptr},
      {"C:\\QV27-518", -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.base) + " " + std::to_string(c.index));
    const ResolvedPath result = ResolvePath(files, info, c.base, "A.DLL", c.index, 255);
    EXPECT_EQ(result.usable, c.path != nullptr);
    if (c.path) {
      EXPECT_EQ(result.text, c.path);
    }
  }
}

TEST_F(FileInstallation, SetupPressedAgainWhileCopyingInstallsOnce) {
  std::vector<std::string> lines;
  for (const std::string name : {"A", "B", "C", "D", "E"}) {
    files.AddFile("A:\\" + name + ".DA_", "data of " + name);
    lines.push_back("1:" + name + ".DA_,1," + name + ".DAT,1,N,N,N");
  }
  TestWindow& w = Ready(Inf({"."}, lines));
  host.WhenDialogRuns(100, [](TestWindow& about) { about.Click(kIdOk); });
  // A double click lands in the first pause, About in a later one.
  host.QueueUserAction([&] { w.Click(kIdOk); });
  host.QueueUserAction([&] { w.Click(kAbout); });
  w.Click(kIdOk);
  EXPECT_EQ(files.copyAttempts, 5);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kSetupSuccess});
  EXPECT_EQ(std::count(log.begin(), log.end(), "status Creating installation directory"), 1);
  EXPECT_EQ(host.ModalRuns(), std::vector<int>{100}) << "About stays live during the pauses";
  EXPECT_EQ(w.EndCode(), 1);
}

}  // namespace
}  // namespace qv
