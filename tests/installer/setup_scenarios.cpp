// The installer's scenarios, written once for every host: the testing host,
// the Qt host with the Linux services, and setup.exe under Wine (each test
// program links its host's driver). A medium is laid out with setup, an
// information file and plain and compressed files; the user types a path,
// presses Setup and answers the message boxes; the checks are what the user
// saw and what the disk holds afterwards: the installed bytes, the
// configuration file and the program group's items. The crafted media that
// every target refuses (hostile_media.h) run here too.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/installer/expected_installer.h"
#include "tests/installer/hostile_media.h"
#include "tests/support/ini_entry.h"
#include "tests/support/setup_driver.h"
#include "tests/support/szdd.h"

namespace qv::testing {
namespace {

using namespace expected;

constexpr int kPath = 1003;
constexpr int kStatus = 1005;
constexpr int kSetup = 1;
constexpr int kCancel = 2;  // the dialog's Cancel button: leaving
constexpr const char* kInfName = "QV27-518.INF";
constexpr const char* kConfig = "QVSETUP.INI";
constexpr const char* kGroup = "QVTEST";

// The files of the test medium as they are once installed.
const std::string kReadme =
    "QV27-518 Printer-Sharing Switch\r\n\r\nRead me first. Read me first. Read me first.\r\n"
    "The switch sits on the parallel port; the switch sits between two printers.\r\n";
const std::string kPlain = "plain data, installed as it stands\r\n";
std::string Tool() {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>((i * 7 + i / 64) % 251);
  return bytes;
}

// An information file over the directories "." and "\DRIVER" that records
// into kConfig and makes one program-group item for PLAIN.DAT.
std::string Inf(const std::vector<std::string>& fileLines) {
  return hostile::Inf(fileLines,
                      std::string("[Program Group Info]\r\nGroupName=") + kGroup +
                          "\r\nfiles=1\r\nfile1=PLAIN.DAT, Plain Data\r\n",
                      std::string("DefInstallDir=C:\\QVTEST\\DEFAULT\r\nInitialFile=") + kConfig +
                          "\r\n[Directory]\r\ndirs=2\r\ndir1=.\r\ndir2=\\DRIVER\r\n");
}

std::string Joined(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

class SetupScenario : public ::testing::Test {
 protected:
  std::string Entry(const std::string& key) {
    const auto file = driver->Configuration(kConfig);
    return file ? IniEntry(*file, "Configuration", key) : "<no file>";
  }
  // The file lies in the typed folder with exactly these bytes.
  void ExpectFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    EXPECT_TRUE(driver->ReadFile(Joined(folder, name)) == bytes) << name << " is missing or holds other bytes";
  }
  // No file keeps its compressed name (ending in "_") in an install folder.
  void ExpectNoCompressedNames(const std::string& folder) {
    for (const char* name : {"README.TX_", "TOOL.BI_", "DRIVER\\TOOL.BI_"})
      EXPECT_FALSE(driver->Exists(Joined(folder, name))) << name;
  }
  void ExpectBox(const SetupBox& box, const std::string& text, const char* caption, BoxIcon icon,
                 const std::vector<int>& buttons) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption) << text;
    EXPECT_EQ(box.icon, icon) << text;
    EXPECT_EQ(box.buttons, buttons) << text;
  }
  void ExpectPrompt(const SetupBox& box, const std::string& path) {
    ExpectBox(box, "Error to open file: " + path, kSetupErrorTitle, BoxIcon::Warning, {kAnswerCancel, kAnswerRetry});
  }
  void ExpectSuccess(const std::vector<SetupBox>& boxes) {
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], kSetupSuccess, kSetupTitle, BoxIcon::Information, {kAnswerOk});
    EXPECT_EQ(boxes[0].status, "") << "the status line is empty under the success message";
    EXPECT_FALSE(driver->Running());
  }
  std::vector<SetupBox> Setup(const std::string& path, std::vector<BoxAnswer> answers) {
    driver->Type(kPath, path);
    return driver->Press(kSetup, std::move(answers));
  }

  std::unique_ptr<SetupDriver> driver = MakeSetupDriver();
};

