#include "installer/install_dlg.h"

#include <string>

#include "framework/window_constants.h"
#include "installer/install_about_dlg.h"
#include "resources/installer/resource.h"

namespace qv {
namespace {

constexpr const char* kDefaultInstallDir = "C:\\QV27-518";

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
  // program in the root of drive D gives "D:". Linux names the program's
  // path with "/".
  const Text256 modulePath = services_.files.ModulePath();
  const std::size_t lastSeparator = modulePath.view().find_last_of("\\/");
  sourceDir = lastSeparator == std::string_view::npos ? std::string() : std::string(modulePath.view().substr(0, lastSeparator));
  infPath = sourceDir + "\\" + LoadText(IDS_INF_FILE);

  configSection = LoadText(IDS_SECTION_CONFIG);
  initialFileKey = LoadText(IDS_KEY_INITIAL_FILE);
  defInstallDirKey = LoadText(IDS_KEY_DEF_INSTALL_DIR);
  portCountKey = LoadText(IDS_KEY_PORT_COUNT);
  installedDirKey = LoadText(IDS_KEY_INSTALLED_DIR);

  // Read before the file's existence is tested: a missing file gives the
  // defaults, and the deferred start-up then ends the program.
  defInstallDir = services_.profile.ReadString(configSection, defInstallDirKey, kDefaultInstallDir, infPath).str();
  SetItemText(IDC_INSTALL_PATH, defInstallDir);
  initialFile = services_.profile.ReadString(configSection, initialFileKey, "", infPath).str();

  statusCtrl = IDC_STATUS;
  // The rest of the start-up runs once the dialog is on screen.
  PostToSelf(kWmSetupInit, 0, 0);
  return true;
}

void CInstallDlg::OnSetupInit() {
  if (sequenceRunning_) return;
  SequenceGuard running(sequenceRunning_);
  if (!services_.files.FileExists(infPath)) {
    // The message names the file alone, not where it was looked for.
    ShowMessageBox(FormatWithText(IDS_INF_MISSING, LoadText(IDS_INF_FILE)).view(), LoadText(IDS_ERROR_TITLE),
                   kMbOk | kMbIconStop);
    EndDialog(0);
    return;
  }
  DetectParallelPorts(portCount);
  ReadInfoFile();
  ShowStatus(IDS_INIT_DONE);
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
  WriteConfiguration();
  CreateProgramGroup();
  ShowMessageBox(LoadText(IDS_INSTALL_SUCCESS), LoadText(IDS_TITLE), kMbOk | kMbIconInformation);
  EndDialog(1);
}

int CInstallDlg::WriteConfiguration() {
  ShowStatus(IDS_WRITING_INI);
  // Without InitialFile there is no file to write to.
  if (!initialFile.empty()) {
    services_.profile.WriteString(configSection, portCountKey, std::to_string(portCount), initialFile);
    services_.profile.WriteString(configSection, installedDirKey, installPath, initialFile);
  }
  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
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
