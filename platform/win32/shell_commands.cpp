#include "platform/win32/shell_commands.h"

#include <algorithm>

namespace qv::win32 {

bool CanCarryInShellCommand(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '"' || c == '[' || c == ']' || c == '(' || c == ')';
  });
}

std::string ItemCommandLine(const ProgramGroupItem& item, std::string_view windowsDirectory) {
  std::string line(item.installPath);
  line += '\\';
  line += item.fileName;
  if (item.kind == GroupItemKind::TextFile) line = std::string(windowsDirectory) + "\\NOTEPAD.EXE " + line;
  return line;
}

std::optional<std::string> CreateGroupCommand(std::string_view groupName) {
  if (!CanCarryInShellCommand(groupName)) return std::nullopt;
  std::string command = "[CreateGroup(\"";
  command += groupName;
  command += "\")]";
  return command;
}

std::optional<std::string> AddItemCommand(const ProgramGroupItem& item, std::string_view windowsDirectory) {
  const std::string commandLine = ItemCommandLine(item, windowsDirectory);
  if (!CanCarryInShellCommand(commandLine) || !CanCarryInShellCommand(item.caption)) return std::nullopt;
  std::string command = "[AddItem(\"";
  command += commandLine;
  command += "\",\"";
  command += item.caption;
  command += "\")]";
  return command;
}

}  // namespace qv::win32
