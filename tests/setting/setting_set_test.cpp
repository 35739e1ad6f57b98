// Set: what reaches the configuration file, the printer store, the port
// driver and the launcher, in which order, and what the user is told.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/window_constants.h"
#include "tests/setting/setting_fixture.h"

namespace qv {
namespace {

using testing::ProfileWrite;
using testing::TestWindow;

constexpr const char* kFile = "QV27-518.ini";

class SettingSet : public SettingFixture {
 protected:
  void SetUp() override {
    printers.printers = {{0, "Laser A", "winspool,LPT1:"}, {0, "Laser B", "winspool,LPT2:"},
                         {0, "laser a", "winspool,FILE:"}};
  }

  // A configuration with both printers named and three ports.
  TestWindow& OpenWith(std::string_view mode, std::string_view nameA = "Laser A",
                       std::string_view nameB = "Laser B") {
    WriteConfig("[Configuration]\r\nPortCount=3\r\nInstalledDir=C:\\QV27-518\r\nMode=" + std::string(mode) +
                "\r\nFtpPath=C:\\OLD\\FT.EXE\r\n[Printer Alias]\r\nPrinter1=Front\r\nPrinter2=Back\r\n"
                "[Printer Name]\r\nPrinter1=" + std::string(nameA) + "\r\nPrinter2=" + std::string(nameB) + "\r\n");
    return OpenDialog();
  }

  std::vector<std::uint8_t> SentBytes() const {
    std::vector<std::uint8_t> out;
    for (const auto& r : port.requests)
      if (r.request.registerOffset == kDataRegister) out.push_back(r.request.value);
    return out;
  }

