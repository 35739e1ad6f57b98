// The installer's main dialog on the testing host, with the service doubles:
// a file system of drives and files in memory, the firmware table, the
// clock that tests move, and the real profile engine on a temporary
// directory. The information file lies on drive A beside the program
// (A:\SETUP.EXE); the profile engine takes its Windows name, which holds no
// '/', as the name of a file in the temporary directory. The scenarios'
// driver of this host (setup_testing_driver.cpp) runs on the same services.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/testing_host.h"
#include "installer/install_dlg.h"
#include "installer/installer_resources.h"
#include "platform/posix/ini_profile_store.h"
#include "tests/support/installer_doubles.h"
#include "tests/support/service_doubles.h"
#include "tests/support/temp_dir.h"

namespace qv {

// One text of the status line and the time (tick count) it was set.
struct StatusChange {
  std::uint32_t at;
  std::string text;
};

// Drives A: and C: (with C:\WINDOWS\SYSTEM), and a clock that moves a
// millisecond a reading.
struct InstallerRig {
  InstallerRig();

  testing::TempDir dir;
  testing::EventLog log;
  posix::IniProfileStore diskProfile{dir.path()};
  testing::RecordingProfileStore profile{diskProfile, &log};
  testing::FakeInstallerFileSystem files{&log};
  testing::FakePortTable ports;
  testing::RecordingProgressClass progressClass{&log};
  testing::FakeClock clock;
  testing::TestingHost host{*ResourceBundle::FromResFile(InstallerResourceBytes())};
  testing::RecordingShell shell{&log};
  InstallerServices services{profile, files, ports, progressClass, shell, clock};
};

class InstallerFixture : public ::testing::Test, protected InstallerRig {
 protected:
  static constexpr const char* kInfPath = "A:\\QV27-518.INF";
  static constexpr int kPath = 1003;
  static constexpr int kStatus = 1005;
  static constexpr int kProgress = 1007;
  static constexpr int kAbout = 1006;

  InstallerFixture();

  // Writes the information file beside the program.
  void WriteInf(std::string_view text);
  // An entry of the configuration file that the installer writes
  // ("QV27-518.ini" in the temporary directory), "<missing>" when absent.
  std::string ConfigEntry(std::string_view key);
  // Builds the dialog and opens it; the deferred start-up waits for Pump.
  testing::TestWindow& OpenDialog();
  // Opens the dialog and lets the deferred start-up run.
  testing::TestWindow& StartDialog();
  // With this information file, started and the install path typed in; the
  // status line and the file system's calls are recorded from then on.
  testing::TestWindow& Ready(std::string_view inf, std::string_view path = "C:\\QV27-518");
  // The texts of the message boxes shown so far.
  std::vector<std::string> BoxTexts() const;
  std::vector<std::string> StatusTexts() const;

  ProgressCounters progress;
  std::vector<StatusChange> statusLine;
  std::unique_ptr<CInstallDlg> dialog;
};

}  // namespace qv
