// CInstallDlg: the installer's main dialog (template 101) and the hub of the
// installer. Every step is an operation of this dialog and works on its
// members: the paths, the port count, the lists read from the information
// file. The implementation is split by concern: install_dlg.cpp (start-up,
// Setup, configuration, exit, About, painting), status_line.cpp,
// info_file.cpp, port_detection.cpp, file_installation.cpp and
// program_group.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/dialog.h"
#include "framework/fixed_text.h"
#include "installer/info_records.h"
#include "installer/installer_services.h"

namespace qv {

// A path built for one copy, and whether it is usable: a path that does not
// fit its 256-byte buffer, or one whose directory index names no stored
// directory, fails like a file that cannot be opened.
struct ResolvedPath {
  Text256 text;
  bool usable = false;
};

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

  // The steps; each returns 1 for success, 0 for failure.
  int DetectParallelPorts(std::int32_t& count);
  int ReadInfoFile();
  int PrepareInstallDir();
  int ResolvePath(std::string base, ResolvedPath& result, std::string_view fileName, std::int32_t dirIndex);
  int CopyFileExpanded(const ResolvedPath& source, const ResolvedPath& destination);
  int CopyAllFiles();
  int WriteConfiguration();
  int CreateProgramGroup();

  // Parses one line of the information file into a record; 1 when the
  // whole line was parsed, 0 when a separator is missing (the fields before
  // it are kept).
  static int ParseFileEntry(std::string_view line, FileEntry& entry);
  static int ParseGroupItem(std::string_view line, GroupItem& item);
  // A string of the string table with `text` put in for its "%s", in a
  // buffer of 256 bytes: a longer result is cut.
  Text256 FormatWithText(unsigned stringId, std::string_view text) const;

  // What the steps have stored, read-only: the tests check it, and nothing
  // outside the dialog changes it.
  const std::string& InfPath() const { return infPath; }
  const std::string& SourceDir() const { return sourceDir; }
  const std::string& DefInstallDir() const { return defInstallDir; }
  const std::string& ConfigSection() const { return configSection; }
  const std::string& InitialFile() const { return initialFile; }
  std::int32_t PortCount() const { return portCount; }
  const std::string& InstallPath() const { return installPath; }
  std::uint16_t DiskCount() const { return diskCount; }
  std::uint16_t DirCount() const { return dirCount; }
  std::uint16_t FileCount() const { return fileCount; }
  std::uint16_t GroupItemCount() const { return groupItemCount; }
  const FixedText<100>& DiskLabel(std::size_t i) const { return diskLabels.at(i); }
  const FixedText<30>& DirName(std::size_t i) const { return dirNames.at(i); }
  const FileEntry& FileEntryAt(std::size_t i) const { return fileEntries.at(i); }
  const GroupItem& GroupItemAt(std::size_t i) const { return groupItems.at(i); }
  const std::string& GroupName() const { return groupName; }

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
  // Creates every missing directory above the file, so that a destination
  // in a subdirectory of the install path can be opened.
  void CreateDirectoriesFor(std::string_view filePath);

  InstallerServices services_;
  ProgressCounters& progress_;
  // Set while the start-up or the Setup sequence runs: their pauses
  // dispatch messages, and a Setup press that arrives then is ignored.
  bool sequenceRunning_ = false;

  // Members, in the order of the installer's design.
  IconHandle hIcon;
  std::string infPath;
  std::string defInstallDir;
  std::string configSection;
  std::string initialFileKey;
  std::string defInstallDirKey;
  std::string portCountKey;
  std::string installedDirKey;
  std::string initialFile;
  std::int32_t portCount = 0;
  std::string installPath;
  std::string sourceDir;
  int statusCtrl = 0;
  std::uint16_t diskCount = 0;
  std::uint16_t dirCount = 0;
  std::uint16_t fileCount = 0;
  std::uint16_t groupItemCount = 0;
  std::array<FixedText<100>, kMaxDisks> diskLabels;
  std::array<FixedText<30>, kMaxDirs> dirNames;
  std::array<FileEntry, kMaxFiles> fileEntries;
  std::array<GroupItem, kMaxGroupItems> groupItems;
  std::string groupName;
};

}  // namespace qv
