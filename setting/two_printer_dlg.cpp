#include "setting/two_printer_dlg.h"

#include <algorithm>
#include <span>
#include <string>

#include "framework/window_constants.h"
#include "resources/setting/resource.h"
#include "setting/switch_command.h"

namespace qv {

CTwoPrinterDlg::CTwoPrinterDlg(DialogHost& host, const SettingServices& services)
    : CSettingDlg(host, services, IDD_TWO_PRINTER) {}

const MessageTable* CTwoPrinterDlg::ClassMessageTable() {
  // The selection and transfer radios need no entry: the platform moves
  // their check, and that is all they do.
  static constexpr MessageEntry kEntries[] = {
      msg::Command<&CTwoPrinterDlg::OnOnePcMode>(IDC_MODE_ONE_PC),
      msg::Command<&CTwoPrinterDlg::OnTwoPcsMode>(IDC_MODE_TWO_PCS),
      msg::Command<&CTwoPrinterDlg::OnChangePrinterA>(IDC_CHANGE_A),
      msg::Command<&CTwoPrinterDlg::OnChangePrinterB>(IDC_CHANGE_B),
      msg::Command<&CTwoPrinterDlg::OnChangeSharedPrinter>(IDC_CHANGE_SHARED),
      msg::Command<&CTwoPrinterDlg::OnBrowse>(IDC_BROWSE),
  };
  static const MessageTable kTable{CSettingDlg::ClassMessageTable(), kEntries};
  return &kTable;
}

void CTwoPrinterDlg::OnOnePcMode() {
  EnableOnePcGroup(true);
  EnableTwoPcGroup(false);
}

void CTwoPrinterDlg::OnTwoPcsMode() {
  EnableOnePcGroup(false);
  EnableTwoPcGroup(true);
}

// Printer A and the shared printer are one printer seen from two modes: a
// change of either shows in both fields, and the copy is made after a
// cancelled chooser too.
void CTwoPrinterDlg::OnChangePrinterA() {
  ChangePrinter(0);
  SetItemText(IDC_NAME_SHARED, printerNames[0]);
  printerNames[4] = printerNames[0];
}

void CTwoPrinterDlg::OnChangePrinterB() { ChangePrinter(1); }

void CTwoPrinterDlg::OnChangeSharedPrinter() {
  ChangePrinter(4);
  SetItemText(IDC_NAME_A, printerNames[4]);
  printerNames[0] = printerNames[4];
}

void CTwoPrinterDlg::OnBrowse() {
  FileChooserRequest request;
  // Each "|" of the filter text stands for a NUL of the platform's list.
  request.filter = LoadText(IDS_EXE_FILTER);
  std::replace(request.filter.begin(), request.filter.end(), '|', '\0');
  request.initialName = "*.exe";
  request.flags = kOpenFileFlags;
  if (const auto path = Host().ChooseFile(this, request)) SetItemText(IDC_TRANSFER_PATH, *path);
}

int CTwoPrinterDlg::LoadSettings() {
  InitPrinterControls(2);

  ProfileStore& profile = Services().profile;
  const ConfigVocabulary& v = vocabulary;
  SetItemText(IDC_TRANSFER_PATH, profile.ReadString(v.configSection, v.ftpPathKey, "", v.fileName).view());

  // All three are read before anything is decided.
  const Text256 mode = profile.ReadString(v.configSection, v.modeKey, "", v.fileName);
  const Text256 selection = profile.ReadString(v.configSection, v.modeOnePc, "", v.fileName);
  const Text256 transfer = profile.ReadString(v.configSection, v.modeTwoPcs, "", v.fileName);

  // Stored words compare exactly, byte for byte: "pb" is not "PB".
  if (mode.view() == v.modeOnePc) {
    CheckItem(IDC_MODE_ONE_PC);
    EnableTwoPcGroup(false);
  } else {
    CheckItem(IDC_MODE_TWO_PCS);
    EnableOnePcGroup(false);
  }

  if (selection.view() == v.selectB)
    CheckItem(IDC_SELECT_B);
  else if (selection.view() == v.broadcast)
    CheckItem(IDC_BROADCAST);
  else
    CheckItem(IDC_SELECT_A);

  if (transfer.view() == v.ftpOn)
    CheckItem(IDC_TRANSFER_ON);
  else
    CheckItem(IDC_TRANSFER_OFF);
  return 1;
}

}  // namespace qv

namespace qv {
namespace {

// One row of a decision table: when `radio` is checked (0: when no row
// above was), `word` is stored; in the mode whose table it is, the printer
// in `printerSlot` becomes the default and `command` goes to the switch.
struct Choice {
  int radio;
  std::string ConfigVocabulary::*word;
  int printerSlot;
  const SwitchCommand* command;
};

// The selection radios are tested B, A, Broadcast; the first checked wins.
const Choice kSelections[] = {
    {IDC_SELECT_B, &ConfigVocabulary::selectB, 1, &switch_commands::kSelectB},
    {IDC_SELECT_A, &ConfigVocabulary::selectA, 0, &switch_commands::kSelectA},
    {IDC_BROADCAST, &ConfigVocabulary::broadcast, 0, &switch_commands::kBroadcast},
    {0, &ConfigVocabulary::selectA, 0, &switch_commands::kSelectA},
};

// File transfer: Enable checked, or anything else. The printer is the
// shared one whatever the row.
const Choice kTransfers[] = {
    {IDC_TRANSFER_ON, &ConfigVocabulary::ftpOn, 4, &switch_commands::kTransferOn},
    {0, &ConfigVocabulary::ftpOff, 4, &switch_commands::kTransferOff},
};

}  // namespace

void CTwoPrinterDlg::OnOK() {
  const ConfigVocabulary& v = vocabulary;
  const bool onePc = IsChecked(IDC_MODE_ONE_PC);

  // The first row whose radio is checked; the last row has none.
  auto checked = [this](std::span<const Choice> table) -> const Choice& {
    for (const Choice& choice : table)
      if (choice.radio == 0 || IsChecked(choice.radio)) return choice;
    return table.back();
  };

  const Choice& selection = checked(kSelections);
  // Both printers get the same data: warn when they are not named alike.
  if (selection.radio == IDC_BROADCAST && onePc && printerNames[0] != printerNames[1] &&
      ShowMessageBox(LoadText(IDS_BROADCAST_WARNING), LoadText(IDS_WARNING_TITLE),
                     kMbOkCancel | kMbIconExclamation) == kIdCancel)
    return;
  const Choice& transfer = checked(kTransfers);

  // Both words are stored in either mode; only the mode in force sends.
  const Choice& sent = onePc ? selection : transfer;
  SaveSettings(2, v.*selection.word, v.*transfer.word);
  SetDefaultPrinter(printerNames[static_cast<std::size_t>(sent.printerSlot)]);
  ReadPortNumber();
  const SwitchCommand& command = *sent.command;
  SendSwitchCommand(static_cast<int>(command.head.size()), command.head, static_cast<int>(command.tail.size()),
                    command.tail);
  if (!onePc && transfer.radio == IDC_TRANSFER_ON) Services().launcher.Start(GetItemText(IDC_TRANSFER_PATH));
  ShowSetSuccess();
}

}  // namespace qv
