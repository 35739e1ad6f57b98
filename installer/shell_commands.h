// The program-group commands that the installer sends to the shell, as
// text, character for character. The texts are carried whole, however long
// the install path and the names make them.
#pragma once

#include <string>
#include <string_view>

namespace qv {

std::string CreateGroupCommand(std::string_view groupName);
std::string AddItemCommand(std::string_view commandLine, std::string_view description);

// The command line of a group item: the program in the target directory,
// or, for README.TXT (in any letter case), Notepad opening that file.
std::string ItemCommandLine(std::string_view installPath, std::string_view fileName,
                            std::string_view windowsDirectory);

}  // namespace qv
