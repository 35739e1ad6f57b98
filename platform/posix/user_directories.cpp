#include "platform/posix/user_directories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace qv::posix {
namespace {

namespace fs = std::filesystem;

// An XDG variable counts only when it is absolute, as the base directory
// specification says; a relative one is ignored.
fs::path XdgOr(const char* variable, const fs::path& fallbackUnderHome) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return fs::path(value);
  const fs::path home = HomeDirectory();
  if (home.empty()) return {};
  return home / fallbackUnderHome;
}

}  // namespace

fs::path HomeDirectory() {
  std::string home;
  if (const char* fromEnv = std::getenv("HOME"); fromEnv != nullptr) home = fromEnv;
  if (home.empty()) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
      home = found->pw_dir;
    }
  }
  return fs::path(home);
}

fs::path ConfigHome() { return XdgOr("XDG_CONFIG_HOME", ".config"); }

fs::path DataHome() { return XdgOr("XDG_DATA_HOME", fs::path(".local") / "share"); }

}  // namespace qv::posix
