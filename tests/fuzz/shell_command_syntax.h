// A reading of the shell's command strings as the shell reads them:
// [Name(arg,arg)][Name(...)]..., where an argument in quotes runs to the
// next quote (the syntax has no escapes) and one without quotes to the next
// ',' or ')'. The fuzz targets use it to see how many commands, and which
// arguments, a composed string really carries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::fuzz {

struct ShellCommand {
  std::string name;
  std::vector<std::string> args;
  friend bool operator==(const ShellCommand&, const ShellCommand&) = default;
};

// Every command of the string, or nothing when it does not read as commands.
inline std::optional<std::vector<ShellCommand>> ReadShellCommands(std::string_view text) {
  std::vector<ShellCommand> commands;
  std::size_t i = 0;
  const auto at = [&](char c) { return i < text.size() && text[i] == c; };
  while (i < text.size()) {
    if (!at('[')) return std::nullopt;
    ShellCommand command;
    for (++i; i < text.size() && !at('(') && !at(']'); ++i) command.name += text[i];
    if (at('(')) {
      do {
        ++i;  // past the '(' or the ','
        std::string arg;
        if (at('"')) {
          const std::size_t close = text.find('"', i + 1);
          if (close == std::string_view::npos) return std::nullopt;
          arg = text.substr(i + 1, close - i - 1);
          i = close + 1;
        } else {
          for (; i < text.size() && !at(',') && !at(')'); ++i) arg += text[i];
        }
        command.args.push_back(arg);
      } while (at(','));
      if (!at(')')) return std::nullopt;
      ++i;
    }
    if (!at(']')) return std::nullopt;
    ++i;
    commands.push_back(std::move(command));
  }
  return commands;
}

// What no name or command line may hold to be carried: a quote, a bracket,
// a parenthesis, a control character.
inline bool HoldsUncarriable(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::string_view("\"[]()").find(c) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace qv::fuzz