TEST_F(SetupScenario, InstallsPlainAndCompressedFilesIntoANewNestedDirectory) {
  struct Case {
    const char* what;
    std::string mediumFolder;  // "" for none
    std::string target;
  };
  // The long medium folder and install path far beyond the 128 characters of
  // the old file-open call, yet short enough for the home's path on Linux.
  const Case cases[] = {
      {"nested", "", "C:\\QVTEST\\TARGET\\NESTED"},
      {"long", std::string(140, 'm'), "C:\\QVTEST\\" + std::string(120, 'T') + "\\" + std::string(80, 'U')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    driver.reset();
    driver = MakeSetupDriver();
    if (!c.mediumFolder.empty()) driver->NestMedium(c.mediumFolder);
    driver->PutOnMedium("README.TX_", CompressSzdd(kReadme));
    driver->PutOnMedium("TOOL.BI_", CompressSzdd(Tool()));
    driver->PutOnMedium("PLAIN.DAT", kPlain);
    driver->PutOnMedium(kInfName, Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:TOOL.BI_, 1, TOOL.BIN, 2, Y,N,N",
                                       "1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N"}));
    const auto outcome = driver->Run([&] {
      EXPECT_EQ(driver->Text(kStatus), kSetupReady);
      EXPECT_EQ(driver->Text(kPath), driver->Shown("C:\\QVTEST\\DEFAULT"))
          << "the information file's DefInstallDir";
      const auto boxes = Setup(c.target, {kAnswerOk});
      ExpectSuccess(boxes);
    });
    EXPECT_TRUE(outcome.atStart.empty());
    EXPECT_EQ(outcome.exitCode, 0);

    ExpectFile(c.target, "README.TXT", kReadme);
    ExpectFile(c.target, "DRIVER\\TOOL.BIN", Tool());
    ExpectFile(c.target, "PLAIN.DAT", kPlain);
    ExpectNoCompressedNames(c.target);
    EXPECT_EQ(Entry("PortCount"), std::to_string(driver->PortCount()));
    EXPECT_EQ(Entry("InstalledDir"), driver->Shown(c.target));
    EXPECT_NE(driver->GroupHas(kGroup, "Plain Data"), std::optional<bool>(false));
  }
}

// The files are in place and the group is made, but setup names the
// configuration file that did not take its entries instead of claiming success.
TEST_F(SetupScenario, AConfigurationFileThatCannotBeWrittenIsNamedInsteadOfSuccess) {
  driver->PutOnMedium("PLAIN.DAT", kPlain);
  driver->PutOnMedium(kInfName, Inf({"1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N"}));
  driver->BlockConfiguration(kConfig);
  const std::string target = "C:\\QVTEST\\BLOCKED";
  const auto outcome = driver->Run([&] {
    const auto boxes = Setup(target, {kAnswerOk});
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], std::string("Files are installed, but the configuration file (") + kConfig + ") cannot be written.",
              kSetupErrorTitle, BoxIcon::Warning, {kAnswerOk});
    EXPECT_FALSE(driver->Running());
  });
  EXPECT_EQ(outcome.exitCode, 0);
  ExpectFile(target, "PLAIN.DAT", kPlain);
  EXPECT_EQ(driver->Configuration(kConfig), std::nullopt);
  EXPECT_NE(driver->GroupHas(kGroup, "Plain Data"), std::optional<bool>(false));
}

