// The installer from its start to Ready: the application object, the
// dialog's initialisation, the deferred start-up with its status texts and
// pauses and the ports it counts, the information file missing, and what
// stays live in Ready: exit, About, painting when minimized, and Setup
// pressed too early.
#include <gtest/gtest.h>

#include "framework/window_constants.h"
#include "installer/install_app.h"
#include "tests/installer/expected_installer.h"
#include "tests/installer/installer_fixture.h"

namespace qv {
namespace {

using expected::kSetupReady;
using testing::TestWindow;

class InstallerStart : public InstallerFixture {};

TEST_F(InstallerStart, TheDeferredStartUpShowsEachStepForASecond) {
  WriteInf("[Configuration]\r\nInitialFile=QV27-518.ini\r\n");
  TestWindow& w = OpenDialog();
  EXPECT_EQ(w.Text(kPath), "C:\\QV27-518");
  EXPECT_TRUE(statusLine.empty()) << "nothing happens before the dialog's loop reaches the posted message";

  host.PumpAll();
  ASSERT_EQ(StatusTexts(), (std::vector<std::string>{"Checking PC LPT port", "", "Reading information file", "",
                                                     kSetupReady}));
  const auto at = [&](std::size_t i) { return statusLine[i].at - statusLine[0].at; };
  EXPECT_GE(at(1), 1000u);
  EXPECT_LT(at(1), 1010u);
  EXPECT_LT(at(2) - at(1), 5u) << "the next step follows at once";
  EXPECT_GE(at(3) - at(2), 1000u);
  EXPECT_LT(at(3) - at(2), 1010u);
  EXPECT_EQ(ports.reads, 1);
  EXPECT_FALSE(w.Ended());
  EXPECT_TRUE(host.MessageBoxes().empty());
}

// Its message, caption, icon and button: setup_scenarios.cpp.
TEST_F(InstallerStart, AMissingInformationFileEndsTheProgramBeforeAnythingIsLookedAt) {
  files.modulePath = "D:\\DISTRIB\\DISK1\\SETUP.EXE";
  TestWindow& w = StartDialog();
  ASSERT_EQ(host.MessageBoxes().size(), 1u);
  EXPECT_EQ(host.MessageBoxes()[0].ownerTemplate, 101);
  EXPECT_EQ(w.EndCode(), 0);
  EXPECT_EQ(w.Text(kPath), "C:\\QV27-518");
  EXPECT_TRUE(statusLine.empty());
  EXPECT_EQ(ports.reads, 0);
}

// Beside a program deeper in its medium: setup_scenarios.cpp.
TEST_F(InstallerStart, InitialisationFillsTheDialogFromTheInformationFile) {
  WriteInf("[configuration]\r\ndefinstalldir=D:\\APPS\\QV\r\nInitialFile=QVCONF.INI\r\n");
  TestWindow& w = OpenDialog();
  EXPECT_EQ(w.Text(kPath), "D:\\APPS\\QV");
  EXPECT_EQ(ReadInfoFile(profile, kInfPath).initialFile, "QVCONF.INI");
  EXPECT_EQ(w.FocusedItem(), kPath);
  EXPECT_EQ(w.SystemMenuTexts().back(), "&About Installation Program...");
  EXPECT_EQ(w.SystemMenuTexts().end()[-2], "-");
  EXPECT_EQ(w.SystemMenuCommands().back(), 16u);
  EXPECT_EQ(w.Icon(true).resourceId, 128u);
  EXPECT_EQ(w.Icon(false).resourceId, 128u);
  EXPECT_TRUE(profile.writes.empty());
}

TEST_F(InstallerStart, TheApplicationRegistersTheClassThenRunsTheDialog) {
  WriteInf("[Configuration]\r\n");
  CInstallApp app;
  EXPECT_EQ(app.progress.done, 0);
  EXPECT_EQ(app.progress.total, 100);
  host.WhenDialogRuns(101, [&](TestWindow& w) {
    EXPECT_EQ(w.Text(kStatus), kSetupReady);
    host.AnswerNextMessageBox(kIdOk);
    w.PressEscape();
  });
  EXPECT_EQ(app.Run(host, services), 0);
  EXPECT_TRUE(host.ControlsPrepared());
  EXPECT_EQ(progressClass.registrations, 1);
  EXPECT_EQ(progressClass.counters, &app.progress);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "register Percent") << "the class exists before the dialog names it";
  EXPECT_EQ(host.ModalRuns(), std::vector<int>{101});
  EXPECT_EQ(host.LastWindow(101)->EndCode(), 2);

