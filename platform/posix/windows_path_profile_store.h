// The installer's profile store on Linux: the information file is named by a
// Windows-style path ("<medium>\QV27-518.INF", "C:\...\X.INI"), which this
// store maps through WindowsPathMap before the INI engine sees it. A bare
// name still means a file of the configuration directory. A path on a
// drive that does not exist reads as a missing file and is never written.
#pragma once

#include "platform/posix/windows_path.h"
#include "platform/profile_store.h"

namespace qv::posix {

class WindowsPathProfileStore final : public ProfileStore {
 public:
  WindowsPathProfileStore(ProfileStore& store, WindowsPathMap paths) : store_(store), paths_(std::move(paths)) {}

  Text256 ReadString(std::string_view section, std::string_view key, std::string_view defaultValue,
                     std::string_view file) override;
  int ReadInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file) override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view file) override;

 private:
  // The name the engine takes; nothing for a drive that does not exist.
  std::optional<std::string> Mapped(std::string_view file) const;

  ProfileStore& store_;
  WindowsPathMap paths_;
};

}  // namespace qv::posix
