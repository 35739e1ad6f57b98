// The profile store of the win32 build: kernel32's private-profile functions,
// which hold every rule (and their own cache of the files) themselves. A bare
// file name lies in the Windows directory. A batch holds a named mutex that
// every batch of every instance waits for, so two Sets never interleave.
#pragma once

#include <string_view>

#include "platform/profile_store.h"

namespace qv::win32 {

class Win32ProfileStore final : public ProfileStore {
 public:
  Text256 ReadString(std::string_view section, std::string_view key,
                     std::string_view defaultValue, std::string_view file) override;
  int ReadInt(std::string_view section, std::string_view key, int defaultValue,
              std::string_view file) override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view file) override;
  bool WriteStrings(std::span<const ProfileEntry> entries, std::string_view file) override;
};

}  // namespace qv::win32
