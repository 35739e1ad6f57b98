// The real setup.exe under Wine: the resources it carries, and whole
// installations from a medium that each test lays out below C:\qvtest: a
// copy of the program, an information file and the fixtures (compressed
// with mscompress at build time, one plain file, one cut short). Every run
// pauses a second per step, so the runs are few and the file lists short.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/installer/expected_installer.h"
#include "tests/wine/program_driver.h"

namespace qv {
namespace {

using wine::RunningProgram;

using expected::kSetupErrorTitle;
using expected::kSetupTitle;
constexpr const char* kTestRoot = "C:\\qvtest";
constexpr const char* kMedium = "C:\\qvtest\\medium";

std::string FixturePath(const std::string& name) { return wine::BinDirectory() + "\\setup_fixtures\\" + name; }

// The installed file holds exactly the bytes of the original fixture.
::testing::AssertionResult InstalledAs(const std::string& installed, const std::string& fixture) {
  const auto actual = wine::ReadFile(installed);
  const auto expected = wine::ReadFile(FixturePath(fixture));
  if (!expected) return ::testing::AssertionFailure() << "no fixture " << fixture;
  if (!actual) return ::testing::AssertionFailure() << installed << " is missing";
  if (*actual != *expected)
    return ::testing::AssertionFailure() << installed << " holds " << actual->size() << " bytes unlike the "
                                         << expected->size() << " of " << fixture;
  return ::testing::AssertionSuccess();
}

TEST(SetupExeResources, AreTheExpectedOnes) {
  HMODULE module = LoadLibraryExA((wine::BinDirectory() + "\\setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto find = [&](ResourceType type, unsigned id) {
    return wine::ResourceBytes(module, static_cast<unsigned>(type), id);
  };
  EXPECT_EQ(expected::CompareResources(find, expected::ExpectedInstallerResources()),
            std::vector<std::string>{});
  FreeLibrary(module);
}

class SetupExe : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    std::filesystem::create_directories(kMedium);
    ASSERT_TRUE(CopyFileA((wine::BinDirectory() + "\\setup.exe").c_str(), Medium("setup.exe").c_str(), FALSE));
  }
  void TearDown() override {
    program.Kill();
    Clean();
  }
  void Clean() {
    std::error_code ignored;
    std::filesystem::remove_all(kTestRoot, ignored);
    wine::RemoveFile(ini);
  }

  static std::string Medium(const std::string& name) { return std::string(kMedium) + "\\" + name; }
  void Place(const std::string& fixture, const std::string& nameOnMedium) {
    ASSERT_TRUE(CopyFileA(FixturePath(fixture).c_str(), Medium(nameOnMedium).c_str(), FALSE)) << fixture;
  }
  static std::string Inf(const std::vector<std::string>& fileLines) {
    std::string text =
        "[Configuration]\r\nDefInstallDir=C:\\QV27-518\r\nInitialFile=QVSETUP.INI\r\n"
        "[Directory]\r\ndirs=2\r\ndir1=.\r\ndir2=\\DRIVER\r\n[Program]\r\nfiles=" +
        std::to_string(fileLines.size()) + "\r\n";
    for (std::size_t i = 0; i < fileLines.size(); ++i)
      text += "file" + std::to_string(i + 1) + "=" + fileLines[i] + "\r\n";
    return text;
  }

