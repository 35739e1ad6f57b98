// The setting dialog on the testing host. What it shows when it opens, for
// the configuration files a user's machine may hold; Set and what leads to
// it: what reaches the configuration file, the printer store, the port
// driver and the launcher, in which order, and what the user is told; the
// printer and program choosers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "framework/window_constants.h"
#include "setting/setting_app.h"
#include "setting/setting_dlg.h"
#include "setting/switch_command.h"
#include "tests/setting/setting_fixture.h"

namespace qv {

// The four-printer layout exists in code only; the tests open it on a
// template of their own.
std::span<const std::uint8_t> SettingTestResourceBytes();

namespace {

using testing::ProfileWrite;
using testing::TestWindow;

class SettingLoad : public SettingFixture {};

// The scenarios' file table holds both modes, PB, FtpOFF, two and three
// ports and values in other cases; here, the rest. Any other mode is the
// shared printer's.
TEST_F(SettingLoad, EachStoredValueMapsToItsRadioAndAnyOtherModeIsTheSharedPrintersOne) {
  struct Case {
    const char* entry;
    int checked;
    bool allPorts = false;  // else LPT1 alone
  };
  const Case cases[] = {
      {"PortCount=0", 1036},         {"PortCount=-1", 1036},      {"PortCount=1", 1036},
      {"PortCount=7", 1036, true},   {"PortCount=two", 1036},     {"PortCount=", 1036},
      {"Mode=Mode1-4", 1042},        {"Mode=x", 1042},            {"Mode=", 1042},
      {"Mode1-2=PA", 1007},          {"Mode1-2=Broadcast", 1011}, {"Mode1-2=", 1007},
      {"Mode1-2=PC", 1007},          {"Mode1-2=broadcast", 1007}, {"Mode1-2=\"PB \"", 1007},
      {"Mode2-1=FtpON", 1012},       {"Mode2-1=\"FtpON \"", 1013}, {"Mode2-1=on", 1013},
  };
  const std::vector<std::vector<int>> radioSets = {
      {1041, 1042}, {1036, 1037, 1038}, {1007, 1008, 1011}, {1012, 1013}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    WriteConfig(std::string("[Configuration]\n") + c.entry + "\n");
    TestWindow& w = OpenDialog();
    EXPECT_TRUE(w.IsChecked(c.checked));
    const auto checked = [&](int id) { return w.IsChecked(id); };
    for (const auto& set : radioSets) {
      EXPECT_EQ(std::ranges::count_if(set, checked), 1) << set.front();
    }
    EXPECT_EQ(w.IsEnabled(1037), c.allPorts);
    EXPECT_EQ(w.IsEnabled(1038), c.allPorts);
    EXPECT_TRUE(w.IsChecked(1042));
    for (int id : CSettingDlg::kOnePcGroup) EXPECT_FALSE(w.IsEnabled(id)) << id;
    for (int id : CSettingDlg::kTwoPcGroup) EXPECT_TRUE(w.IsEnabled(id)) << id;
    for (int id : {1041, 1042, 1036, 1001, kIdOk, kIdCancel, 1026}) {
      EXPECT_TRUE(w.IsEnabled(id)) << id;
    }
  }
}

// A stored alias shows whole and typing over it stops at twenty: the
// scenarios; here, the limits and that typing at its end adds nothing.
TEST_F(SettingLoad, ALongAliasCannotBeLengthened) {
  const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  WriteConfig("[Configuration]\nMode=Mode1-2\n[Printer Alias]\nPrinter1=" + thirty + "\n");
  TestWindow& w = OpenDialog();
  EXPECT_EQ(w.TextLimit(1014), 20);
  EXPECT_EQ(w.TextLimit(1015), 20);
  w.TypeAtEnd(1014, "more");
  EXPECT_EQ(w.Text(1014), thirty);
}

TEST_F(SettingLoad, TheSystemMenuEndsWithAboutAndItsOtherCommandsGoToThePlatform) {
  TestWindow& w = OpenDialog();
  const auto& texts = w.SystemMenuTexts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "-");
  EXPECT_EQ(texts.back(), "&About QV27-518 Setting Program...");
  EXPECT_EQ(w.SystemMenuCommands().back(), 0x0010u);
  EXPECT_EQ(w.Icon(true).resourceId, 128u);
  EXPECT_EQ(w.Icon(false).resourceId, 128u);
  EXPECT_EQ(w.QueryDragIcon()->resourceId, 128u);
  w.SystemCommand(0x0013);  // About with the platform's low bits set
  EXPECT_EQ(host.ModalRuns(), (std::vector<int>{101}));
  w.SystemCommand(kScMinimize);
  EXPECT_TRUE(w.IsIconic());
  EXPECT_EQ(host.ModalRuns().size(), 1u);
}

TEST_F(SettingLoad, AboutFromItsButtonOrTheSystemMenuShowsTheStoredVersionOnlyWhenThereIsOne) {
  struct Case {
    const char* file;
    const char* shown;
  };
  for (const Case& c : {Case{"", "Version 2.00"}, Case{"[Product]\nVersionStr=\n", ""},
                        Case{"[product]\nversionstr=Version 3.1 beta\n", "Version 3.1 beta"},
                        Case{"[Product]\nOther=1\n", "Version 2.00"}}) {
    SCOPED_TRACE(c.file);
    WriteConfig(c.file);
    TestWindow& w = OpenDialog();
    for (const bool button : {true, false}) {
      std::string shown = "<not opened>";
      host.WhenDialogRuns(101, [&](TestWindow& about) {
        shown = about.Text(1028);
        about.PressEnter();
      });
      EXPECT_TRUE(button ? w.Click(1026) : w.SystemCommand(0x0010));
      EXPECT_EQ(shown, c.shown);
      EXPECT_EQ(host.LastWindow(101)->EndCode(), kIdOk);
    }
    EXPECT_FALSE(w.Ended());
  }
}

TEST_F(SettingLoad, TheMinimizedDialogPaintsItsIconCentred) {
  TestWindow& w = OpenDialog();
  const auto normal = w.Paint();
  EXPECT_TRUE(normal.defaultPainting);
  EXPECT_TRUE(normal.icons.empty());

  w.Minimize();
  host.SetSystemIconSize({32, 32});
  struct Case {
    Size client;
    int x, y;
  };
  // (client - icon + 1) / 2, truncated toward zero, also when negative.
  for (const Case& c : {Case{{160, 28}, 64, -1}, Case{{33, 32}, 1, 0}, Case{{20, 10}, -5, -10}}) {
    w.SetClientSize(c.client);
    const auto paint = w.Paint();
    EXPECT_FALSE(paint.defaultPainting);
    EXPECT_EQ(paint.erasedBackgrounds, 1);
    EXPECT_EQ(paint.begunPaints, 1);
    EXPECT_EQ(paint.endedPaints, 1);
    ASSERT_EQ(paint.icons.size(), 1u);
    EXPECT_EQ(paint.icons[0].icon.resourceId, 128u);
    EXPECT_EQ(paint.icons[0].x, c.x);
    EXPECT_EQ(paint.icons[0].y, c.y);
  }
}

TEST_F(SettingLoad, TheProgramShowsTheDialogModallyAndEndsWithIt) {
  WriteConfig("[Configuration]\nMode=Mode1-2\nPortCount=3\n");
  bool sawDialog = false;
  host.WhenDialogRuns(102, [&](TestWindow& w) {
    sawDialog = w.IsChecked(1041) && w.IsEnabled(1038);
    host.AnswerNextMessageBox(kIdOk);
    w.PressEscape();
  });
  CSettingApp app;
  EXPECT_EQ(app.Run(host, services), 0);
  EXPECT_TRUE(sawDialog);
  EXPECT_TRUE(host.ControlsPrepared());
  EXPECT_EQ(host.ModalRuns(), (std::vector<int>{102}));
  EXPECT_EQ(host.LastWindow(102)->EndCode(), kIdCancel);
  EXPECT_FALSE(host.LastWindow(102)->EndedByHost());
}

// The four-printer layout: rows C and D, their Printer3 and Printer4 keys,
// the words of that layout and no shared printer.
class CFourPrinterDlg : public CSettingDlg {
 public:
  CFourPrinterDlg(DialogHost& host, const SettingServices& services) : CSettingDlg(host, services, 103) {}
  const ConfigVocabulary& Words() const { return vocabulary; }
  const std::array<std::string, 5>& Names() const { return printerNames; }
  const std::array<int, 9>& Ids() const { return controlIds; }

