// Settling the target directory and copying the listed files into place.
#include <string>

#include "framework/text_case.h"
#include "framework/window_constants.h"
#include "installer/install_dlg.h"
#include "resources/installer/resource.h"

namespace qv {
namespace {

// A drive letter, its colon and a backslash. A path without them would be
// walked against the working directory that the walk itself moves, so it
// would nest inside itself ("QV" entered, then "QV" made within it); UNC
// paths and paths from the current drive's root have no drive to check.
bool StartsAtADriveRoot(std::string_view path) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return path.size() >= 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

int CInstallDlg::PrepareInstallDir() {
  ShowStatus(IDS_CREATING_DIR);
  installPath = GetItemText(IDC_INSTALL_PATH);
  // Every path built on the install path lives in 256 bytes: a longer one
  // cannot be used at all.
  Text256 path;
  if (installPath.empty() || !path.TryAssign(installPath) || !StartsAtADriveRoot(installPath)) return 0;

  InstallerFileSystem& files = services_.files;
  const std::string_view whole = path.view();
  Text256 prefix;
  prefix.Append(whole.substr(0, 2));
  if (!files.EnterDirectory(prefix.view())) return 0;
  // Each prefix that ends in a backslash is entered, or created when it
  // cannot be. What cannot be created shows when the first file is copied
  // into it.
  for (std::size_t next = 2; next < whole.size(); ++next) {
    prefix.Append(whole.substr(next, 1));
    if (whole[next] == '\\' && !files.EnterDirectory(prefix.view())) files.MakeDirectory(prefix.view());
  }
  if (!files.EnterDirectory(whole)) files.MakeDirectory(whole);

  if (installPath.back() == '\\') installPath.pop_back();
  return 1;
}

int CInstallDlg::ResolvePath(std::string base, ResolvedPath& result, std::string_view fileName, std::int32_t dirIndex) {
  std::string path;
  bool known = dirIndex >= 1 && dirIndex <= dirCount;
  if (known) {
    const std::string_view dirName = dirNames[static_cast<std::size_t>(dirIndex - 1)].view();
    if (EqualsIgnoringCase(dirName, "."))
      path = base;
    else if (EqualsIgnoringCase(dirName, "windows"))
      path = services_.files.WindowsDirectory().str();
    else if (EqualsIgnoringCase(dirName, "system"))
      path = services_.files.SystemDirectory().str();
    else
      path = base + std::string(dirName);  // a subdirectory's name starts with its own backslash
  } else {
    path = base;  // shown in the failure message as the file's place
  }
  path += '\\';
  path += fileName;
  result.usable = known && result.text.TryAssign(path);
  if (!result.usable) result.text.Assign(path);
  return result.usable ? 1 : 0;
}

void CInstallDlg::CreateDirectoriesFor(std::string_view filePath) {
  InstallerFileSystem& files = services_.files;
  const std::size_t end = filePath.rfind('\\');
  if (end == std::string_view::npos) return;
  for (std::size_t at = filePath.find('\\'); at != std::string_view::npos && at <= end;
       at = filePath.find('\\', at + 1)) {
    const std::string_view directory = filePath.substr(0, at);
    // The drive ("C:") and the root exist or cannot be made anyway.
    if (directory.empty() || directory.back() == ':' || directory.back() == '\\') continue;
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
      CreateDirectoriesFor(destination.text.view());
      // A failed copy is tried again from the start, with both files opened
      // anew: copying on from where the failure left the files would
      // corrupt the destination.
      result = files.CopyExpanded(source.text.view(), destination.text.view());
    }
    if (result == LzCopyResult::Copied) break;
    const Text256& named = result == LzCopyResult::SourceOpenFailed ? source.text : destination.text;
    if (ShowMessageBox(FormatWithText(IDS_OPEN_ERROR, named.view()).view(), LoadText(IDS_ERROR_TITLE),
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
  progress_.total = fileCount;
  for (std::uint16_t i = 0; i < fileCount; ++i) {
    const FileEntry& entry = fileEntries[i];
    ShowStatusFormatted(IDS_COPYING_FILE, entry.destName.view());
    ResolvedPath source, destination;
    ResolvePath(sourceDir, source, entry.sourceName.view(), entry.sourceDirIndex);
    ResolvePath(installPath, destination, entry.destName.view(), entry.destDirIndex);
    // Later files are not copied; the status line keeps this file's name.
    if (!CopyFileExpanded(source, destination)) return 0;
    WaitWithMessages(kPauseMs);
    ++progress_.done;
    RedrawItemNow(IDC_PROGRESS);
  }
  return 1;
}

}  // namespace qv
