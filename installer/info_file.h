// The installation information file as one value: the configuration keys,
// the disk labels, directory names, file lines and program-group lines, and
// the group's name. ReadInfoFile fills it through any profile store; the
// dialog keeps the value, and the installation's steps read it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_text.h"
#include "installer/info_records.h"
#include "platform/profile_store.h"

namespace qv {

struct InfoFile {
  // Section "Configuration".
  std::string defInstallDir = "C:\\QV27-518";
  std::string initialFile;
  // At most kMaxDisks, kMaxDirs, kMaxFiles and kMaxGroupItems entries: a
  // count beyond a list's capacity reads only what the list holds.
  std::vector<FixedText<100>> diskLabels;
  std::vector<FixedText<30>> dirNames;
  std::vector<FileEntry> files;
  std::vector<GroupItem> groupItems;
  // The lines as the file gives them, in the order of `files` and
  // `groupItems`: a message about a line shows it as it was written.
  std::vector<Text256> fileLines;
  std::vector<Text256> groupLines;
  std::string groupName = "Vorn Setting Tools";
};

// The two configuration keys alone, which the dialog shows before it knows
// whether the file is there; a missing file leaves the defaults.
void ReadConfigurationKeys(ProfileStore& profile, std::string_view path, InfoFile& info);
// The whole file. Missing entries take their defaults, so a missing file
// gives an empty installation.
InfoFile ReadInfoFile(ProfileStore& profile, std::string_view path);

// One line into a record; 1 when the whole line was parsed, 0 when a
// separator is missing (the fields before it are kept).
int ParseFileEntry(std::string_view line, FileEntry& entry);
int ParseGroupItem(std::string_view line, GroupItem& item);

}  // namespace qv
