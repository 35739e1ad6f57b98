// The text of one INI file for the linux profile store: entries are found by
// kernel32's rules, and setting one changes that entry's line alone. No file
// access here; IniProfileStore reads and replaces the files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv::posix {

// The white space that the profile functions drop around lines, names and
// values: 0x09-0x0D, space, and Ctrl-Z (0x1A). Not 0xA0.
bool IsIniSpace(char c);
std::string_view TrimIni(std::string_view text);

// Names and values are C strings to kernel32: they end at an embedded NUL.
std::string_view UpToNul(std::string_view text);

class IniDocument {
 public:
  explicit IniDocument(std::string text) : text_(std::move(text)) {}

  const std::string& text() const { return text_; }

  // The entry's value, trimmed, quotes still on, cut at a NUL. Empty optional
  // when the section or key is missing, or when the key's line has no '='
  // (such a line hides any later line of the same key, as in kernel32). Only
  // the first section of a name is searched; names are compared trimmed and
  // without regard to ASCII case. The section named "" is the part of the file
  // before its first section header.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  // Gives the entry this value, creating the key or the section as needed.
  // Expects names already trimmed and free of line breaks, and a value
  // without line breaks or leading white space. Returns false when the entry
  // already held exactly this value, in which case the text is unchanged.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::string text_;
};

}  // namespace qv::posix
