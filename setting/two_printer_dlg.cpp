#include "setting/two_printer_dlg.h"

#include <algorithm>
#include <string>

#include "framework/window_constants.h"
#include "resources/setting/resource.h"

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

SetRequest CTwoPrinterDlg::ReadSetRequest() const {
  SetRequest request;
  request.onePc = IsChecked(IDC_MODE_ONE_PC);
  // The selection radios are tested B, A, Broadcast; the first checked wins.
  if (IsChecked(IDC_SELECT_B))
    request.selection = Selection::kPrinterB;
  else if (IsChecked(IDC_SELECT_A))
    request.selection = Selection::kPrinterA;
  else if (IsChecked(IDC_BROADCAST))
    request.selection = Selection::kBroadcast;
  request.transferOn = IsChecked(IDC_TRANSFER_ON);
  request.lpt = CheckedPort();
  request.aliases = {GetItemText(IDC_ALIAS_A), GetItemText(IDC_ALIAS_B)};
  request.printers = {printerNames[0], printerNames[1]};
  request.sharedPrinter = printerNames[4];
  request.transferPath = GetItemText(IDC_TRANSFER_PATH);
  return request;
}

void CTwoPrinterDlg::OnOK() {
  const SetRequest request = ReadSetRequest();
  if (NeedsBroadcastWarning(request) &&
      ShowMessageBox(LoadText(IDS_BROADCAST_WARNING), LoadText(IDS_WARNING_TITLE),
                     kMbOkCancel | kMbIconExclamation) == kIdCancel)
    return;
  ShowSetOutcome(ApplySettings(Services(), vocabulary, request), request.lpt);
}

}  // namespace qv
