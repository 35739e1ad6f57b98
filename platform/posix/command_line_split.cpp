#include "platform/posix/command_line_split.h"

namespace qv::posix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t at = 0;
  const std::size_t end = line.size();
  while (at < end && IsBlank(line[at])) ++at;
  if (at == end) return arguments;

  // The program name: quotes only group, nothing is escaped.
  std::string program;
  bool quoted = false;
  for (; at < end && (quoted || !IsBlank(line[at])); ++at) {
    if (line[at] == '"')
      quoted = !quoted;
    else
      program += line[at];
  }
  arguments.push_back(std::move(program));

  while (true) {
    while (at < end && IsBlank(line[at])) ++at;
    if (at == end) break;
    std::string argument;
    quoted = false;
    while (at < end && (quoted || !IsBlank(line[at]))) {
      if (line[at] == '\\') {
        std::size_t backslashes = 0;
        while (at < end && line[at] == '\\') ++backslashes, ++at;
        if (at < end && line[at] == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++at;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (line[at] == '"') {
        ++at;
        if (quoted && at < end && line[at] == '"') {
          argument += '"';
          ++at;
        } else {
          quoted = !quoted;
        }
      } else {
        argument += line[at++];
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace qv::posix
