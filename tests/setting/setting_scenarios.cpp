// The setting program's scenarios, written once for every host: the
// testing host, the Qt host with the Linux services, and QV27-518.exe under
// Wine (each test program links its host's driver). They check what the
// user sees and what the machine holds afterwards: the dialog's controls,
// the message boxes, the configuration file, the default printer and the
// started file-transfer program.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "tests/setting/expected_template.h"
#include "tests/support/ini_entry.h"
#include "tests/support/program_driver.h"

namespace qv::testing {
namespace {

constexpr const char* kTitle = expected::kSettingTitle;
constexpr const char* kSuccess = "System finishes setting successfully.";
constexpr const char* kExitQuestion = "Are you sure to exit program?";
constexpr const char* kNamesDiffer =
    "Printer A's Printer Name is different from others Printer Name.\n"
    "User must check if they are the same series.\nDo you want to continue?";
constexpr int kSet = 1;  // the Set button
// The controls of each mode's group, and the four radio sets.
const std::vector<int> kOnePcGroup = {1007, 1008, 1011, 1014, 1015, 1018, 1019, 1022, 1023};
const std::vector<int> kTwoPcGroup = {1012, 1013, 1043, 1044, 1039, 1040};
const std::vector<std::vector<int>> kRadioSets = {{1041, 1042}, {1036, 1037, 1038}, {1007, 1008, 1011}, {1012, 1013}};

// A configuration as the installer and an earlier Set leave it; `more` are
// further lines of its [Configuration] section.
std::string TwoPrinters(const std::string& mode, const std::string& nameA, const std::string& nameB,
                        const std::string& more = "") {
  return "[Configuration]\r\nPortCount=3\r\nInstalledDir=C:\\QV27-518\r\nMode=" + mode + "\r\n" + more +
         "[Printer Alias]\r\nPrinter1=Front\r\nPrinter2=Back\r\n[Printer Name]\r\nPrinter1=" + nameA +
         "\r\nPrinter2=" + nameB + "\r\n";
}

class SettingScenario : public ::testing::Test {
 protected:
  void SetUp() override { driver->AddPrinters({"QV_A", "QV_B"}, "QV_A"); }

  std::string Entry(const std::string& section, const std::string& key) {
    const auto file = driver->Configuration();
    return file ? IniEntry(*file, section, key) : "<no file>";
  }
  void ExpectEntries(const std::vector<std::tuple<const char*, const char*, std::string>>& entries) {
    for (const auto& [section, key, value] : entries) EXPECT_EQ(Entry(section, key), value) << section << "/" << key;
  }
  // Set, answered with OK: the one success message.
  void SetAndExpectSuccess() {
    const auto boxes = driver->Press(kSet, {kAnswerOk});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kSuccess);
    EXPECT_EQ(boxes[0].caption, kTitle);
    EXPECT_EQ(boxes[0].icon, BoxIcon::Information);
    EXPECT_TRUE(driver->Running()) << "Set leaves the dialog open";
  }
  // One mode's group can be used and the other's not; its radio alone is checked.
  void ExpectMode(bool onePc) {
    for (int id : kOnePcGroup) EXPECT_EQ(driver->IsEnabled(id), onePc) << id;
    for (int id : kTwoPcGroup) EXPECT_EQ(driver->IsEnabled(id), !onePc) << id;
    EXPECT_EQ(driver->IsChecked(1041), onePc);
    EXPECT_EQ(driver->IsChecked(1042), !onePc);
  }
  // Every control's text, enabling and check.
  std::vector<std::tuple<int, std::string, bool, bool>> Snapshot() {
    std::vector<std::tuple<int, std::string, bool, bool>> shot;
    for (const auto& control : expected::SettingDialog().controls) {
      const int id = control.id;
      shot.emplace_back(id, driver->Text(id), driver->IsEnabled(id), driver->IsChecked(id));
    }
    return shot;
  }
  // Leaving, confirmed.
  void Quit(Leaving how = Leaving::QuitButton) {
    const auto box = driver->Leave(how, kAnswerOk);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, kExitQuestion);
  }

