// The program-group commands that the installer sends to the shell, as
// text, character for character. The texts are carried whole, however long
// the install path and the names make them; a text that the command syntax
// cannot carry makes no command at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Whether a text can stand as one quoted argument of a shell command. The
// syntax has no escapes: a quote, a bracket or a parenthesis would end the
// argument or the command early and let the rest read as commands of its
// own, and control characters have no place in a name or a command line.
// A comma is carried, since every argument is quoted.
bool CanCarryInShellCommand(std::string_view text);

// The command, or nothing when a text cannot be carried.
std::optional<std::string> CreateGroupCommand(std::string_view groupName);
std::optional<std::string> AddItemCommand(std::string_view commandLine, std::string_view description);

// The command line of a group item: the program in the target directory,
// or, for README.TXT (in any letter case), Notepad opening that file.
std::string ItemCommandLine(std::string_view installPath, std::string_view fileName,
                            std::string_view windowsDirectory);

}  // namespace qv
