// The expected layout of the setting program's dialogs and its string
// table, as the user sees them. The native tests hold the compiled .res
// against it, the Wine tests the resources inside QV27-518.exe.
#pragma once

#include <vector>

#include "tests/support/expected_layout.h"

namespace qv::expected {

// The caption of the setting program's message boxes (string 125).
inline constexpr const char* kSettingTitle = "QV27-518 Software Setting Program";

inline const DialogLayout& SettingDialog() {
  static const DialogLayout layout{
      102, "QV27-518 Setting Program", 345, 222, "Arial", 8, 0x90CA00C0, kWsExAppWindow,
      {
          {1030, Kind::Icon, "", 313, 9, 20, 20, false, false, 128},
          {1031, Kind::GroupBox, "Mode Selection", 6, 3, 300, 27, false, false},
          {1041, Kind::AutoRadio, "1 &PC to 2 Printers", 25, 13, 78, 10, false, false},
          {1042, Kind::AutoRadio, "2 P&Cs to 1 Printer", 119, 13, 87, 10, false, false},
          {1032, Kind::GroupBox, "Printer Port", 6, 30, 332, 26, false, false},
          {1036, Kind::AutoRadio, "LPT&1", 25, 41, 32, 10, true, false},
          {1037, Kind::AutoRadio, "LPT&2", 73, 41, 32, 10, false, false},
          {1038, Kind::AutoRadio, "LPT&3", 119, 41, 32, 10, false, false},
          {1033, Kind::GroupBox, "1 PC to 2 Printers", 6, 57, 332, 69, false, false},
          {1001, Kind::Text, "Mode", 21, 68, 45, 8, true, false},
          {1002, Kind::Text, "Printer Alias", 77, 68, 46, 8, true, false},
          {1003, Kind::Text, "Printer Name", 138, 68, 70, 8, true, false},
          {1007, Kind::AutoRadio, "Select &A", 19, 79, 51, 10, false, false},
          {1008, Kind::AutoRadio, "Select &B", 19, 95, 51, 10, false, false},
          {1011, Kind::AutoRadio, "B&roadcast", 19, 111, 51, 10, false, false},
          {1014, Kind::Edit, "", 73, 78, 54, 14, true, true},
          {1018, Kind::Text, "", 135, 78, 145, 14, true, false},
          {1022, Kind::PushButton, "C&hange", 288, 78, 40, 14, false, true},
          {1015, Kind::Edit, "", 73, 95, 54, 14, false, true},
          {1019, Kind::Text, "", 135, 95, 145, 14, true, false},
          {1023, Kind::PushButton, "Cha&nge", 288, 95, 40, 14, false, true},
          {1034, Kind::GroupBox, "2 PCs to 1 Printer", 6, 129, 332, 63, false, false},
          {1035, Kind::GroupBox, "File Transfer", 11, 138, 62, 48, false, false},
          {1012, Kind::AutoRadio, "&Enable", 19, 151, 48, 10, false, false},
          {1013, Kind::AutoRadio, "&Disable", 19, 167, 48, 10, false, false},
          {1005, Kind::Text, "Printer Name", 79, 152, 48, 8, true, false},
          {1043, Kind::Text, "", 132, 150, 150, 14, true, false},
          {1044, Kind::PushButton, "Chan&ge", 288, 150, 40, 14, true, true},
          {1006, Kind::Text, "File Transfer Program Path", 79, 166, 48, 20, true, false},
          {1039, Kind::Edit, "", 132, 167, 150, 14, false, true},
          {1040, Kind::PushButton, "Bro&wse", 288, 167, 40, 14, false, true},
          {1, Kind::DefPushButton, "Set", 116, 201, 50, 14, true, true},
          {2, Kind::PushButton, "&Quit", 188, 201, 50, 14, false, true},
          {1026, Kind::PushButton, "Abou&t", 260, 201, 50, 14, false, true},
      }};
  return layout;
}

inline const DialogLayout& AboutDialog() {
  static const DialogLayout layout{
      101, "About QV27-518 Software Setting Program", 187, 110, "Arial", 9,
      kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont, 0,
      {
          {1030, Kind::Bitmap, "", 37, 11, 114, 27, false, false, 200},
          {1027, Kind::CentredText, "QV27-518 Software Setting Program", 15, 45, 158, 9, false, false},
          {1028, Kind::CentredText, "Version 2.00", 15, 60, 158, 9, false, false},
          {1, Kind::DefPushButton, "OK", 69, 81, 50, 14, true, true},
      }};
  return layout;
}

inline const std::vector<StringRow>& SettingStrings() {
  static const std::vector<StringRow> strings{
      {101, "&About QV27-518 Setting Program..."},
      {102, "QV27-518.ini"},
      {104, "Product"},
      {107, "VersionStr"},
      {108, "Printer Alias"},
      {109, "Printer Name"},
      {110, "Printer"},
      {111, "Configuration"},
      {112, "PortCount"},
      {113, "Mode"},
      {114, "FtpPath"},
      {115, "PA"},
      {116, "PB"},
      {117, "PC"},
      {118, "PD"},
      {119, "Broadcast"},
      {120, "FtpON"},
      {121, "FtpOFF"},
      {122, "Mode1-2"},
      {123, "Mode2-1"},
      {124, "Mode1-4"},
      {125, "QV27-518 Software Setting Program"},
      {127, "QV27-518 Software Setting Program Warning"},
      {128, "Are you sure to exit program?"},
      {129, "System finishes setting successfully."},
      {130, "Printer A's Printer Name is different from others Printer Name.\n"
            "User must check if they are the same series.\nDo you want to continue?"},
      {131, "Executables (*.exe)||"},
      {132, "LPT%s is in use by another program.\nThe settings were saved, but the switch was not told."},
      {133, "This user may not use LPT%s.\nThe settings were saved, but the switch was not told."},
      {134, "The settings could not be saved in %s.\nThe program will show the old settings next time."},
      {135, "The settings could not be saved in %s, and the switch was not told."},
  };
  return strings;
}

inline ExpectedResources ExpectedSettingResources() {
  return {{&SettingDialog(), &AboutDialog()}, &SettingStrings(), 128, {200}};
}

}  // namespace qv::expected
