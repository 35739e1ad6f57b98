// The rules for the installer's paths that every installer file system keeps
// alike, the real ones and the test double: how long a path may be, and the
// name a compressed copy of a file carries on a medium.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

// Every path of the installer lives in a 256-byte buffer; a longer one is
// refused by every operation alike, so that the existence test and the copy
// never disagree about a file.
inline constexpr std::size_t kLongestInstallerPath = 255;

inline bool FitsInstallerPath(std::string_view path) {
  return !path.empty() && path.size() <= kLongestInstallerPath;
}

// The extension's last character replaced by "_" ("_" added to a shorter
// one, "._" to a name without one), where the LZ library looks when a file
// to be read is not found under its own name. The extension is looked for
// after the last of `separators`.
std::string CompressedName(std::string_view path, std::string_view separators = "\\");

}  // namespace qv
