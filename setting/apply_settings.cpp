// The steps of Set that work on the dialog data of CSettingDlg: saving the
// configuration, the default printer, the port and the switch command.
#include <algorithm>
#include <string>

#include "resources/setting/resource.h"
#include "setting/default_printer.h"
#include "setting/setting_dlg.h"
#include "setting/switch_command.h"

namespace qv {

void CSettingDlg::SaveSettings(int count, std::string selectionValue, std::string transferValue) {
  ProfileStore& profile = Services().profile;
  const ConfigVocabulary& v = vocabulary;
  const bool onePc = IsChecked(IDC_MODE_ONE_PC);
  profile.WriteString(v.configSection, v.modeKey, onePc ? v.modeOnePc : v.modeTwoPcs, v.fileName);
  // Each mode word is also the key of that mode's own setting.
  profile.WriteString(v.configSection, v.modeOnePc, selectionValue, v.fileName);
  profile.WriteString(v.configSection, v.modeTwoPcs, transferValue, v.fileName);
  if (onePc) {
    for (int i = 1; i <= count && i <= 4; ++i) {
      const std::string key = v.PrinterKey(i);
      profile.WriteString(v.aliasSection, key, GetItemText(IDC_ALIAS_A + i - 1), v.fileName);
      profile.WriteString(v.nameSection, key, printerNames[i - 1], v.fileName);
    }
  } else {
    profile.WriteString(v.configSection, v.ftpPathKey, GetItemText(IDC_TRANSFER_PATH), v.fileName);
    profile.WriteString(v.nameSection, v.PrinterKey(1), printerNames[4], v.fileName);
  }
}

void CSettingDlg::SetDefaultPrinter(std::string printerName) {
  MakeDefaultPrinter(Services().printers, printerName);
}

void CSettingDlg::ReadPortNumber() {
  portNumber = 1;
  if (IsChecked(IDC_LPT1))
    portNumber = 1;
  else if (IsChecked(IDC_LPT2))
    portNumber = 2;
  else if (IsChecked(IDC_LPT3))
    portNumber = 3;
}

int CSettingDlg::SendSwitchCommand(int headLength, std::span<const std::uint8_t> head, int tailLength,
                                   std::span<const std::uint8_t> tail) {
  // A length never reaches past the bytes that are there.
  auto cut = [](int length, std::span<const std::uint8_t> bytes) {
    return bytes.first(std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), bytes.size()));
  };
  WriteCommandToPort(Services().switchPort, Services().clock, static_cast<std::uint32_t>(portNumber),
                     cut(headLength, head), cut(tailLength, tail));
  return 1;
}

}  // namespace qv