  int SuccessBoxes() const {
    return static_cast<int>(std::count_if(host.MessageBoxes().begin(), host.MessageBoxes().end(), [](auto& box) {
      return box.text == "System finishes setting successfully.";
    }));
  }
};

TEST_F(SettingSet, EachChoiceSendsItsCommandToThePortOfTheCheckedRadio) {
  struct Case {
    const char* mode;
    int choice;  // the radio that the user checks
    int lpt;
    std::vector<std::uint8_t> headStart;
    std::uint8_t lastByte;
    std::size_t requests;
  };
  const Case cases[] = {
      {"Mode1-2", 1007, 1036, {0x01, 0x81, 0x02, 0x82, 0x40}, 0x80, 20},
      {"Mode1-2", 1008, 1037, {0x01, 0x81, 0x02, 0x82, 0x41}, 0x84, 20},
      {"Mode1-2", 1011, 1038, {0x01, 0x81, 0x02, 0x82, 0x42}, 0x88, 20},
      {"Mode2-1", 1012, 1037, {0x24, 0xA4, 0x42, 0xC2, 0xF3}, 0xE9, 17},
      {"Mode2-1", 1013, 1036, {0x24, 0xA4, 0x42, 0xC2, 0xE3}, 0xA9, 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice);
    port.requests.clear();
    port.closedAt.clear();
    TestWindow& w = OpenWith(c.mode, "Same", "Same");
    w.Click(c.choice);
    w.Click(c.lpt);
    w.Click(kIdOk);
    ASSERT_EQ(port.requests.size(), c.requests);
    const std::uint32_t expectedPort = static_cast<std::uint32_t>(c.lpt - 1035);
    for (const auto& r : port.requests) EXPECT_EQ(r.request.port, expectedPort);
    const auto bytes = SentBytes();
    EXPECT_TRUE(std::equal(c.headStart.begin(), c.headStart.end(), bytes.begin()));
    EXPECT_EQ(bytes.back(), c.lastByte);
    EXPECT_FALSE(w.Ended()) << "Set never closes the dialog";
  }
}

// What the user sees after the cancelled warning is a program scenario;
// here, that none of the services was touched.
TEST_F(SettingSet, CancelOnTheWarningTouchesNoService) {
  TestWindow& w = OpenWith("Mode1-2");
  w.Click(1011);
  host.AnswerNextMessageBox(kIdCancel);
  w.Click(kIdOk);
  EXPECT_TRUE(profile.writes.empty());
  EXPECT_EQ(printers.openLists, 0);
  EXPECT_EQ(port.opens, 0);
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(SettingSet, BroadcastInTheSharedPrinterModeIsSavedButSendsTheTransferCommand) {
  TestWindow& w = OpenWith("Mode1-2", "Laser A", "Laser B");
  w.Click(1011);
  w.Click(1042);
  w.Click(1012);
  w.Type(1039, "C:\\FT\\FT.EXE /s");
  w.Click(kIdOk);
  EXPECT_EQ(SuccessBoxes(), 1);
  EXPECT_EQ(host.MessageBoxes().size(), 1u) << "no warning in this mode";
  EXPECT_EQ(Entry("Configuration", "Mode"), "Mode2-1");
  EXPECT_EQ(Entry("Configuration", "Mode1-2"), "Broadcast");
  EXPECT_EQ(Entry("Configuration", "Mode2-1"), "FtpON");
  EXPECT_EQ(port.requests.size(), 17u);
  EXPECT_EQ(SentBytes().back(), 0xE9);
  EXPECT_EQ(printers.defaultWrites, (std::vector<std::string>{"Laser A,winspool,LPT1:"}))
      << "the shared printer is printer A";
}

TEST_F(SettingSet, TheTransferProgramStartsOnlyInTheSharedPrinterMode) {
  TestWindow& w = OpenWith("Mode1-2");
  w.Click(1042);
  w.Click(1012);
  w.Click(1041);  // back to one PC, with Enable still checked
  w.Click(kIdOk);
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_EQ(Entry("Configuration", "Mode2-1"), "FtpON");
  EXPECT_EQ(Entry("Configuration", "FtpPath"), "C:\\OLD\\FT.EXE") << "not written in this mode";
}

TEST_F(SettingSet, TheTransferProgramIsSavedFirstAndStartedAfterTheCommandAtEachSet) {
  TestWindow& w = OpenWith("Mode2-1");
  w.Click(1012);
  w.Type(1039, "  C:\\Program Files\\FT\\ft.exe -x  ");
  w.Click(kIdOk);
  ASSERT_EQ(launcher.started, (std::vector<std::string>{"  C:\\Program Files\\FT\\ft.exe -x  "}))
      << "the edit text, unchanged";
  const auto at = [&](const std::string& event) {
    return std::find(log.begin(), log.end(), event) - log.begin();
  };
  EXPECT_LT(at("write Configuration/FtpPath"), at("port open"));
  EXPECT_LT(at("port close"), at("start " + launcher.started[0]));
  w.PressEnter();  // Enter anywhere in the dialog is Set as well, and repeats everything
  EXPECT_EQ(launcher.started.size(), 2u);
  EXPECT_EQ(port.opens, 2);
  EXPECT_EQ(port.requests.size(), 34u);
  EXPECT_EQ(SuccessBoxes(), 2);
  EXPECT_EQ(printers.defaultWrites.size(), 2u);
  EXPECT_FALSE(w.Ended());
}

TEST_F(SettingSet, EachModeSavesItsOwnEntriesInOrderAndNothingElse) {
  {
    TestWindow& w = OpenWith("Mode1-2");
    w.Click(1008);
    w.Type(1014, "Desk");
    w.Type(1015, "");
    w.Click(kIdOk);
    EXPECT_EQ(profile.writes, (std::vector<ProfileWrite>{
                                  {"Configuration", "Mode", "Mode1-2", kFile},
                                  {"Configuration", "Mode1-2", "PB", kFile},
                                  {"Configuration", "Mode2-1", "FtpOFF", kFile},
                                  {"Printer Alias", "Printer1", "Desk", kFile},
                                  {"Printer Name", "Printer1", "Laser A", kFile},
                                  {"Printer Alias", "Printer2", "", kFile},
                                  {"Printer Name", "Printer2", "Laser B", kFile},
                              }));
    EXPECT_EQ(printers.defaultWrites, (std::vector<std::string>{"Laser B,winspool,LPT2:"}));
  }
  profile.writes.clear();
  {
    TestWindow& w = OpenWith("Mode2-1");
    w.Type(1039, "D:\\FT.EXE");
    w.Click(kIdOk);
    EXPECT_EQ(profile.writes, (std::vector<ProfileWrite>{
                                  {"Configuration", "Mode", "Mode2-1", kFile},
                                  {"Configuration", "Mode1-2", "PA", kFile},
                                  {"Configuration", "Mode2-1", "FtpOFF", kFile},
                                  {"Configuration", "FtpPath", "D:\\FT.EXE", kFile},
                                  {"Printer Name", "Printer1", "Laser A", kFile},
                              }));
  }
}

TEST_F(SettingSet, APrinterMissingFromTheDeviceListLeavesTheDefaultAlone) {
  TestWindow& w = OpenWith("Mode1-2", "Gone Printer", "Laser B");
  w.Click(kIdOk);
  EXPECT_TRUE(printers.defaultWrites.empty());
  EXPECT_EQ(SuccessBoxes(), 1);
  EXPECT_EQ(port.requests.size(), 20u);
}

// The first focus is the checked mode radio (a checked radio button is a tab
// stop), never a Change button that would open the printer chooser: Enter
// right after the start is Set. The Qt host's: native_setting_test.cpp.
TEST_F(SettingSet, EnterRightAfterTheStartIsSet) {
  for (const auto& [mode, focus] : {std::pair{"Mode1-2", 1041}, std::pair{"Mode2-1", 1042}}) {
    SCOPED_TRACE(mode);
    TestWindow& w = OpenWith(mode);
    EXPECT_EQ(w.FocusedItem(), focus);
    const int before = SuccessBoxes();
    w.PressEnter();
    EXPECT_EQ(SuccessBoxes(), before + 1);
    EXPECT_TRUE(host.PrinterChoosers().empty());
  }
}

TEST_F(SettingSet, WithoutAnyFileSetWritesACompleteConfiguration) {
  TestWindow& w = OpenDialog();
  w.Click(kIdOk);
  EXPECT_EQ(Entry("Configuration", "Mode"), "Mode2-1");
  EXPECT_EQ(Entry("Configuration", "Mode1-2"), "PA");
  EXPECT_EQ(Entry("Configuration", "Mode2-1"), "FtpOFF");
  EXPECT_EQ(Entry("Configuration", "FtpPath"), "");
  EXPECT_EQ(Entry("Printer Name", "Printer1"), "");
  EXPECT_EQ(Entry("Configuration", "PortCount"), "<missing>") << "the installer's entry is not the program's";
  EXPECT_EQ(port.requests.front().request.port, 1u);
}

}  // namespace
}  // namespace qv
