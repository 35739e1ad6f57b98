#include "installer/shell_commands.h"

#include "framework/text_case.h"

namespace qv {

std::string CreateGroupCommand(std::string_view groupName) {
  std::string command = "[CreateGroup(\"";
  command += groupName;
  command += "\")]";
  return command;
}

std::string AddItemCommand(std::string_view commandLine, std::string_view description) {
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
