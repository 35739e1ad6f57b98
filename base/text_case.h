// Comparing names without regard to letter case, as Windows compares the
// names of files and directories that the information file holds. Only the
// ASCII letters fold: the names are plain ASCII, and a byte above 0x7F must
// not compare differently with the C library's locale.
#pragma once

#include <string_view>

namespace qv {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace qv
