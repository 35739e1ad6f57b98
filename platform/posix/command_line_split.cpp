#include "platform/posix/command_line_split.h"

namespace qv::posix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The length of the unquoted program name at the start of `line` that
// `isProgram` accepts, or 0.
std::size_t ProgramWithBlanks(std::string_view line, const ProgramTest& isProgram) {
  if (!isProgram) return 0;
  const std::size_t quote = line.find('"');
  const std::string_view unquoted = line.substr(0, quote);
  for (std::size_t end = 1; end <= unquoted.size(); ++end) {
    const bool wordEnds = end == line.size() || IsBlank(line[end]);
    if (!IsBlank(line[end - 1]) && wordEnds && isProgram(std::string(line.substr(0, end)))) return end;
  }
  return 0;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line, const ProgramTest& isProgram) {
  std::vector<std::string> arguments;
  // Browse stores a path as it is, blanks and all: when the whole line is a
  // program, no shorter run of its words ("/home/u/my" of "/home/u/my prog")
  // may be started in its place.
  if (isProgram && !line.empty() && isProgram(std::string(line))) {
    arguments.emplace_back(line);
    return arguments;
  }
  std::size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  line.remove_prefix(at);
  if (line.empty()) return arguments;
  at = 0;
  const std::size_t end = line.size();

  if (const std::size_t length = ProgramWithBlanks(line, isProgram)) {
    arguments.emplace_back(line.substr(0, length));
    at = length;
  } else {
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
  }

  while (true) {
    while (at < end && IsBlank(line[at])) ++at;
    if (at == end) break;
    std::string argument;
    bool quoted = false;
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
