// Settling the target directory and copying the listed files into place.
#include <string>

#include "platform/installer_paths.h"
#include "framework/window_constants.h"
#include "installer/install_dlg.h"
#include "resources/installer/resource.h"

namespace qv {

int CInstallDlg::PrepareInstallDir() {
  ShowStatus(IDS_CREATING_DIR);
  const auto prepared = qv::PrepareInstallDir(services_.files, GetItemText(IDC_INSTALL_PATH));
  if (!prepared) return 0;
  installPath = *prepared;
  return 1;
}

void CInstallDlg::CreateDirectoriesFor(std::string_view filePath) {
  InstallerFileSystem& files = services_.files;
  const char separator = files.Separator();
  const std::size_t end = filePath.rfind(separator);
  if (end == std::string_view::npos) return;
  for (std::size_t at = filePath.find(separator); at != std::string_view::npos && at <= end;
       at = filePath.find(separator, at + 1)) {
    const std::string_view directory = filePath.substr(0, at);
    // The drive ("C:") and the root exist or cannot be made anyway.
    if (directory.empty() || directory.back() == ':' || directory.back() == separator) continue;
    if (!files.DirectoryExists(directory)) files.MakeDirectory(directory);
  }
}

int CInstallDlg::CopyFileExpanded(const ResolvedPath& source, const ResolvedPath& destination) {
  InstallerFileSystem& files = services_.files;
  files.SetCriticalErrorMode(kFailCriticalErrors);
  for (;;) {
    LzCopyResult result;
    if (!source.usable) {
      result = LzCopyResult::SourceOpenFailed;
    } else if (!destination.usable) {
      result = LzCopyResult::DestinationOpenFailed;
    } else {
      // Made anew on every attempt, so that Retry succeeds once whatever
      // stood in the way is gone.
      CreateDirectoriesFor(destination.text);
      // A failed copy is tried again from the start, with both files opened
      // anew: copying on from where the failure left the files would
      // corrupt the destination.
      result = files.CopyExpanded(source.text, destination.text);
    }
    if (result == LzCopyResult::Copied) break;
    const std::string& named = result == LzCopyResult::SourceOpenFailed ? source.text : destination.text;
    if (ShowMessageBox(FormatWithText(IDS_OPEN_ERROR, named).view(), LoadText(IDS_ERROR_TITLE),
                       kMbRetryCancel | kMbIconExclamation) != kIdRetry) {
      files.SetCriticalErrorMode(0);
      return 0;
    }
  }
  files.SetCriticalErrorMode(0);
  return 1;
}

int CInstallDlg::CopyAllFiles() {
  progress_.done = 0;
  progress_.total = static_cast<std::uint16_t>(info_.files.size());
  for (const FileEntry& entry : info_.files) {
    ShowStatusFormatted(IDS_COPYING_FILE, entry.destName.view());
    // The medium's own path is carried whole; what is written lives in the
    // 256-byte buffers of the install path.
    const ResolvedPath source =
        ResolvePath(services_.files, info_, sourceDir, entry.sourceName.view(), entry.sourceDirIndex, std::string::npos);
    const ResolvedPath destination = ResolvePath(services_.files, info_, installPath, entry.destName.view(),
                                                 entry.destDirIndex, kLongestInstallerPath);
    // Later files are not copied; the status line keeps this file's name.
    if (!CopyFileExpanded(source, destination)) return 0;
    WaitWithMessages(kPauseMs);
    ++progress_.done;
    RedrawItemNow(IDC_PROGRESS);
  }
  return 1;
}

}  // namespace qv