 protected:
  bool OnInitDialog() override { return InitPrinterControls(4) != 0; }
};

TEST_F(SettingLoad, TheFourPrinterLayoutFillsFourRows) {
  testing::TestingHost fourHost(*ResourceBundle::FromResFile(SettingTestResourceBytes()));
  WriteConfig("[Printer Alias]\nPrinter3=Third\nPrinter4=Fourth\n[Printer Name]\nPrinter1=N1\nPrinter4=N4\n");
  CFourPrinterDlg four(fourHost, services);
  TestWindow& w = fourHost.Open(four);
  EXPECT_EQ(w.Text(1016), "Third");
  EXPECT_EQ(w.Text(1017), "Fourth");
  EXPECT_EQ(w.Text(1021), "N4");
  EXPECT_EQ(w.TextLimit(1017), 20);
  EXPECT_EQ(four.Names(), (std::array<std::string, 5>{"N1", "", "", "N4", ""}));
  EXPECT_EQ(four.Ids(), (std::array<int, 9>{1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1043}));
  EXPECT_EQ(four.Words().selectC, "PC");
  EXPECT_EQ(four.Words().selectD, "PD");
  EXPECT_EQ(four.Words().ftpOn, "") << "the transfer words belong to the two-printer layout";
  EXPECT_EQ(four.Words().modeOnePc, "");
  EXPECT_EQ(four.Words().modeFour, "Mode1-4");
}

constexpr const char* kFile = "QV27-518.ini";

// Every control's text, enabling and check, to show that nothing moved.
std::vector<std::tuple<int, std::string, bool, bool>> Snapshot(const TestWindow& w) {
  std::vector<std::tuple<int, std::string, bool, bool>> out;
  for (const auto& item : w.Template().items) {
    const int id = static_cast<int>(item.id);
    out.emplace_back(id, w.Text(id), w.IsEnabled(id), w.IsChecked(id));
  }
  return out;
}

class SettingSet : public SettingFixture {
 protected:
  void SetUp() override {
    printers.printers = {{0, "Laser A", "winspool,LPT1:"}, {0, "Laser B", "winspool,LPT2:"},
                         {0, "laser a", "winspool,FILE:"}, {0, "New A", "winspool,LPT3:"}};
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
    return static_cast<int>(std::ranges::count_if(host.MessageBoxes(), [](auto& box) {
      return box.text == "System finishes setting successfully.";
    }));
  }
};

// The printers' name is in no device list: the default stays as it was.
TEST_F(SettingSet, EachChoiceSendsItsCommandToThePortOfTheCheckedRadio) {
  using namespace switch_commands;
  struct Case {
    const char* mode;
    std::vector<int> choice;  // the radios that the user checks
    int lpt;
    const SwitchCommand& command;
  };
  const Case cases[] = {
      {"Mode1-2", {1007}, 1036, kSelectA},
      {"Mode1-2", {1008}, 1037, kSelectB},
      {"Mode1-2", {1011}, 1038, kBroadcast},
      {"Mode2-1", {1012}, 1037, kTransferOn},
      {"Mode2-1", {1013}, 1036, kTransferOff},
      // Broadcast stays chosen, but the shared printer's mode sends its own.
      {"Mode1-2", {1011, 1042, 1012}, 1036, kTransferOn},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice.back());
    port.requests.clear();
    TestWindow& w = OpenWith(c.mode, "Same", "Same");
    for (int id : c.choice) w.Click(id);
    w.Click(c.lpt);
    w.Click(kIdOk);
    std::vector<std::uint8_t> bytes(c.command.head.begin(), c.command.head.end());
    bytes.insert(bytes.end(), c.command.tail.begin(), c.command.tail.end());
    EXPECT_EQ(SentBytes(), bytes);
    ASSERT_EQ(port.requests.size(), bytes.size() + 2) << "and the two control writes";
    const std::uint32_t expectedPort = static_cast<std::uint32_t>(c.lpt - 1035);
    for (const auto& r : port.requests) EXPECT_EQ(r.request.port, expectedPort);
    EXPECT_EQ(host.MessageBoxes().back().text, "System finishes setting successfully.");
    EXPECT_TRUE(printers.defaultWrites.empty());
  }
}

