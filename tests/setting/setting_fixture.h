// A setting dialog on the testing host, with the real profile engine on a
// temporary directory: tests write the configuration file as a user's disk
// would hold it and read back what the dialog shows or wrote. The scenarios'
// testing-host driver runs on the same machine.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "tests/support/testing_host.h"
#include "platform/posix/ini_profile_store.h"
#include "setting/setting_resources.h"
#include "setting/setting_services.h"
#include "setting/two_printer_dlg.h"
#include "tests/support/service_doubles.h"
#include "tests/support/temp_dir.h"

namespace qv {

struct SettingMachine {
  std::filesystem::path ConfigPath() const { return dir / "QV27-518.ini"; }
  void WriteConfig(std::string_view text) { testing::WriteFileBytes(ConfigPath(), text); }
  std::string Entry(std::string_view section, std::string_view key) {
    return diskProfile.ReadString(section, key, "<missing>", "QV27-518.ini").str();
  }
  // Builds the dialog and opens it as the program would.
  testing::TestWindow& OpenDialog() {
    dialog = std::make_unique<CTwoPrinterDlg>(host, services);
    return host.Open(*dialog);
  }

  testing::TempDir dir;
  testing::EventLog log;
  posix::IniProfileStore diskProfile{dir.path()};
  testing::RecordingProfileStore profile{diskProfile, &log};
  testing::FakeClock clock;
  testing::RecordingSwitchPort port{&clock, &log};
  testing::FakePrinterStore printers{&log};
  testing::RecordingLauncher launcher{&log};
  testing::TestingHost host{*ResourceBundle::FromResFile(SettingResourceBytes())};
  SettingServices services{profile, printers, port, launcher, clock};
  std::unique_ptr<CTwoPrinterDlg> dialog;
};

class SettingFixture : public ::testing::Test, public SettingMachine {};

}  // namespace qv
