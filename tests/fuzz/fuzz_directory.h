// The scratch directory of a fuzz run: one for the whole run, in memory where
// the machine has one (the targets write and sync files on every input), and
// removed with everything in it when the run ends.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "tests/fuzz/fuzz_fields.h"

namespace qv::fuzz {

// Made on the first call, named after `prefix` ("qv-ini-fuzz" gives
// qv-ini-fuzz.XXXXXX); later calls return the same directory.
inline const std::filesystem::path& RunDirectory(const char* prefix) {
  namespace fs = std::filesystem;
  // Never destroyed: the removal at exit needs the name, and a static path
  // would be destroyed before that handler runs (the handler is registered
  // while the path is still being made, so it runs after its destructor).
  static const fs::path& directory = *[prefix] {
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
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

}  // namespace qv::fuzz
