// The records of the installation information file: one file line and one
// program-group line each, as fixed-width fields. Texts longer than a field
// are cut to its width less one; a record starts empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/fixed_text.h"

namespace qv {

// How many entries of each list the information file may fill.
inline constexpr std::size_t kMaxDisks = 4;
inline constexpr std::size_t kMaxDirs = 10;
inline constexpr std::size_t kMaxFiles = 50;
inline constexpr std::size_t kMaxGroupItems = 10;

struct FileEntry {
  std::int32_t diskNumber = 0;      // kept, used by nothing
  FixedText<52> sourceName;         // the file on the medium
  std::int32_t sourceDirIndex = 0;  // 1-based into dirNames
  FixedText<52> destName;           // the file at the destination, shown while copying
  std::int32_t destDirIndex = 0;    // 1-based into dirNames
  std::int32_t flag1 = 0;           // the three flags: 1 or 0, kept, used by nothing
  std::int32_t flag2 = 0;
  std::int32_t flag3 = 0;
};

struct GroupItem {
  FixedText<128> fileName;    // the program the item starts, relative to the target directory
  FixedText<50> description;  // the item's caption
};

}  // namespace qv
