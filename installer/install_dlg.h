// CInstallDlg: the installer's main dialog (template 101). It runs the
// installation's steps (installation.h) in order, with the status line and
// the pause between them, the Retry/Cancel prompt of a failed copy and the
// outcome messages; it keeps the paths, the port count and the information
// file's value for the run. The implementation is split by concern:
// install_dlg.cpp (start-up, Setup, exit, About, painting), status_line.cpp,
// file_installation.cpp and program_group.cpp.
#pragma once

#include <optional>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/dialog.h"
#include "base/fixed_text.h"
#include "installer/info_file.h"
#include "installer/installation.h"
#include "installer/installer_services.h"

namespace qv {

class CInstallDlg : public CDialog {
 public:
  static constexpr unsigned kWmSetupInit = 0x465;  // WM_USER + 101
  static constexpr unsigned kSysAbout = 0x0010;
  static constexpr std::uint32_t kPauseMs = 1000;

  CInstallDlg(DialogHost& host, const InstallerServices& services, ProgressCounters& progress,
              CDialog* parent = nullptr);

  // Status line and pause, used by every step.
  void ShowStatus(unsigned stringId);
  void ShowStatusFormatted(unsigned stringId, std::string_view text);
  void ClearStatus();
  // Returns after at least `ms` milliseconds of the tick count, dispatching
  // pending messages meanwhile, so that the dialog repaints and its buttons
  // stay live.
  void WaitWithMessages(std::uint32_t ms);
  bool PumpOneMessage();

  // The steps of the sequence, each with its own status texts; each returns 1 for success.
  int DetectParallelPorts(std::int32_t& count);
  int ReadInfoFile();
  int PrepareInstallDir();
  int CopyFileExpanded(const ResolvedPath& source, const ResolvedPath& destination);
  int CopyAllFiles();
  int WriteConfiguration();
  int CreateProgramGroup();

  // A string of the string table with `text` put in for its "%s", in a
  // buffer of 256 bytes: a longer result is cut.
  Text256 FormatWithText(unsigned stringId, std::string_view text) const;

 protected:
  bool OnInitDialog() override;
  void OnSetupInit();
  void OnSetup();
  void OnExitRequest();
  void OnAbout();
  void OnSysCommand(unsigned command);
  void OnPaint();
  IconHandle OnQueryDragIcon() { return hIcon; }

  static const MessageTable* ClassMessageTable();
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }

 private:
  // Why the medium cannot be used, as the message that ends the program;
  // nothing when it can.
  std::optional<Text256> MediumProblem();
  // Creates every missing directory above the file, so that a destination
  // in a subdirectory of the install path can be opened.
  void CreateDirectoriesFor(std::string_view filePath);

  InstallerServices services_;
  ProgressCounters& progress_;
  // Set while the start-up or the Setup sequence runs: their pauses
  // dispatch messages, and a Setup press that arrives then is ignored.
  bool sequenceRunning_ = false;

  IconHandle hIcon;
  std::string infPath;
  std::string sourceDir;
  std::string installPath;
  int statusCtrl = 0;
  std::int32_t portCount = 0;
  InfoFile info_;
};

}  // namespace qv
