#include "installer/shell_commands.h"

#include <algorithm>

#include "framework/text_case.h"

namespace qv {

bool CanCarryInShellCommand(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '"' || c == '[' || c == ']' || c == '(' || c == ')';
  });
}

std::optional<std::string> CreateGroupCommand(std::string_view groupName) {
  if (!CanCarryInShellCommand(groupName)) return std::nullopt;
  std::string command = "[CreateGroup(\"";
  command += groupName;
  command += "\")]";
  return command;
}

std::optional<std::string> AddItemCommand(std::string_view commandLine, std::string_view description) {
  if (!CanCarryInShellCommand(commandLine) || !CanCarryInShellCommand(description)) return std::nullopt;
  std::string command = "[AddItem(\"";
  command += commandLine;
  command += "\",\"";
  command += description;
  command += "\")]";
  return command;
}

std::string ItemCommandLine(std::string_view installPath, std::string_view fileName,
                            std::string_view windowsDirectory) {
  std::string line(installPath);
  line += '\\';
  line += fileName;
  if (EqualsIgnoringCase(fileName, "README.TXT")) line = std::string(windowsDirectory) + "\\NOTEPAD.EXE " + line;
  return line;
}

}  // namespace qv
