// The medium's texts are bytes in the Windows ANSI code page of the PCs the
// medium was made for (Windows-1252): the Windows programs show them so.
// Linux menus take UTF-8 only, so names are converted on the way there.
#pragma once

#include <string>
#include <string_view>

namespace qv::posix {

// Every byte as its Windows-1252 character in UTF-8; the five bytes that
// code page leaves unassigned become U+FFFD, so that the result is always
// valid UTF-8 and never a C1 control.
std::string Windows1252ToUtf8(std::string_view text);

}  // namespace qv::posix