  // Starts the program from the medium and waits until it is Ready.
  HWND StartReady(const std::string& medium = kMedium) {
    if (!program.Start(medium + "\\setup.exe", medium)) return nullptr;
    HWND dialog = program.WaitForWindow(kSetupTitle, "#32770");
    if (!dialog) return nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (wine::ControlText(dialog, 1005) != expected::kSetupReady && std::chrono::steady_clock::now() < deadline)
      Sleep(50);
    return dialog;
  }
  // Types the install path (the field turns it to upper case) and presses Setup.
  static void Setup(HWND dialog, const std::string& path) {
    SendDlgItemMessageA(dialog, 1003, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    RunningProgram::PressButton(dialog, IDOK);
  }
  std::optional<wine::MessageBoxSeen> ErrorBox() {
    return program.WaitForMessageBox(kSetupErrorTitle, std::chrono::seconds(20));
  }
  static void Answer(const wine::MessageBoxSeen& box, int button) {
    RunningProgram::PressButton(box.window, button);
    wine::WaitUntilClosed(box.window);
  }
  // The value of a key of the configuration file, read as bytes.
  std::optional<std::string> IniValue(const std::string& key) {
    const auto bytes = wine::ReadFile(ini);
    if (!bytes) return std::nullopt;
    const std::string prefix = "\n" + key + "=";
    const std::size_t at = ("\n" + *bytes).find(prefix);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t start = at + prefix.size() - 1;
    return bytes->substr(start, bytes->find_first_of("\r\n", start) - start);
  }

  // The success message, answered, and the program gone.
  ::testing::AssertionResult EndsInSuccess(HWND dialog) {
    auto box = program.WaitForMessageBox(kSetupTitle, std::chrono::seconds(30), dialog);
    if (!box) return ::testing::AssertionFailure() << "no message";
    Answer(*box, IDOK);
    if (box->text != expected::kSetupSuccess) return ::testing::AssertionFailure() << box->text;
    if (program.WaitForExit() != 0u) return ::testing::AssertionFailure() << "the program did not end";
    return ::testing::AssertionSuccess();
  }
  // Names in the folder and below it that end in "_", the mark of a
  // compressed file: none belongs in an install folder.
  static std::vector<std::string> CompressedStyleNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored)) {
      const std::string name = entry.path().filename().string();
      if (!name.empty() && name.back() == '_') names.push_back(entry.path().string());
    }
    return names;
  }

  const std::string ini = wine::WindowsDirectory() + "\\QVSETUP.INI";
  RunningProgram program;
};

TEST_F(SetupExe, InstallsExpandedFilesIntoANewNestedDirectory) {
  Place("README.TX_", "README.TX_");
  Place("TOOL.BI_", "TOOL.BI_");
  Place("PLAIN.DAT", "PLAIN.DAT");
  wine::WriteFile(Medium("QV27-518.INF"), Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:TOOL.BI_, 1, TOOL.BIN, 2, Y,N,N",
                                                "1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N"}));
  HWND dialog = StartReady();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(wine::ControlText(dialog, 1005), expected::kSetupReady);
  EXPECT_EQ(wine::ControlText(dialog, 1003), "C:\\QV27-518");
  wine::SaveScreenshot(dialog, "setup_dialog_ready");

  const std::string target = "C:\\QVTEST\\TARGET\\NESTED";
  Setup(dialog, target);
  auto box = program.WaitForMessageBox(kSetupTitle, std::chrono::seconds(30), dialog);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, expected::kSetupSuccess);
  EXPECT_EQ(wine::IdentifyMessageBoxIcon(*box), IDI_ASTERISK);
  EXPECT_EQ(wine::ControlText(dialog, 1005), "") << "the status line is empty under the success message";
  Answer(*box, IDOK);
  EXPECT_EQ(program.WaitForExit(), 0u);

  EXPECT_TRUE(InstalledAs(target + "\\README.TXT", "README.TXT"));
  EXPECT_TRUE(InstalledAs(target + "\\DRIVER\\TOOL.BIN", "TOOL.BIN"));
  EXPECT_TRUE(InstalledAs(target + "\\PLAIN.DAT", "PLAIN.DAT"));
  // Wine refuses the BIOS data area and knows no LPT device in a fresh prefix.
  EXPECT_EQ(IniValue("PortCount"), "0");
  EXPECT_EQ(IniValue("InstalledDir"), target);
}

TEST_F(SetupExe, FailedFilesPromptAndCancelKeepsWhatWasCopied) {
  Place("README.TX_", "README.TX_");
  // A compressed file cut short: the LZ library expands what there is
  // without complaint, and only its length gives it away.
  const auto packed = wine::ReadFile(FixturePath("TOOL.BI_"));
  ASSERT_TRUE(packed && packed->size() > 100);
  wine::WriteFile(Medium("TOOL.BI_"), packed->substr(0, packed->size() / 2));
  wine::WriteFile(Medium("QV27-518.INF"), Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:TOOL.BI_,1,TOOL.BIN,1,N,N,N",
                                                "1:GONE.TXT,1,GONE.TXT,1,N,N,N"}));
  HWND dialog = StartReady();
  ASSERT_NE(dialog, nullptr);
  const std::string target = "C:\\QVTEST\\FAILED";
  Setup(dialog, target);

  auto box = ErrorBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "Error to open file: " + target + "\\TOOL.BIN") << "a damaged source names the destination";
  EXPECT_EQ(wine::IdentifyMessageBoxIcon(*box), IDI_EXCLAMATION);
  EXPECT_NE(GetDlgItem(box->window, IDRETRY), nullptr);
  EXPECT_NE(GetDlgItem(box->window, IDCANCEL), nullptr);
  wine::SaveScreenshot(box->window, "setup_retry_prompt");
  // The whole file is on the medium by the time Retry is pressed.
  wine::WriteFile(Medium("TOOL.BI_"), *packed);
  Answer(*box, IDRETRY);

  box = ErrorBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, std::string("Error to open file: ") + kMedium + "\\GONE.TXT") << "a missing source names itself";
  Answer(*box, IDCANCEL);

  box = ErrorBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, expected::kSetupFailure);
  EXPECT_EQ(wine::IdentifyMessageBoxIcon(*box), IDI_HAND);
  Answer(*box, IDOK);
  EXPECT_EQ(program.WaitForExit(), 0u);

  EXPECT_TRUE(InstalledAs(target + "\\README.TXT", "README.TXT"));
  EXPECT_TRUE(InstalledAs(target + "\\TOOL.BIN", "TOOL.BIN")) << "Retry copies the file anew, whole";
  EXPECT_FALSE(wine::ReadFile(target + "\\GONE.TXT"));
  EXPECT_EQ(IniValue("PortCount"), std::nullopt);
}