  std::unique_ptr<ProgramDriver> driver = MakeProgramDriver();
};

TEST_F(SettingScenario, TheDialogShowsWhatTheFileHolds) {
  const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", n300(300, 'n'), n255(255, 'n');
  struct Case {
    const char* what;  // and the picture's name
    std::optional<std::string> file;
    bool onePc;
    int ports;                 // the LPT radios that can be chosen
    std::vector<int> checked;  // besides the mode radio
    std::vector<std::pair<int, std::string>> texts;
  };
  const Case cases[] = {
      {"defaults", std::nullopt, false, 1, {1007, 1013, 1036},
       {{1014, ""}, {1015, ""}, {1018, ""}, {1019, ""}, {1043, ""}, {1039, ""}}},
      {"one-pc-printer-b",
       "[Configuration]\r\nPortCount=2\r\nMode=Mode1-2\r\nMode1-2=PB\r\nMode2-1=FtpOFF\r\n"
       "FtpPath=C:\\FT\\FT.EXE\r\n[Printer Alias]\r\nPrinter1=Front desk laser\r\nPrinter2=" + thirty +
           "\r\n[Printer Name]\r\nPrinter1=HP LaserJet 4\r\nPrinter2=Epson FX-80\r\n",
       true, 2, {1008, 1013, 1036},
       {{1014, "Front desk laser"}, {1015, thirty},  // a stored alias shows whole
        {1018, "HP LaserJet 4"}, {1019, "Epson FX-80"}, {1043, "HP LaserJet 4"}, {1039, "C:\\FT\\FT.EXE"}}},
      // Section and key names ignore case, the values do not.
      {"other-cases", "[configuration]\r\nportcount=3\r\nmode=mode1-2\r\nMODE1-2=pb\r\nMode2-1=ftpON\r\n",
       false, 3, {1007, 1013, 1036}, {}},
      // What is longer than the program's buffer is cut to 255.
      {"long-values",
       "[Configuration]\r\nFtpPath=" + n300 + "\r\n[Printer Name]\r\nPrinter1=" + n300 + "\r\n",
       false, 1, {}, {{1039, n255}, {1018, n255}, {1043, n255}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    driver.reset();
    driver = MakeProgramDriver();
    if (c.file) driver->WriteConfiguration(*c.file);
    driver->Run([&] {
      ExpectMode(c.onePc);
      for (int id : c.checked) EXPECT_TRUE(driver->IsChecked(id)) << id;
      const auto checked = [&](int id) { return driver->IsChecked(id); };
      for (const auto& set : kRadioSets) {
        EXPECT_EQ(std::ranges::count_if(set, checked), 1) << set.front();
      }
      EXPECT_TRUE(driver->IsEnabled(1036));
      EXPECT_EQ(driver->IsEnabled(1037), c.ports >= 2);
      EXPECT_EQ(driver->IsEnabled(1038), c.ports >= 3);
      for (const auto& [id, text] : c.texts) EXPECT_EQ(driver->Text(id), text) << id;
      driver->SavePicture(c.what);
      Quit();
    });
    EXPECT_EQ(driver->Configuration(), c.file) << "opening and leaving write nothing";
  }
}

TEST_F(SettingScenario, SetSavesTheFormMakesTheChosenPrinterTheDefaultAndSaysSo) {
  driver->WriteConfiguration(TwoPrinters("Mode1-2", "QV_A", "QV_B"));
  const auto code = driver->Run([&] {
    driver->Type(1014, "Desk");
    driver->Type(1015, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    EXPECT_EQ(driver->Text(1015), "ABCDEFGHIJKLMNOPQRST") << "typing stops at twenty";
    driver->Press(1008);  // Select B
    driver->Press(1037);  // LPT2
    SetAndExpectSuccess();
    Quit();
  });
  EXPECT_EQ(code, 0);
  ExpectEntries({{"Configuration", "Mode", "Mode1-2"},
                 {"Configuration", "Mode1-2", "PB"},
                 {"Configuration", "Mode2-1", "FtpOFF"},
                 {"Configuration", "FtpPath", "<missing>"},  // not the one-PC mode's
                 {"Configuration", "PortCount", "3"},        // the installer's entries stay
                 {"Configuration", "InstalledDir", "C:\\QV27-518"},
                 {"Printer Alias", "Printer1", "Desk"},
                 {"Printer Alias", "Printer2", "ABCDEFGHIJKLMNOPQRST"},
                 {"Printer Name", "Printer1", "QV_A"},
                 {"Printer Name", "Printer2", "QV_B"}});
  EXPECT_EQ(driver->DefaultPrinter(), "QV_B");
}

TEST_F(SettingScenario, InTheSharedPrinterModeEachSetStartsTheTransferProgramAndDefaultsToPrinterA) {
  const std::string loaded = driver->RecordingCommand("--loaded");
  driver->WriteConfiguration(TwoPrinters("Mode2-1", "QV_B", "QV_A", "Mode2-1=FtpOFF\r\nFtpPath=" + loaded + "\r\n"));
  const std::string command = driver->RecordingCommand("--from-set");
  const auto code = driver->Run([&] {
    driver->Press(1012);  // Enable
    driver->Type(1039, command);
    SetAndExpectSuccess();
    EXPECT_EQ(driver->TakeRecordedStart(), "--from-set");
    SetAndExpectSuccess();
    EXPECT_EQ(driver->TakeRecordedStart(), "--from-set") << "a second Set starts it again";
    Quit(Leaving::EscapeKey);
  });
  EXPECT_EQ(code, 0);
  ExpectEntries({{"Configuration", "Mode", "Mode2-1"},
                 {"Configuration", "Mode2-1", "FtpON"},
                 {"Configuration", "FtpPath", command},
                 {"Printer Name", "Printer1", "QV_B"},
                 {"Printer Name", "Printer2", "QV_A"},  // printer B, the aliases, the installer's
                 {"Printer Alias", "Printer1", "Front"},  // entries: as they were
                 {"Configuration", "PortCount", "3"},
                 {"Configuration", "InstalledDir", "C:\\QV27-518"}});
  EXPECT_EQ(driver->DefaultPrinter(), "QV_B") << "the shared printer is printer A";
}

// A configuration file that cannot be written: Set does all the rest (a
// user who may not write the file can still switch) and says that the
// settings were not saved, never that it finished successfully.
TEST_F(SettingScenario, ASetThatCannotSaveSaysSoAndStillDoesTheRest) {
  driver->BlockConfiguration();
  const std::string command = driver->RecordingCommand("--unsaved");
  driver->Run([&] {
    driver->Press(1042);  // 2 PCs to 1 Printer
    driver->Press(1012);  // Enable
    driver->Type(1039, command);
    const auto boxes = driver->Press(kSet, {kAnswerOk});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "The settings could not be saved in QV27-518.ini.\nThe program will show the old settings next time.");
    EXPECT_EQ(boxes[0].caption, std::string(kTitle) + " Warning");
    EXPECT_EQ(boxes[0].icon, BoxIcon::Warning);
    EXPECT_EQ(driver->TakeRecordedStart(), "--unsaved");
    Quit();
  });
  EXPECT_EQ(driver->Configuration(), std::nullopt);
}

TEST_F(SettingScenario, BroadcastWarnsFirstWhenThePrintersAreNamedDifferently) {
  struct Case {
    const char* what;
    const char* nameB;
    std::vector<int> answers;  // to the boxes that Set shows
    bool shared = false;       // Set in the shared printer's mode
  };
  const Case cases[] = {{"cancelled", "QV_B", {kAnswerCancel}},
                        {"continued", "QV_B", {kAnswerOk, kAnswerOk}},
                        {"alike names", "QV_A", {kAnswerOk}},
                        {"in the shared printer's mode", "QV_B", {kAnswerOk}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool warned = !c.shared && std::string(c.nameB) != "QV_A";
    const bool saved = c.answers.back() == kAnswerOk;
    driver.reset();  // the last one's machine goes before the next one's is made
    driver = MakeProgramDriver();
    driver->AddPrinters({"QV_A", "QV_B"}, "QV_B");
    driver->WriteConfiguration(TwoPrinters("Mode1-2", "QV_A", c.nameB, "Mode1-2=Broadcast\r\n"));
    const auto before = driver->Configuration();
    std::string defaultBefore;  // as the running program finds it (Wine sets its own at start)
    driver->Run([&] {
      defaultBefore = driver->DefaultPrinter();
      EXPECT_TRUE(driver->IsChecked(1011)) << "Broadcast, as the file says";
      if (c.shared) driver->Press(1042);
      const auto boxes = driver->Press(kSet, c.answers);
      ASSERT_EQ(boxes.size(), c.answers.size());
      if (warned) {
        EXPECT_EQ(boxes[0].text, kNamesDiffer);
        EXPECT_EQ(boxes[0].caption, std::string(kTitle) + " Warning");
        EXPECT_EQ(boxes[0].icon, BoxIcon::Warning);
      }
      EXPECT_EQ(boxes.back().text, saved ? kSuccess : kNamesDiffer);
      EXPECT_TRUE(driver->IsChecked(1011)) << "the dialog keeps what the user chose";
      Quit();  // after a cancel, nothing else is said before the exit question
    });
    if (saved) {
      EXPECT_EQ(Entry("Configuration", "Mode"), c.shared ? "Mode2-1" : "Mode1-2");
      EXPECT_EQ(Entry("Configuration", "Mode1-2"), "Broadcast");
      EXPECT_EQ(driver->DefaultPrinter(), "QV_A") << "both print on printer A";
    } else {
      EXPECT_EQ(driver->Configuration(), before);
      EXPECT_EQ(driver->DefaultPrinter(), defaultBefore);
    }
  }
}

TEST_F(SettingScenario, TheModeRadiosSwapTheEnabledGroupAndNothingElse) {
  driver->WriteConfiguration(TwoPrinters("Mode2-1", "QV_A", "QV_B", "FtpPath=C:\\FT.EXE\r\n"));
  driver->Run([&] {
    const auto before = Snapshot();
    ExpectMode(false);
    driver->Press(1041);
    ExpectMode(true);
    const auto after = Snapshot();
    for (std::size_t i = 0; i < before.size(); ++i) {
      auto [id, text, enabled, checked] = before[i];
      if (std::ranges::count(kOnePcGroup, id) + std::ranges::count(kTwoPcGroup, id) > 0) {
        enabled = std::get<2>(after[i]);
      }
      if (id == 1041 || id == 1042) checked = std::get<3>(after[i]);
      EXPECT_EQ(after[i], std::make_tuple(id, text, enabled, checked)) << id;
    }
    driver->Press(1041);
    EXPECT_EQ(Snapshot(), after) << "clicking the checked radio again changes nothing visible";
    driver->Press(1042);
    EXPECT_EQ(Snapshot(), before);
    Quit();
  });
}

TEST_F(SettingScenario, QuitEscapeAndTheCloseBoxAllAskFirstAndWriteNothing) {
  const auto code = driver->Run([&] {
    driver->Press(1042);
    driver->Type(1039, "C:\\NEW.EXE");
    for (const Leaving how : {Leaving::QuitButton, Leaving::EscapeKey, Leaving::CloseBox}) {
      const auto box = driver->Leave(how, kAnswerCancel);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->text, kExitQuestion);
      EXPECT_EQ(box->caption, kTitle);
      EXPECT_EQ(box->icon, BoxIcon::Question);
      EXPECT_TRUE(driver->Running()) << "Cancel keeps the program open";
      EXPECT_EQ(driver->Text(1039), "C:\\NEW.EXE") << "and the form as it was";
    }
    Quit(Leaving::CloseBox);
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(driver->Configuration()) << "leaving writes no configuration file";
}

}  // namespace
}  // namespace qv::testing
