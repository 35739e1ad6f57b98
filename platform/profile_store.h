// The profile store: the three private-profile (INI) operations through which
// both programs read and write their configuration and information files. The
// win32 build uses kernel32; the linux build an engine of its own with the
// same observable rules. A file given by bare name lies in one fixed place.
#pragma once

#include <span>
#include <string_view>

#include "base/fixed_text.h"

namespace qv {

// One entry of a batch write; the texts belong to the caller.
struct ProfileEntry {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // The value of the entry, or the default when the file, the section or the
  // key is missing; at most 255 characters are seen, a longer value is cut.
  virtual Text256 ReadString(std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::string_view file) = 0;

  // The value read as an integer (decimal, or with a 0x, 0o or 0b prefix), or
  // the default when the entry is missing or empty.
  virtual int ReadInt(std::string_view section, std::string_view key, int defaultValue,
                      std::string_view file) = 0;

  // Sets the entry, creating the file, section and key as needed and keeping
  // every other entry. Callers in the programs do not look at the result.
  virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                           std::string_view file) = 0;

  // Sets several entries of one file, in order, as one change: another
  // program's batch on the same file comes wholly before or wholly after it.
  // The plain store just writes them one by one; false when any write failed.
  virtual bool WriteStrings(std::span<const ProfileEntry> entries, std::string_view file) {
    bool all = true;
    for (const ProfileEntry& entry : entries) all = WriteString(entry.section, entry.key, entry.value, file) && all;
    return all;
  }
};

}  // namespace qv
