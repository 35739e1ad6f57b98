// The profile store of the linux build: kernel32's private-profile rules over
// plain text files. A write replaces the file in one step (temporary file,
// then rename), so a failed write leaves the old file whole; a batch is one
// such step, under a lock that other writers of the file wait for.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/profile_store.h"

namespace qv::posix {

class IniProfileStore final : public ProfileStore {
 public:
  // A file name without '/' lives in this directory, which is created (mode
  // 0700, with its parents) by the first write. A name with '/' is a path.
  explicit IniProfileStore(std::filesystem::path directory);

  // $XDG_CONFIG_HOME/qv27-518 when that variable holds an absolute path, else
  // ~/.config/qv27-518 (the home from $HOME, or from the password database
  // when HOME is unset or empty). Empty when no home can be found; a store
  // over an empty directory has no bare-named files and cannot write them.
  static std::filesystem::path DefaultDirectory();

  Text256 ReadString(std::string_view section, std::string_view key,
                     std::string_view defaultValue, std::string_view file) override;
  int ReadInt(std::string_view section, std::string_view key, int defaultValue,
              std::string_view file) override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view file) override;
  bool WriteStrings(std::span<const ProfileEntry> entries, std::string_view file) override;

 private:
  std::filesystem::path directory_;
};

}  // namespace qv::posix