  // Without the class no dialog is shown, and nothing said.
  progressClass.accepts = false;
  const std::size_t boxes = host.MessageBoxes().size();
  EXPECT_EQ(CInstallApp().Run(host, services), 0);
  EXPECT_EQ(host.ModalRuns(), std::vector<int>{101});
  EXPECT_EQ(host.MessageBoxes().size(), boxes);
}

TEST_F(InstallerStart, LeavingAsksFirstFromEveryWayOut) {
  WriteInf("[Configuration]\r\n");
  const std::vector<std::pair<const char*, std::function<bool(TestWindow&)>>> ways = {
      {"Cancel button", [](TestWindow& w) { return w.Click(kIdCancel); }},
      {"Escape", [](TestWindow& w) { return w.PressEscape(); }},
      {"close box", [](TestWindow& w) { return w.CloseBox(); }},
  };
  for (const auto& [name, leave] : ways) {
    SCOPED_TRACE(name);
    TestWindow& w = StartDialog();
    w.Type(kPath, "d:\\mine");
    const std::size_t boxes = host.MessageBoxes().size();
    host.AnswerNextMessageBox(kIdCancel);
    ASSERT_TRUE(leave(w));
    ASSERT_EQ(host.MessageBoxes().size(), boxes + 1);
    const auto& box = host.MessageBoxes().back();
    EXPECT_EQ(box.text, "Are you sure to exit program?");
    EXPECT_EQ(box.caption, expected::kSetupTitle);
    EXPECT_EQ(box.style, 33u);
    EXPECT_FALSE(w.Ended()) << "Cancel leaves everything as it was";
    EXPECT_EQ(w.Text(kPath), "D:\\MINE");
    EXPECT_EQ(w.Text(kStatus), kSetupReady);

    host.AnswerNextMessageBox(kIdOk);
    leave(w);
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(w.EndCode(), 2);
  }
}

TEST_F(InstallerStart, AboutOpensFromTheButtonAndTheSystemMenu) {
  TestWindow& w = Ready("[Configuration]\r\n");
  for (int i = 0; i < 2; ++i)
    host.WhenDialogRuns(100, [](TestWindow& about) {
      EXPECT_EQ(about.Text(1009), "Version 2.00");
      about.Click(kIdOk);
    });
  w.Click(kAbout);
  w.SystemCommand(16 | 0x3);  // the platform's own low bits do not matter
  EXPECT_EQ(host.ModalRuns(), (std::vector<int>{100, 100}));
  EXPECT_FALSE(host.LastWindow(100)->EndedByHost());
  EXPECT_EQ(host.LastWindow(100)->EndCode(), kIdOk);

  w.SystemCommand(kScMinimize);
  EXPECT_TRUE(w.IsIconic()) << "other system commands get the platform's processing";
  EXPECT_EQ(host.ModalRuns().size(), 2u);
}

TEST_F(InstallerStart, TheMinimizedDialogDrawsItsIcon) {
  TestWindow& w = Ready("[Configuration]\r\n");
  EXPECT_TRUE(w.Paint().defaultPainting);
  w.SetClientSize({160, 40});
  w.Minimize();
  const auto paint = w.Paint();
  EXPECT_FALSE(paint.defaultPainting);
  EXPECT_EQ(paint.erasedBackgrounds, 1);
  ASSERT_EQ(paint.icons.size(), 1u);
  EXPECT_EQ(paint.icons[0].icon.resourceId, 128u);
  EXPECT_EQ(paint.icons[0].x, (160 - 32 + 1) / 2);
  EXPECT_EQ(paint.icons[0].y, (40 - 32 + 1) / 2);
  EXPECT_EQ(w.QueryDragIcon()->resourceId, 128u);
}

TEST_F(InstallerStart, SetupPressedDuringTheStartUpDoesNothing) {
  WriteInf("[Configuration]\r\nInitialFile=QV27-518.ini\r\n[Directory]\r\ndirs=1\r\ndir1=.\r\n"
           "[Program]\r\nfiles=1\r\nfile1=1:A.EXE,1,A.EXE,1,N,N,N\r\n");
  files.AddFile("A:\\A.EXE", "program");
  TestWindow& w = OpenDialog();
  // Arrives while the port detection pauses.
  host.QueueUserAction([&] { w.Click(kIdOk); });
  host.PumpAll();
  EXPECT_EQ(StatusTexts().back(), kSetupReady);
  EXPECT_EQ(files.copyAttempts, 0);
  EXPECT_TRUE(host.MessageBoxes().empty());
  EXPECT_FALSE(w.Ended());
  EXPECT_EQ(ConfigEntry("PortCount"), "<missing>");

  // Once Ready, Setup works.
  w.Click(kIdOk);
  EXPECT_EQ(files.copyAttempts, 1);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{expected::kSetupSuccess});
}

// The ports the start-up counts in the firmware's base-address table, as they
// reach the configuration file.
TEST_F(InstallerStart, CountsTheStandardBaseAddressesOfTheFirmwareTable) {
  using Table = std::array<std::uint16_t, 3>;
  struct Case {
    std::optional<Table> table;  // std::nullopt: the platform refuses the read
    int knownPorts;
    int count;
  };
  const Case cases[] = {
      {Table{0x378, 0, 0}, 0, 1},
      {Table{0x3BC, 0x378, 0x278}, 0, 3},
      {Table{0x378, 0x378, 0}, 0, 2},  // the same address twice counts twice
      {Table{0x278, 0x3BC, 0}, 0, 2},
      {Table{0x2BC, 0xBC00, 0}, 0, 0},  // whole words, standard addresses only
      {Table{0, 0, 0}, 3, 0},           // a table that reads is believed
      {std::nullopt, 0, 0},             // refused: the system's own LPT devices
      {std::nullopt, 2, 2},
  };
  WriteInf("[Configuration]\r\nInitialFile=QV27-518.ini\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.table) + ", known " + std::to_string(c.knownPorts));
    ports.table = c.table;
    ports.knownPorts = c.knownPorts;
    StartDialog();
    dialog->WriteConfiguration();
    EXPECT_EQ(ConfigEntry("PortCount"), std::to_string(c.count));
  }
}

}  // namespace
}  // namespace qv