TEST_F(SetupScenario, AFailedFilePromptsRetryAndCancelKeepsWhatWasCopied) {
  const std::string packed = CompressSzdd(Tool());
  driver->PutOnMedium("README.TX_", CompressSzdd(kReadme));
  // A compressed file cut short: the LZ library expands what there is
  // without complaint, and only its length gives it away.
  driver->PutOnMedium("TOOL.BI_", packed.substr(0, packed.size() / 2));
  driver->PutOnMedium("LATER.DAT", kPlain);
  driver->PutOnMedium(kInfName, Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:TOOL.BI_,1,TOOL.BIN,1,N,N,N",
                                     "1:GONE.TXT,1,GONE.TXT,1,N,N,N", "1:LOST.DAT,1,LOST.DAT,1,N,N,N",
                                     "1:LATER.DAT,1,LATER.DAT,1,N,N,N"}));
  const std::string target = "C:\\QVTEST\\FAILED";
  const auto outcome = driver->Run([&] {
    const auto boxes = Setup(target, {{[&] { driver->PutOnMedium("TOOL.BI_", packed); }, kAnswerRetry},
                                      kAnswerRetry,  // still missing: the prompt comes again
                                      {[&] { driver->PutOnMedium("GONE.TXT", kPlain); }, kAnswerRetry},
                                      kAnswerCancel, kAnswerOk});
    ASSERT_EQ(boxes.size(), 5u);
    ExpectPrompt(boxes[0], driver->Shown(Joined(target, "TOOL.BIN")));  // a damaged source names the destination
    ExpectPrompt(boxes[1], driver->OnMedium("GONE.TXT"));  // a missing source names itself
    ExpectPrompt(boxes[2], driver->OnMedium("GONE.TXT"));
    ExpectPrompt(boxes[3], driver->OnMedium("LOST.DAT"));
    EXPECT_EQ(boxes[3].status, "Copying File: LOST.DAT");
    ExpectBox(boxes[4], kSetupFailure, kSetupErrorTitle, BoxIcon::Error, {kAnswerOk});
    EXPECT_EQ(boxes[4].status, "Copying File: LOST.DAT") << "the status keeps the failed file";
  });
  EXPECT_EQ(outcome.exitCode, 0);
  ExpectFile(target, "README.TXT", kReadme);
  ExpectFile(target, "TOOL.BIN", Tool());  // Retry copies the file anew, whole
  ExpectFile(target, "GONE.TXT", kPlain);
  EXPECT_FALSE(driver->Exists(Joined(target, "LOST.DAT")));
  EXPECT_FALSE(driver->Exists(Joined(target, "LATER.DAT"))) << "later files are not copied";
  EXPECT_EQ(driver->Configuration(kConfig), std::nullopt);
}

TEST_F(SetupScenario, AnUnknownCompressionOrAFolderInTheWayPromptsUntilRepaired) {
  const std::string packed = CompressSzdd(Tool());
  std::string otherMethod = packed;
  otherMethod[8] = 'B';
  driver->PutOnMedium("TOOL.BI_", otherMethod);
  driver->PutOnMedium("README.TX_", CompressSzdd(kReadme));
  driver->PutOnMedium("PLAIN.DAT", kPlain);
  driver->PutOnMedium(kInfName, Inf({"1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N", "1:TOOL.BI_,1,TOOL.BIN,1,N,N,N",
                                     "1:README.TX_,1,README.TXT,1,N,N,N"}));
  const std::string target = "C:\\QVTEST\\BLOCKED";
  driver->MakeFolder(Joined(target, "README.TXT"));  // a folder where the file belongs
  const auto nothingBeside = [&] {
    ExpectNoCompressedNames(target);
    EXPECT_EQ(driver->Configuration(kConfig), std::nullopt);
  };
  driver->Run([&] {
    const auto boxes = Setup(target, {{[&] {
                                         EXPECT_FALSE(driver->ReadFile(Joined(target, "TOOL.BIN")))
                                             << "nothing is written for a source that fails";
                                         nothingBeside();
                                       },
                                       kAnswerRetry},  // Retry looks at the file again: still damaged
                                      {[&] { driver->PutOnMedium("TOOL.BI_", packed); }, kAnswerRetry},
                                      {[&] {
                                         nothingBeside();
                                         driver->RemoveFolder(Joined(target, "README.TXT"));
                                       },
                                       kAnswerRetry},
                                      kAnswerOk});
    ASSERT_EQ(boxes.size(), 4u);
    ExpectPrompt(boxes[0], driver->OnMedium("TOOL.BI_"));
    ExpectPrompt(boxes[1], driver->OnMedium("TOOL.BI_"));
    ExpectPrompt(boxes[2], driver->Shown(Joined(target, "README.TXT")));
    ExpectSuccess({boxes[3]});
  });
  ExpectFile(target, "PLAIN.DAT", kPlain);
  ExpectFile(target, "TOOL.BIN", Tool());
  ExpectFile(target, "README.TXT", kReadme);
  ExpectNoCompressedNames(target);
}