// What the user sees after the cancelled warning, the file and the default
// printer as they were, is a program scenario; here, that nothing was
// written and the port was never opened.
TEST_F(SettingSet, CancelOnTheWarningTouchesNoService) {
  TestWindow& w = OpenWith("Mode1-2");
  w.Click(1011);
  host.AnswerNextMessageBox(kIdCancel);
  w.Click(kIdOk);
  EXPECT_TRUE(profile.writes.empty());
  EXPECT_EQ(port.opens, 0);
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
    w.Click(1042);
    w.Click(1012);
    w.Click(1041);  // back to one PC, with Enable still checked
    w.Click(1008);
    w.Type(1014, "Desk");
    w.Type(1015, "");
    w.Click(kIdOk);
    EXPECT_TRUE(launcher.started.empty()) << "the transfer program starts in its mode only";
    EXPECT_EQ(profile.writes, (std::vector<ProfileWrite>{
                                  {"Configuration", "Mode", "Mode1-2", kFile},
                                  {"Configuration", "Mode1-2", "PB", kFile},
                                  {"Configuration", "Mode2-1", "FtpON", kFile},
                                  {"Printer Alias", "Printer1", "Desk", kFile},
                                  {"Printer Name", "Printer1", "Laser A", kFile},
                                  {"Printer Alias", "Printer2", "", kFile},
                                  {"Printer Name", "Printer2", "Laser B", kFile},
                              }));
    EXPECT_EQ(printers.defaultWrites, (std::vector<std::string>{"Laser B,winspool,LPT2:"}));
    EXPECT_EQ(profile.batches, 1) << "one Set is one batch of the configuration file";
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
    EXPECT_EQ(profile.batches, 2);
    EXPECT_EQ(profile.singles, 0);
  }
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

