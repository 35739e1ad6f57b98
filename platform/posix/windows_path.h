// How the installer's Windows-style paths land on Linux: drive "C:" is the
// user's home, "\" and "/" both separate names, and any other drive letter
// is a drive this PC does not have. A path without a drive is a Linux path
// as it stands (the installer's own folder comes from the kernel in that form).
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace qv::posix {

class WindowsPathMap {
 public:
  explicit WindowsPathMap(std::filesystem::path home) : home_(std::move(home)) {}

  // The Linux path meant; nothing for a drive that does not exist (any
  // letter but C, or C without a home) or a path with a NUL in it.
  std::optional<std::filesystem::path> ToNative(std::string_view path) const;
  const std::filesystem::path& Home() const { return home_; }

 private:
  std::filesystem::path home_;
};

}  // namespace qv::posix
