// Splits a command line into program and arguments the way a Windows
// program's C runtime does, so that a line written for Windows (quotes around
// paths with blanks, backslashes before quotes) gives the same argv here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv::posix {

// Blanks and tabs separate arguments. The program name (the first argument)
// ends at the first blank outside quotes and knows no escapes. In the other
// arguments: 2n backslashes before a quote give n backslashes and the quote
// opens or closes a quoted part; 2n+1 give n backslashes and a literal quote;
// other backslashes are literal; inside a quoted part "" is a literal quote.
// An unclosed quote runs to the end of the line. Empty for a blank line.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace qv::posix