// Printer A is the shared printer: choosing either shows the choice in both
// places, and a Set in either mode saves it and makes it the default. Printer
// B is saved in the one-PC mode only. A chooser without a device name
// empties the slot; a cancelled one changes no field.
TEST_F(SettingSet, AChosenPrinterIsShownAndSetSavesItAndMakesItTheDefault) {
  const std::vector<std::string> laserA(2, "Laser A,winspool,LPT1:");
  const std::vector<std::string> newA(2, "New A,winspool,LPT3:");
  struct Case {
    int button;
    std::optional<std::string> chosen;
    const char *a, *b;  // what printer A and B show and are saved as
    std::vector<std::string> defaults;  // after a Set in each mode
  };
  const Case cases[] = {
      {1022, "New A", "New A", "Laser B", newA},    {1044, "New A", "New A", "Laser B", newA},
      {1023, "New B", "Laser A", "New B", laserA},  {1044, "", "", "Laser B", {}},
      {1022, std::nullopt, "Laser A", "Laser B", laserA},
      {1023, std::nullopt, "Laser A", "Laser B", laserA},
      {1044, std::nullopt, "Laser A", "Laser B", laserA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.button) + " " + c.chosen.value_or("cancelled"));
    TestWindow& w = OpenWith("Mode2-1");
    printers.defaultWrites.clear();
    const std::size_t choosers = host.PrinterChoosers().size();
    host.AnswerNextPrinterChooser(c.chosen);
    if (c.button != 1044) w.Click(1041);
    const auto before = Snapshot(w);
    w.Click(c.button);
    ASSERT_EQ(host.PrinterChoosers().size(), choosers + 1);
    EXPECT_EQ(host.PrinterChoosers().back().flags, 0x0014000Cu);
    EXPECT_TRUE(c.chosen || Snapshot(w) == before) << "a cancelled chooser changes no field";
    EXPECT_EQ(w.Text(1018), c.a);
    EXPECT_EQ(w.Text(1043), c.a);
    EXPECT_EQ(w.Text(1019), c.b);
    w.Click(1042);
    w.Click(kIdOk);
    EXPECT_EQ(Entry("Printer Name", "Printer1"), c.a);
    EXPECT_EQ(Entry("Printer Name", "Printer2"), "Laser B") << "B is saved in one mode only";
    w.Click(1041);
    w.Click(kIdOk);
    EXPECT_EQ(Entry("Printer Name", "Printer1"), c.a);
    EXPECT_EQ(Entry("Printer Name", "Printer2"), c.b);
    EXPECT_EQ(printers.defaultWrites, c.defaults);
  }
}

