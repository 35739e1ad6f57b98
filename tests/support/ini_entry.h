// A value of a configuration file as a reader of it finds it: the first
// `key=` line of the section, sections and keys compared as written. The
// scenarios of both programs read the files the programs leave with it.
#pragma once

#include <string>

namespace qv::testing {

inline std::string IniEntry(const std::string& file, const std::string& section, const std::string& key) {
  bool inSection = false;
  std::size_t at = 0;
  while (at < file.size()) {
    std::size_t end = file.find('\n', at);
    if (end == std::string::npos) end = file.size();
    std::string line = file.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') inSection = line == "[" + section + "]";
    else if (inSection && line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return "<missing>";
}

}  // namespace qv::testing
