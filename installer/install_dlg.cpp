#include "installer/install_dlg.h"

#include <string>

#include "framework/window_constants.h"
#include "installer/install_about_dlg.h"
#include "installer/medium_rule.h"
#include "resources/installer/resource.h"

namespace qv {
namespace {

// Marks a sequence as running for as long as it lasts.
class SequenceGuard {
 public:
  explicit SequenceGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~SequenceGuard() { flag_ = false; }
  SequenceGuard(const SequenceGuard&) = delete;
  SequenceGuard& operator=(const SequenceGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

CInstallDlg::CInstallDlg(DialogHost& host, const InstallerServices& services, ProgressCounters& progress,
                         CDialog* parent)
    : CDialog(host, IDD_SETUP, parent), services_(services), progress_(progress) {
  hIcon = host.LoadIconResource(IDR_MAINFRAME);
}

const MessageTable* CInstallDlg::ClassMessageTable() {
  static constexpr MessageEntry kEntries[] = {
      msg::PrivateMessage<&CInstallDlg::OnSetupInit>(kWmSetupInit),
      msg::Command<&CInstallDlg::OnSetup>(kIdOk),
      msg::Command<&CInstallDlg::OnExitRequest>(kIdCancel),
      msg::Command<&CInstallDlg::OnAbout>(IDC_ABOUT),
      msg::SysCommand<&CInstallDlg::OnSysCommand>(),
      msg::Paint<&CInstallDlg::OnPaint>(),
      msg::QueryDragIcon<&CInstallDlg::OnQueryDragIcon>(),
  };
  static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
  return &kTable;
}

bool CInstallDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  AddSystemMenuItem(kSysAbout, LoadText(IDS_ABOUTBOX));
  SetIcons(hIcon);

  // The program's own directory, without the separator before the name: a
  // program in the root of drive D gives "D:". However long, it is kept
  // whole: a cut one would name the information file of a parent folder.
  InstallerFileSystem& files = services_.files;
  const std::string modulePath = files.ModulePath();
  const std::size_t lastSeparator = modulePath.find_last_of("\\/");
  sourceDir = lastSeparator == std::string::npos ? std::string() : modulePath.substr(0, lastSeparator);
  infPath = sourceDir + files.Separator() + LoadText(IDS_INF_FILE);

  // Read before the file's existence is tested: a missing file gives the
  // defaults, and the deferred start-up then ends the program.
  ReadConfigurationKeys(services_.profile, infPath, info_);
  SetItemText(IDC_INSTALL_PATH, files.ShownPath(info_.defInstallDir));

  statusCtrl = IDC_STATUS;
  // The rest of the start-up runs once the dialog is on screen.
  PostToSelf(kWmSetupInit, 0, 0);
  return true;
}

std::optional<Text256> CInstallDlg::MediumProblem() {
  const std::string infName = LoadText(IDS_INF_FILE);
  // A file that cannot be read is as missing as one that is not there.
  const std::optional<std::uint64_t> size = services_.files.FileSize(infPath);
  if (!size) return FormatWithText(IDS_INF_MISSING, infName);
  if (*size > kLargestInfoFile) return FormatWithText(IDS_INF_TOO_LARGE, infName);
  return std::nullopt;
}

void CInstallDlg::OnSetupInit() {
  if (sequenceRunning_) return;
  SequenceGuard running(sequenceRunning_);
  // The messages name the file alone, not where it was looked for.
  if (const auto problem = MediumProblem()) {
    ShowMessageBox(problem->view(), LoadText(IDS_ERROR_TITLE), kMbOk | kMbIconStop);
    EndDialog(0);
    return;
  }
  DetectParallelPorts(portCount);
  ReadInfoFile();
  // A medium that names anything outside the installation is damaged:
  // nothing of it is installed.
  if (const auto line = FindUnsafeLine(info_)) {
    ShowMessageBox(FormatWithText(IDS_INF_DAMAGED, *line).view(), LoadText(IDS_ERROR_TITLE), kMbOk | kMbIconStop);
    EndDialog(0);
    return;
  }
  ShowStatus(IDS_INIT_DONE);
}

int CInstallDlg::DetectParallelPorts(std::int32_t& count) {
  ShowStatus(IDS_CHECKING_PORTS);
  count = CountParallelPorts(services_.portTable);
  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

int CInstallDlg::ReadInfoFile() {
  ShowStatus(IDS_READING_INF);
  info_ = qv::ReadInfoFile(services_.profile, infPath);
  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

void CInstallDlg::OnSetup() {
  // One press installs once: a press that arrives while a sequence pauses
  // (a double click, or a click during the start-up) does nothing.
  if (sequenceRunning_) return;
  SequenceGuard running(sequenceRunning_);

  if (!PrepareInstallDir()) {
    ShowMessageBox(LoadText(IDS_INVALID_PATH), LoadText(IDS_ERROR_TITLE), kMbOk | kMbIconExclamation);
    FocusItem(IDC_INSTALL_PATH);
    SelectItemText(IDC_INSTALL_PATH, 0, -1);
    ScrollItemCaret(IDC_INSTALL_PATH);
    ClearStatus();
    return;
  }
  if (!CopyAllFiles()) {
    // Files already copied stay; nothing is written about the installation.
    ShowMessageBox(LoadText(IDS_INSTALL_FAILED), LoadText(IDS_ERROR_TITLE), kMbOk | kMbIconStop);
    EndDialog(1);
    return;
  }
  const bool written = WriteConfiguration();
  CreateProgramGroup();
  if (written) {
    ShowMessageBox(LoadText(IDS_INSTALL_SUCCESS), LoadText(IDS_TITLE), kMbOk | kMbIconInformation);
  } else {
    // The files are in place, but the setting program would not find the
    // port count: no success is claimed.
    ShowMessageBox(FormatWithText(IDS_INI_NOT_WRITTEN, info_.initialFile).view(), LoadText(IDS_ERROR_TITLE),
                   kMbOk | kMbIconExclamation);
  }
  EndDialog(1);
}

int CInstallDlg::WriteConfiguration() {
  ShowStatus(IDS_WRITING_INI);
  const bool written = WriteConfigurationEntries(services_.profile, info_, portCount, installPath);
  WaitWithMessages(kPauseMs);
  ClearStatus();
  return written ? 1 : 0;
}

void CInstallDlg::OnExitRequest() {
  if (ShowMessageBox(LoadText(IDS_CONFIRM_EXIT), LoadText(IDS_TITLE), kMbOkCancel | kMbIconQuestion) == kIdOk)
    EndDialog(2);
}

void CInstallDlg::OnAbout() {
  CInstallAboutDlg about(Host(), this);
  about.DoModal();
}

void CInstallDlg::OnSysCommand(unsigned command) {
  if ((command & kScMask) == kSysAbout)
    OnAbout();
  else
    Default();
}

void CInstallDlg::OnPaint() { PaintIconWhenMinimized(hIcon); }

}  // namespace qv
