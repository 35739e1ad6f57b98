// How the fuzz targets cut one input into texts: fields separated by the
// byte 0x1E (record separator), which the grammars under test give no
// meaning, so seeds stay readable and dictionaries stay useful. Also the
// check that ends a run on a broken promise, with what was broken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace qv::fuzz {

inline constexpr char kFieldSeparator = '\x1E';

inline std::vector<std::string_view> SplitFields(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string_view> fields;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (;;) {
    const std::size_t at = rest.find(kFieldSeparator);
    fields.push_back(rest.substr(0, at));
    if (at == std::string_view::npos) break;
    rest.remove_prefix(at + 1);
  }
  return fields;
}

// A field by position; empty past the end of the input.
inline std::string_view Field(const std::vector<std::string_view>& fields, std::size_t n) {
  return n < fields.size() ? fields[n] : std::string_view();
}

[[noreturn]] inline void Broken(const char* promise) {
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

inline void Require(bool held, const char* promise) {
  if (!held) Broken(promise);
}

}  // namespace qv::fuzz