// --- Installations that must never end in the success message -----------

TEST_F(SetupExe, ACompressedFileOfAnUnknownMethodPromptsForTheSourceUntilRepaired) {
  const auto packed = wine::ReadFile(FixturePath("TOOL.BI_"));
  ASSERT_TRUE(packed && packed->size() > 14);
  std::string otherMethod = *packed;
  otherMethod[8] = 'B';
  wine::WriteFile(Medium("TOOL.BI_"), otherMethod);
  Place("PLAIN.DAT", "PLAIN.DAT");
  wine::WriteFile(Medium("QV27-518.INF"), Inf({"1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N", "1:TOOL.BI_,1,TOOL.BIN,1,N,N,N"}));
  HWND dialog = StartReady();
  ASSERT_NE(dialog, nullptr);
  const std::string target = "C:\\QVTEST\\METHOD";
  Setup(dialog, target);

  // Retry looks at the file again: still damaged, then repaired.
  for (bool repaired : {false, true}) {
    auto box = ErrorBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Error to open file: " + Medium("TOOL.BI_"));
    EXPECT_FALSE(wine::ReadFile(target + "\\TOOL.BIN")) << "nothing is written for a source that fails";
    EXPECT_EQ(IniValue("PortCount"), std::nullopt);
    if (repaired) wine::WriteFile(Medium("TOOL.BI_"), *packed);
    Answer(*box, IDRETRY);
  }
  EXPECT_TRUE(EndsInSuccess(dialog));
  EXPECT_TRUE(InstalledAs(target + "\\TOOL.BIN", "TOOL.BIN"));
  EXPECT_TRUE(InstalledAs(target + "\\PLAIN.DAT", "PLAIN.DAT"));
  EXPECT_EQ(CompressedStyleNames(target), std::vector<std::string>{});
}

TEST_F(SetupExe, ADestinationThatCannotBeCreatedPromptsAndNothingLandsBesideIt) {
  Place("README.TX_", "README.TX_");
  Place("TOOL.BI_", "TOOL.BI_");
  wine::WriteFile(Medium("QV27-518.INF"), Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:TOOL.BI_,1,TOOL.BIN,1,N,N,N"}));
  const std::string target = "C:\\QVTEST\\BLOCKED";
  // A folder stands where the file belongs.
  std::filesystem::create_directories(target + "\\TOOL.BIN");
  HWND dialog = StartReady();
  ASSERT_NE(dialog, nullptr);
  Setup(dialog, target);

  auto box = ErrorBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "Error to open file: " + target + "\\TOOL.BIN");
  EXPECT_EQ(CompressedStyleNames(target), std::vector<std::string>{});
  EXPECT_EQ(IniValue("PortCount"), std::nullopt);
  std::filesystem::remove(target + "\\TOOL.BIN");
  Answer(*box, IDRETRY);

  EXPECT_TRUE(EndsInSuccess(dialog));
  EXPECT_TRUE(InstalledAs(target + "\\README.TXT", "README.TXT"));
  EXPECT_TRUE(InstalledAs(target + "\\TOOL.BIN", "TOOL.BIN"));
  EXPECT_EQ(CompressedStyleNames(target), std::vector<std::string>{});
}