TEST_F(SetupScenario, ARelativePathIsInvalidAndTheMediumFolderItselfInstallsWhole) {
  const std::string packed = CompressSzdd(kReadme);
  driver->PutOnMedium("README.TX_", packed);
  driver->PutOnMedium("PLAIN.DAT", kPlain);
  driver->PutOnMedium(kInfName, Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N"}));
  const std::string medium = driver->MediumFolder();
  const auto outcome = driver->Run([&] {
    std::vector<std::string> paths = {"QV", "QV\\", "\\QV"};
    // A path relative to a drive's own folder, where the host has drives
    // (on Linux drive C: is the home, and "C:QV" names a folder in it).
    if (driver->Shown("C:QV") == "C:QV") paths.push_back("C:QV");
    for (const std::string& path : paths) {
      SCOPED_TRACE(path);
      const auto boxes = Setup(path, {kAnswerOk});
      ASSERT_EQ(boxes.size(), 1u);
      ExpectBox(boxes[0], "Installation path is invalid.", kSetupErrorTitle, BoxIcon::Warning, {kAnswerOk});
      EXPECT_TRUE(driver->Running());
      EXPECT_EQ(driver->Text(kStatus), "");
      EXPECT_FALSE(driver->Exists(Joined(medium, "QV"))) << "the working directory is the medium";
      EXPECT_FALSE(driver->Exists("C:\\QV"));
      EXPECT_EQ(driver->Configuration(kConfig), std::nullopt);
    }
    // The user types a full path instead: the medium's own folder.
    ExpectSuccess(Setup(medium, {kAnswerOk}));
  });
  EXPECT_EQ(outcome.exitCode, 0);
  ExpectFile(medium, "PLAIN.DAT", kPlain);  // a file copied onto itself stays as it was
  ExpectFile(medium, "README.TXT", kReadme);
  ExpectFile(medium, "README.TX_", packed);
  EXPECT_EQ(Entry("InstalledDir"), driver->Shown(medium));
}

TEST_F(SetupScenario, WithoutItsInformationFileTheProgramEnds) {
  driver->PutOnMedium("PLAIN.DAT", kPlain);
  const auto outcome = driver->Run([] { ADD_FAILURE() << "the dialog became ready"; }, {kAnswerOk});
  ASSERT_EQ(outcome.atStart.size(), 1u);
  ExpectBox(outcome.atStart[0], "Information file (QV27-518.INF) cannot be found. Program will terminate!",
            kSetupErrorTitle, BoxIcon::Error, {kAnswerOk});
  EXPECT_FALSE(outcome.ready);
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_FALSE(driver->Exists("C:\\QV27-518"));
  EXPECT_EQ(driver->Configuration("QV27-518.ini"), std::nullopt);
}

// The crafted media that every target refuses alike (hostile_media.h): the
// messages, and nothing installed, written or changed outside the medium.
class HostileMedium : public SetupScenario, public ::testing::WithParamInterface<hostile::HostileCase> {};

TEST_P(HostileMedium, IsRefusedAndChangesNothing) {
  const hostile::HostileCase& c = GetParam();
  for (const hostile::MediumFile& f : c.files) driver->PutOnMedium(f.name, f.bytes);
  const auto before = driver->Outside();
  std::vector<std::string> seen;
  const auto outcome = driver->Run(
      [&] {
        for (const SetupBox& box : driver->Press(kSetup, {kAnswerOk})) seen.push_back(box.text);
        if (driver->Running())
          for (const SetupBox& box : driver->Press(kCancel, {kAnswerOk})) seen.push_back(box.text);
      },
      {kAnswerOk});
  std::vector<std::string> shown;
  for (const SetupBox& box : outcome.atStart) shown.push_back(box.text);
  shown.insert(shown.end(), seen.begin(), seen.end());
  EXPECT_EQ(shown, c.messages);
  EXPECT_TRUE(outcome.exitCode.has_value()) << "setup ends";
  EXPECT_FALSE(driver->Exists("C:\\QV27-518")) << "nothing installed";
  EXPECT_EQ(driver->Configuration("QV27-518.ini"), std::nullopt);
  EXPECT_EQ(driver->Outside(), before);
}

std::vector<hostile::HostileCase> EveryTarget() {
  std::vector<hostile::HostileCase> cases;
  for (const hostile::HostileCase& c : hostile::HostileMedia())
    if (c.everyTarget) cases.push_back(c);
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Media, HostileMedium, ::testing::ValuesIn(EveryTarget()),
                         [](const auto& info) { return hostile::TestName(info.param); });

}  // namespace
}  // namespace qv::testing
