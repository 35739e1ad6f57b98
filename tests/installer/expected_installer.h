// The expected layout of the installer's dialogs and its string table, as
// the user sees them. The native tests hold the compiled .res against it,
// the Wine tests the resources inside setup.exe.
#pragma once

#include <vector>

#include "tests/support/expected_layout.h"

namespace qv::expected {

// The texts that the tests look for most.
inline constexpr const char* kSetupTitle = "QV27-518 Installation Program";
inline constexpr const char* kSetupErrorTitle = "QV27-518 Installation Program Error";
inline constexpr const char* kSetupReady = "Initialization is done, press Setup to proceed.";
inline constexpr const char* kSetupSuccess = "System completes installation successfully.";
inline constexpr const char* kSetupFailure = "System installs files unsuccessfully. Program will terminate!";

inline const DialogLayout& SetupDialog() {
  static const DialogLayout layout{
      101, "QV27-518 Installation Program", 284, 194, "Arial", 8,
      kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont, kWsExAppWindow,
      {
          {1001, Kind::GroupBox, "", 3, 0, 276, 190, false, false},
          {2000, Kind::Bitmap, "", 8, 8, 267, 114, false, false, 2000},
          {1002, Kind::Text, "Install &Path:", 17, 132, 39, 8, true, false},
          // Border, tab stop, horizontal scrolling, typed letters in upper case.
          {1003, Kind::Edit, "", 59, 130, 205, 12, false, true, 0, nullptr, 0x50810088},
          {1005, Kind::Text, "", 17, 149, 197, 12, true, false},
          {1007, Kind::Custom, "", 215, 149, 50, 12, false, false, 0, "Percent", 0x50000001},
          {1, Kind::DefPushButton, "Setup", 87, 170, 50, 14, true, true},
          {2, Kind::PushButton, "Cancel", 151, 170, 50, 14, false, true},
          {1006, Kind::PushButton, "&About", 215, 170, 50, 14, false, true},
      }};
  return layout;
}

inline const DialogLayout& InstallAboutDialog() {
  static const DialogLayout layout{
      100, "About QV27-518 Software Installatioin Program", 187, 110, "Arial", 9,
      kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont, 0,
      {
          {2001, Kind::Bitmap, "", 37, 11, 114, 27, false, false, 2001},
          {1008, Kind::CentredText, "QV27-518 Software Installation Program", 15, 45, 158, 9, false, false},
          {1009, Kind::CentredText, "Version 2.00", 15, 60, 158, 9, false, false},
          {1, Kind::DefPushButton, "OK", 69, 81, 50, 14, true, true},
      }};
  return layout;
}

inline const std::vector<StringRow>& InstallerStrings() {
  static const std::vector<StringRow> strings{
      {3000, "&About Installation Program..."},
      {3005, "Configuration"},
      {3006, "InitialFile"},
      {3007, "DefInstallDir"},
      {3008, "PortCount"},
      {3009, "InstalledDir"},
      {3011, "QV27-518 Installation Program"},
      {3012, "QV27-518 Installation Program Error"},
      {3014, "QV27-518.INF"},
      {3016, "Are you sure to exit program?"},
      {3017, "System completes installation successfully."},
      {3019, "Checking PC LPT port"},
      {3020, "Reading information file"},
      {3021, "Creating installation directory"},
      {3022, "Copying File: %s"},
      {3023, "Writing INI infomation"},
      {3025, "Creating program group"},
      {3027, "Installation path is invalid."},
      {3028, "Error to open file: %s"},
      {3030, "System installs files unsuccessfully. Program will terminate!"},
      {3031, "Initialization is done, press Setup to proceed."},
      {3032, "Information file (%s) cannot be found. Program will terminate!"},
      {3033, "Information file (%s) is too large. Program will terminate!"},
      {3034, "Information file is damaged (%s). Program will terminate!"},
      {3035, "Files are installed, but the configuration file (%s) cannot be written."},
  };
  return strings;
}

inline ExpectedResources ExpectedInstallerResources() {
  return {{&SetupDialog(), &InstallAboutDialog()}, &InstallerStrings(), 128, {2000, 2001}};
}

}  // namespace qv::expected
