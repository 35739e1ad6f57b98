// What the setting dialog shows when it opens, for the configuration files
// a user's machine may hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "framework/window_constants.h"
#include "setting/setting_app.h"
#include "setting/setting_dlg.h"
#include "tests/setting/setting_fixture.h"

namespace qv {

// The four-printer layout exists in code only; the tests open it on a
// template of their own.
std::span<const std::uint8_t> SettingTestResourceBytes();

namespace {

using testing::TestWindow;

class SettingLoad : public SettingFixture {};

TEST_F(SettingLoad, EachStoredValueMapsToItsRadioAndTheModeToItsGroup) {
  struct Case {
    const char* entry;
    int checked;
    bool lpt2 = false, lpt3 = false;  // LPT1 is always there
  };
  const Case cases[] = {
      {"PortCount=0", 1036},          {"PortCount=-1", 1036},       {"PortCount=1", 1036},
      {"PortCount=2", 1036, true},    {"PortCount=3", 1036, true, true},
      {"PortCount=7", 1036, true, true},                            {"PortCount=two", 1036},
      {"PortCount=", 1036},           {"Mode=Mode1-2", 1041},       {"Mode=Mode2-1", 1042},
      {"Mode=MODE1-2", 1042},         {"Mode=Mode1-4", 1042},       {"Mode=x", 1042},
      {"Mode=", 1042},                {"Mode1-2=PA", 1007},         {"Mode1-2=PB", 1008},
      {"Mode1-2=Broadcast", 1011},    {"Mode1-2=", 1007},           {"Mode1-2=Pb", 1007},
      {"Mode1-2=PC", 1007},           {"Mode1-2=broadcast", 1007},  {"Mode1-2=\"PB \"", 1007},
      {"Mode2-1=FtpON", 1012},        {"Mode2-1=FtpOFF", 1013},     {"Mode2-1=FTPON", 1013},
      {"Mode2-1=\"FtpON \"", 1013}, {"Mode2-1=on", 1013},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    WriteConfig(std::string("[Configuration]\n") + c.entry + "\n[Printer Name]\nPrinter1=P1\n");
    TestWindow& w = OpenDialog();
    EXPECT_TRUE(w.IsChecked(c.checked));
    for (const auto& set : {std::vector{1041, 1042}, {1036, 1037, 1038}, {1007, 1008, 1011}, {1012, 1013}}) {
      EXPECT_EQ(std::ranges::count_if(set, [&](int id) { return w.IsChecked(id); }), 1) << set.front();
    }
    EXPECT_EQ(w.IsEnabled(1037), c.lpt2);
    EXPECT_EQ(w.IsEnabled(1038), c.lpt3);
    const bool onePc = std::string_view(c.entry) == "Mode=Mode1-2";
    EXPECT_EQ(w.IsChecked(1041), onePc);
    for (int id : CSettingDlg::kOnePcGroup) EXPECT_EQ(w.IsEnabled(id), onePc) << id;
    for (int id : CSettingDlg::kTwoPcGroup) EXPECT_EQ(w.IsEnabled(id), !onePc) << id;
    for (int id : {1041, 1042, 1036, 1001, kIdOk, kIdCancel, 1026}) {
      EXPECT_TRUE(w.IsEnabled(id)) << id;
    }
    EXPECT_EQ(w.Text(1043), "P1");
    EXPECT_EQ(w.Text(1018), "P1");
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
  w.Type(1014, "short");
  EXPECT_EQ(w.Text(1014), "short");
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

}  // namespace
}  // namespace qv
