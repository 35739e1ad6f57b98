// The program-group commands of the Windows shell's DDE service, as text,
// character for character. The texts are carried whole, however long the
// install path and the names make them; a text that the command syntax
// cannot carry makes no command at all. Plain text work with no Windows
// call, so the tests and the fuzzer run it natively as well.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/shell_program_group.h"

namespace qv::win32 {

// Whether a text can stand as one quoted argument of a shell command. The
// syntax has no escapes: a quote, a bracket or a parenthesis would end the
// argument or the command early and let the rest read as commands of its
// own, and control characters have no place in a name or a command line.
// A comma is carried, since every argument is quoted.
bool CanCarryInShellCommand(std::string_view text);

// The command line of a group item: the file in the target directory, or,
// for a text file, Notepad from the Windows directory opening it.
std::string ItemCommandLine(const ProgramGroupItem& item, std::string_view windowsDirectory);

// The command, or nothing when a text cannot be carried.
std::optional<std::string> CreateGroupCommand(std::string_view groupName);
std::optional<std::string> AddItemCommand(const ProgramGroupItem& item, std::string_view windowsDirectory);

}  // namespace qv::win32
