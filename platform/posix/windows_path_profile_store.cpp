#include "platform/posix/windows_path_profile_store.h"

#include <string>

namespace qv::posix {

std::optional<std::string> WindowsPathProfileStore::Mapped(std::string_view file) const {
  const bool bare = file.find_first_of("\\/") == std::string_view::npos &&
                    !(file.size() >= 2 && file[1] == ':');
  if (bare) return std::string(file);
  const auto native = paths_.ToNative(file);
  if (!native) return std::nullopt;
  return native->string();
}

Text256 WindowsPathProfileStore::ReadString(std::string_view section, std::string_view key,
                                            std::string_view defaultValue, std::string_view file) {
  const auto name = Mapped(file);
  // An empty name reads as a missing file: the engine's own answer for one.
  return store_.ReadString(section, key, defaultValue, name ? *name : std::string());
}

int WindowsPathProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue,
                                     std::string_view file) {
  const auto name = Mapped(file);
  return store_.ReadInt(section, key, defaultValue, name ? *name : std::string());
}

bool WindowsPathProfileStore::WriteString(std::string_view section, std::string_view key, std::string_view value,
                                          std::string_view file) {
  const auto name = Mapped(file);
  return name && store_.WriteString(section, key, value, *name);
}

}  // namespace qv::posix