TEST_F(SettingSet, BrowseFillsThePathOnlyOnOk) {
  TestWindow& w = OpenWith("Mode2-1");
  w.Click(1040);
  EXPECT_EQ(w.Text(1039), "C:\\OLD\\FT.EXE") << "cancel keeps the text";
  host.AnswerNextFileChooser("D:\\TOOLS\\TRANSFER.EXE");
  w.Click(1040);
  EXPECT_EQ(w.Text(1039), "D:\\TOOLS\\TRANSFER.EXE");
  ASSERT_EQ(host.FileChoosers().size(), 2u);
  const auto& call = host.FileChoosers()[0];
  EXPECT_EQ(call.filter, std::string("Executables (*.exe)\0\0", 21)) << "one entry with an empty pattern";
  EXPECT_EQ(call.initialName, "*.exe");
  EXPECT_EQ(call.flags, 0x0804u);
  EXPECT_EQ(call.ownerTemplate, 102);
}

// Only a port that is there but could not be told is worth a word.
TEST_F(SettingSet, APortTheSwitchCouldNotBeToldThroughIsNamedInAWarning) {
  const std::string warning = "QV27-518 Software Setting Program Warning";
  const std::string notTold = "\nThe settings were saved, but the switch was not told.";
  struct Case {
    PortFailure failure;
    int lpt;
    std::string text, caption;
    unsigned style;
    bool unsaved = false;  // a folder where the configuration file goes
  };
  const Case cases[] = {
      {PortFailure::kAbsent, 1037, "System finishes setting successfully.",
       "QV27-518 Software Setting Program", kMbOk | kMbIconInformation},
      {PortFailure::kBusy, 1037, "LPT2 is in use by another program." + notTold, warning,
       kMbOk | kMbIconExclamation},
      {PortFailure::kNotPermitted, 1038, "This user may not use LPT3." + notTold, warning,
       kMbOk | kMbIconExclamation},
      {PortFailure::kBusy, 1037, "The settings could not be saved in QV27-518.ini, and the switch was not told.",
       warning, kMbOk | kMbIconExclamation, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    port.openFailure = c.failure;
    TestWindow& w = OpenWith("Mode1-2");
    if (c.unsaved) {
      std::filesystem::remove(ConfigPath());
      std::filesystem::create_directory(ConfigPath());
    }
    w.Click(c.lpt);
    const std::size_t before = host.MessageBoxes().size();
    w.Click(kIdOk);
    ASSERT_EQ(host.MessageBoxes().size(), before + 1);
    const testing::ShownMessageBox& box = host.MessageBoxes().back();
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.style, c.style);
  }
}

}  // namespace
}  // namespace qv
