#include "setting/setting_dlg.h"

#include "framework/window_constants.h"
#include "resources/setting/resource.h"
#include "setting/setting_about_dlg.h"

namespace qv {
namespace {

// The system-menu command of the About item.
constexpr unsigned kSysAbout = 0x0010;
// Aliases are free text of at most this many characters as typed.
constexpr int kAliasLimit = 20;

}  // namespace

CSettingDlg::CSettingDlg(DialogHost& host, const SettingServices& services, int templateId,
                         CDialog* parent)
    : CDialog(host, templateId, parent), services_(services) {
  dialogIcon = host.LoadIconResource(IDR_MAINFRAME);
}

const MessageTable* CSettingDlg::ClassMessageTable() {
  static constexpr MessageEntry kEntries[] = {
      msg::SysCommand<&CSettingDlg::OnSysCommand>(),
      msg::Paint<&CSettingDlg::OnPaint>(),
      msg::QueryDragIcon<&CSettingDlg::OnQueryDragIcon>(),
      msg::Command<&CSettingDlg::OnAbout>(IDC_ABOUT),
  };
  static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
  return &kTable;
}

int CSettingDlg::InitPrinterControls(int count) {
  CDialog::OnInitDialog();
  AddSystemMenuItem(kSysAbout, LoadText(IDS_ABOUTBOX));
  SetIcons(dialogIcon);

  vocabulary.Load(Host(), count);
  controlIds[0] = IDC_ALIAS_A;
  controlIds[1] = IDC_ALIAS_B;
  controlIds[4] = IDC_NAME_A;
  controlIds[5] = IDC_NAME_B;
  controlIds[8] = IDC_NAME_SHARED;
  if (count == 4) {
    controlIds[2] = IDC_ALIAS_C;
    controlIds[3] = IDC_ALIAS_D;
    controlIds[6] = IDC_NAME_C;
    controlIds[7] = IDC_NAME_D;
  }

  ProfileStore& profile = Services().profile;
  const std::string& file = vocabulary.fileName;
  const int portCount = profile.ReadInt(vocabulary.configSection, vocabulary.portCountKey, 1, file);
  if (portCount < 3) EnableItem(IDC_LPT3, false);
  if (portCount < 2) EnableItem(IDC_LPT2, false);
  // The port is not stored: every opening starts on LPT1.
  CheckItem(IDC_LPT1);

  for (int i = 1; i <= count && i <= 4; ++i) {
    const std::string key = vocabulary.PrinterKey(i);
    LimitText(controlIds[i - 1], kAliasLimit);
    SetItemText(controlIds[i - 1], profile.ReadString(vocabulary.aliasSection, key, "", file).view());
    const Text256 name = profile.ReadString(vocabulary.nameSection, key, "", file);
    SetItemText(controlIds[i + 3], name.view());
    printerNames[i - 1] = name.str();
  }
  if (count == 2) {
    printerNames[4] = printerNames[0];
    SetItemText(IDC_NAME_SHARED, printerNames[4]);
  }
  return 1;
}

void CSettingDlg::EnableOnePcGroup(bool enable) {
  for (int id : kOnePcGroup) EnableItem(id, enable);
}

void CSettingDlg::EnableTwoPcGroup(bool enable) {
  for (int id : kTwoPcGroup) EnableItem(id, enable);
}

void CSettingDlg::ChangePrinter(int slot) {
  if (slot < 0 || slot >= static_cast<int>(printerNames.size())) return;
  const auto chosen = Host().ChoosePrinter(this, kPrintSetupFlags);
  if (!chosen) return;
  printerNames[slot] = *chosen;
  SetItemText(controlIds[slot + 4], printerNames[slot]);
}

int CSettingDlg::CheckedPort() const {
  if (IsChecked(IDC_LPT1)) return 1;
  if (IsChecked(IDC_LPT2)) return 2;
  if (IsChecked(IDC_LPT3)) return 3;
  return 1;
}

void CSettingDlg::ShowSetOutcome(SetOutcome outcome, int lpt) {
  if (outcome == SetOutcome::kDone) {
    ShowSetSuccess();
    return;
  }
  unsigned id = IDS_PORT_NOT_PERMITTED;
  std::string value = std::to_string(lpt);
  switch (outcome) {
    case SetOutcome::kDone:
    case SetOutcome::kPortNotPermitted: break;
    case SetOutcome::kPortBusy: id = IDS_PORT_BUSY; break;
    case SetOutcome::kNotSaved: id = IDS_NOT_SAVED; value = vocabulary.fileName; break;
    case SetOutcome::kNotSavedNotTold: id = IDS_NOT_SAVED_NOT_TOLD; value = vocabulary.fileName; break;
  }
  std::string text = LoadText(id);
  if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
  ShowMessageBox(text, LoadText(IDS_WARNING_TITLE), kMbOk | kMbIconExclamation);
}

void CSettingDlg::ShowSetSuccess() {
  ShowMessageBox(LoadText(IDS_SET_SUCCESS), LoadText(IDS_TITLE), kMbOk | kMbIconInformation);
}

void CSettingDlg::OnCancel() {
  if (ShowMessageBox(LoadText(IDS_CONFIRM_EXIT), LoadText(IDS_TITLE),
                 kMbOkCancel | kMbIconQuestion) == kIdOk)
    EndDialog(kIdCancel);
}

void CSettingDlg::OnSysCommand(unsigned command) {
  if ((command & kScMask) == kSysAbout)
    OnAbout();
  else
    Default();
}

void CSettingDlg::OnAbout() {
  CSettingAboutDlg about(Host(), Services().profile, this);
  about.DoModal();
}

void CSettingDlg::OnPaint() { PaintIconWhenMinimized(dialogIcon); }

}  // namespace qv
