// The profile store: the three private-profile (INI) operations through which
// both programs read and write their configuration and information files. The
// win32 build uses kernel32; the linux build an engine of its own with the
// same observable rules. A file given by bare name lies in one fixed place.
#pragma once

#include <string_view>

#include "framework/fixed_text.h"

namespace qv {

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
};

}  // namespace qv
