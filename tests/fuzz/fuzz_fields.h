// How the fuzz targets cut one input into texts: fields separated by the
// byte 0x1E (record separator), which the grammars under test give no
// meaning, so seeds stay readable and dictionaries stay useful. Also the
// check that ends a run on a broken promise, with what was broken, and the
// run's scratch directory with its files (WriteFileBytes from temp_dir.h).
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "tests/support/temp_dir.h"

namespace qv::fuzz {

using testing::WriteFileBytes;

inline std::vector<std::string_view> SplitFields(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string_view> fields;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (;;) {
    const std::size_t at = rest.find('\x1E');
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

// One directory for the whole run, in memory where the machine has one (the
// targets write and sync files on every input), removed with everything in
// it when the run ends. Made on the first call, named after `prefix`.
inline const std::filesystem::path& RunDirectory(const char* prefix) {
  namespace fs = std::filesystem;
  // Never destroyed: the handler registered below runs after the
  // destructor of a static path would have.
  static const fs::path& directory = *[prefix] {
    const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = (base / (std::string(prefix) + ".XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) Broken("no temporary directory");
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(RunDirectory(nullptr), ignored);
    });
    return new fs::path(pattern);
  }();
  return directory;
}

// The whole file; none when there is none.
inline std::optional<std::string> FileBytes(const std::filesystem::path& path) {
  if (!std::filesystem::exists(path)) return std::nullopt;
  return testing::ReadFileBytes(path);
}

}  // namespace qv::fuzz