TEST_F(SetupExe, InstallingIntoTheMediumFolderLeavesItsFilesWhole) {
  Place("README.TX_", "README.TX_");
  Place("PLAIN.DAT", "PLAIN.DAT");
  wine::WriteFile(Medium("QV27-518.INF"), Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N"}));
  HWND dialog = StartReady();
  ASSERT_NE(dialog, nullptr);
  // The folder is "medium" on disk; the field holds its name in upper case.
  const std::string target = "C:\\QVTEST\\MEDIUM";
  Setup(dialog, target);

  EXPECT_TRUE(EndsInSuccess(dialog));
  EXPECT_TRUE(InstalledAs(Medium("PLAIN.DAT"), "PLAIN.DAT")) << "a file copied onto itself stays as it was";
  EXPECT_TRUE(InstalledAs(Medium("README.TXT"), "README.TXT"));
  EXPECT_TRUE(InstalledAs(Medium("README.TX_"), "README.TX_"));
  EXPECT_EQ(IniValue("InstalledDir"), target);
}

TEST_F(SetupExe, ARelativeInstallPathIsInvalidAndNothingIsInstalled) {
  Place("PLAIN.DAT", "PLAIN.DAT");
  wine::WriteFile(Medium("QV27-518.INF"), Inf({"1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N"}));
  HWND dialog = StartReady();
  ASSERT_NE(dialog, nullptr);
  for (const char* path : {"QV", "QV\\", "C:QV", "\\QV"}) {
    SCOPED_TRACE(path);
    Setup(dialog, path);
    auto box = ErrorBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Installation path is invalid.");
    Answer(*box, IDOK);
    EXPECT_FALSE(std::filesystem::exists(Medium("QV"))) << "the program's working directory is the medium";
    EXPECT_FALSE(std::filesystem::exists("C:\\QV"));
    EXPECT_EQ(IniValue("InstalledDir"), std::nullopt);
  }
  // The user types a full path instead.
  const std::string target = "C:\\QVTEST\\QV";
  Setup(dialog, target);
  EXPECT_TRUE(EndsInSuccess(dialog));
  EXPECT_TRUE(InstalledAs(target + "\\PLAIN.DAT", "PLAIN.DAT"));
  EXPECT_EQ(IniValue("InstalledDir"), target);
}

TEST_F(SetupExe, LongMediumAndInstallPathsInstall) {
  // Both far beyond the 128 characters that the old file-open call took.
  const std::string medium = std::string(kTestRoot) + "\\" + std::string(140, 'm');
  std::filesystem::create_directories(medium);
  ASSERT_TRUE(CopyFileA((wine::BinDirectory() + "\\setup.exe").c_str(), (medium + "\\setup.exe").c_str(), FALSE));
  for (const char* name : {"README.TX_", "TOOL.BI_", "PLAIN.DAT"})
    ASSERT_TRUE(CopyFileA(FixturePath(name).c_str(), (medium + "\\" + name).c_str(), FALSE)) << name;
  wine::WriteFile(medium + "\\QV27-518.INF", Inf({"1:README.TX_,1,README.TXT,1,N,N,N", "1:TOOL.BI_,1,TOOL.BIN,2,N,N,N",
                                                  "1:PLAIN.DAT,1,PLAIN.DAT,1,N,N,N"}));
  HWND dialog = StartReady(medium);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(wine::ControlText(dialog, 1005), expected::kSetupReady);
  const std::string target = "C:\\QVTEST\\" + std::string(120, 'T') + "\\" + std::string(100, 'U');
  ASSERT_EQ(target.size(), 231u);
  Setup(dialog, target);

  EXPECT_TRUE(EndsInSuccess(dialog));
  EXPECT_TRUE(InstalledAs(target + "\\README.TXT", "README.TXT"));
  EXPECT_TRUE(InstalledAs(target + "\\DRIVER\\TOOL.BIN", "TOOL.BIN"));
  EXPECT_TRUE(InstalledAs(target + "\\PLAIN.DAT", "PLAIN.DAT"));
  EXPECT_EQ(IniValue("InstalledDir"), target);
}

TEST_F(SetupExe, WithoutItsInformationFileTheProgramEnds) {
  ASSERT_TRUE(program.Start(Medium("setup.exe"), kMedium));
  auto box = program.WaitForMessageBox(kSetupErrorTitle);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "Information file (QV27-518.INF) cannot be found. Program will terminate!");
  EXPECT_EQ(wine::IdentifyMessageBoxIcon(*box), IDI_HAND);
  Answer(*box, IDOK);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
}  // namespace qv
