#include "platform/posix/windows_path.h"

#include <string>

namespace qv::posix {

std::optional<std::filesystem::path> WindowsPathMap::ToNative(std::string_view path) const {
  if (path.find('\0') != std::string_view::npos) return std::nullopt;
  std::string native;
  if (path.size() >= 2 && path[1] == ':') {
    const char drive = path[0];
    if ((drive != 'C' && drive != 'c') || home_.empty()) return std::nullopt;
    // "C:" and "C:name" are taken from the drive's root: the home stands for
    // the whole drive, and it has no working directory of its own.
    native = home_.string();
    path.remove_prefix(2);
    if (path.empty() || (path[0] != '\\' && path[0] != '/')) native += '/';
  }
  for (const char c : path) native += c == '\\' ? '/' : c;
  if (native.empty()) return std::nullopt;
  return std::filesystem::path(native);
}

}  // namespace qv::posix
