#include "platform/installer_paths.h"

namespace qv {

std::string CompressedName(std::string_view path, std::string_view separators) {
  std::string name(path);
  const std::size_t slash = name.find_last_of(separators);
  const std::size_t dot = name.find('.', slash == std::string::npos ? 0 : slash);
  if (dot == std::string::npos) return name + "._";
  if (name.size() - dot - 1 < 3) return name + "_";
  name.back() = '_';
  return name;
}

}  // namespace qv
