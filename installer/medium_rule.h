// What a distribution medium may name. The medium is untrusted: its file
// names, directory entries and program-group files are relative to the
// install path (or the medium's folder), and nothing it names may reach
// outside them. One rule for every target: names are checked as Windows
// reads them (either slash separates, trailing dots and spaces vanish, a
// colon is a drive or a stream), which is also safe on Linux.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "installer/info_file.h"

namespace qv {

// A relative name of one or more components ("A.EXE", "BIN\TOOL.EXE"):
// no root, drive or UNC prefix, no component that means a parent (".."
// and its spellings with trailing dots or spaces), no character that a
// Windows file system cannot hold, no device name.
bool IsSafeName(std::string_view name);
// A name of exactly one component.
bool IsBareName(std::string_view name);
// A directory entry as the information file gives it: "." (or empty),
// "windows", "system", or a subdirectory written with its leading
// backslash ("\BIN"). An entry without that backslash would be glued to
// the last name of the base ("C:\QV27-518DRIVER"), beside it, not in it.
bool IsSafeDirEntry(std::string_view entry);
// True when a component of the path steps to a parent.
bool HasParentStep(std::string_view path);

// `base`, then the entry's and the name's components, each after one
// `separator`: the path that the rule above keeps inside `base`.
std::string JoinInside(std::string_view base, char separator, std::string_view entry, std::string_view name);

// The first line of the information file that breaks the rule, with its
// section ("[Program] file2=1:A.EX_, 1, ..\A.EXE, 1, N, N, N"); nothing
// when the medium keeps to it.
std::optional<std::string> FindUnsafeLine(const InfoFile& info);

}  // namespace qv
