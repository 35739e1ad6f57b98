// Splits a command line into program and arguments the way Windows starts a
// program from one, so that a line written for Windows (quotes around paths
// with blanks, backslashes before quotes) gives the same argv here.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::posix {

// Whether a path names a program that can be started.
using ProgramTest = std::function<bool(const std::string&)>;

// Blanks and tabs separate arguments. The program name (the first argument)
// ends at the first blank outside quotes and knows no escapes. In the other
// arguments: 2n backslashes before a quote give n backslashes and the quote
// opens or closes a quoted part; 2n+1 give n backslashes and a literal quote;
// other backslashes are literal; inside a quoted part "" is a literal quote.
// An unclosed quote runs to the end of the line. Empty for a blank line.
//
// A line that as a whole is accepted by `isProgram` is that program alone,
// with no arguments (a path with blanks, stored unquoted as a file chooser
// gives it). Otherwise an unquoted program name with blanks in it is found
// as Windows finds it: each longer run of the line's words,
// shortest first, up to the first quote, is offered to `isProgram`, and the
// first one it accepts is the program. Without a test, or when it accepts
// none, the program name is the first word.
std::vector<std::string> SplitCommandLine(std::string_view line, const ProgramTest& isProgram = nullptr);

}  // namespace qv::posix
