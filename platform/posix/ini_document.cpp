#include "platform/posix/ini_document.h"

#include <algorithm>
#include <cstddef>

namespace qv::posix {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One line: its text is [begin, end), its line break [end, next). Any CR or
// LF ends a line, as in kernel32's reader (a lone CR inside an LF file too);
// CRLF counts as one break so that an edit keeps it whole.
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

bool NextLine(std::string_view text, std::size_t& pos, Line& line) {
  if (pos >= text.size()) return false;
  std::size_t end = text.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) end = text.size();
  std::size_t next = end;
  if (next < text.size()) {
    next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
  }
  line = {pos, end, next};
  pos = next;
  return true;
}

enum class Kind { kBlank, kSection, kKey };

struct ParsedLine {
  Kind kind = Kind::kBlank;
  std::string_view name;
  bool hasValue = false;
  // Offsets into the text: the trimmed line, and the trimmed value after '='.
  std::size_t contentEnd = 0;
  std::size_t valueBegin = 0;
  std::size_t valueEnd = 0;
};

ParsedLine Parse(std::string_view text, const Line& line) {
  ParsedLine parsed;
  std::size_t begin = line.begin;
  std::size_t end = line.end;
  while (begin < end && IsIniSpace(text[begin])) ++begin;
  while (end > begin && IsIniSpace(text[end - 1])) --end;
  if (begin == end) return parsed;
  const std::string_view content = text.substr(begin, end - begin);
  parsed.contentEnd = end;

  // A '[' line without any ']' is no header: it reads as a key without a
  // value, and the lines after it stay in the section before.
  if (content.front() == '[') {
    const std::size_t close = content.rfind(']');
    if (close != std::string_view::npos) {
      parsed.kind = Kind::kSection;
      parsed.name = UpToNul(TrimIni(content.substr(1, close - 1)));
      return parsed;
    }
  }

  parsed.kind = Kind::kKey;
  const std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) {
    parsed.name = UpToNul(content);
    return parsed;
  }
  parsed.name = UpToNul(TrimIni(content.substr(0, equals)));
  parsed.hasValue = true;
  // The white space after '=' belongs to the layout, kept when the value is
  // replaced, even when no value follows it.
  std::size_t valueBegin = begin + equals + 1;
  while (valueBegin < line.end && IsIniSpace(text[valueBegin])) ++valueBegin;
  parsed.valueBegin = valueBegin;
  parsed.valueEnd = std::max(end, valueBegin);
  return parsed;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::size_t BodyStart(std::string_view text) {
  return text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
}

// Where an entry is, or where it would go.
struct Location {
  bool sectionFound = false;
  // Just after the last non-blank line of the section: where a new key goes.
  std::size_t insertAt = 0;
  // That line is the file's last and has no line break of its own.
  bool insertNeedsBreak = false;
  bool keyFound = false;
  Line keyLine;
  ParsedLine key;
};

Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  section = UpToNul(TrimIni(UpToNul(section)));
  key = UpToNul(TrimIni(UpToNul(key)));

  Location where;
  std::size_t pos = BodyStart(text);
  bool inSection = section.empty();
  if (inSection) {
    where.sectionFound = true;
    where.insertAt = pos;
  }
  Line line;
  while (NextLine(text, pos, line)) {
    const ParsedLine parsed = Parse(text, line);
    if (parsed.kind == Kind::kSection) {
      // Only the first section of a name counts; a later one is never read.
      if (inSection) break;
      if (EqualNoCase(parsed.name, section)) {
        inSection = where.sectionFound = true;
        where.insertAt = line.next;
        where.insertNeedsBreak = line.next == line.end;
      }
      continue;
    }
    if (!inSection || parsed.kind == Kind::kBlank) continue;
    where.insertAt = line.next;
    where.insertNeedsBreak = line.next == line.end;
    if (EqualNoCase(parsed.name, key)) {
      where.keyFound = true;
      where.keyLine = line;
      where.key = parsed;
      break;
    }
  }
  return where;
}

// New lines follow the file's own first line break; LF for a file without one.
std::string_view LineBreakOf(std::string_view text) {
  const std::size_t at = text.find_first_of("\r\n");
  if (at == std::string_view::npos || text[at] == '\n') return "\n";
  if (at + 1 < text.size() && text[at + 1] == '\n') return "\r\n";
  return "\r";
}

}  // namespace

bool IsIniSpace(char c) {
  return (c >= '\t' && c <= '\r') || c == ' ' || c == '\x1A';
}

std::string_view TrimIni(std::string_view text) {
  while (!text.empty() && IsIniSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsIniSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

std::optional<std::string_view> IniDocument::Find(std::string_view section,
                                                  std::string_view key) const {
  const Location where = Locate(text_, section, key);
  if (!where.keyFound || !where.key.hasValue) return std::nullopt;
  return UpToNul(std::string_view(text_).substr(where.key.valueBegin,
                                                where.key.valueEnd - where.key.valueBegin));
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const Location where = Locate(text_, section, key);
  const std::string_view lineBreak = LineBreakOf(text_);

  if (where.keyFound) {
    const ParsedLine& found = where.key;
    if (found.hasValue) {
      const std::string_view old = UpToNul(
          std::string_view(text_).substr(found.valueBegin, found.valueEnd - found.valueBegin));
      if (old == value) return false;
      // Keeps the key, the '=' and the white space after it as the user wrote
      // them; the old value and any white space after it go.
      text_.replace(found.valueBegin, where.keyLine.end - found.valueBegin, value);
    } else {
      std::string entry = "=";
      entry += value;
      text_.replace(found.contentEnd, where.keyLine.end - found.contentEnd, entry);
    }
    return true;
  }

  std::string entry(key);
  entry += '=';
  entry += value;
  if (where.sectionFound) {
    if (where.insertNeedsBreak) {
      text_.insert(where.insertAt, std::string(lineBreak) + entry);
    } else {
      text_.insert(where.insertAt, entry + std::string(lineBreak));
    }
    return true;
  }

  std::string added;
  if (text_.size() > BodyStart(text_) && text_.back() != '\n' && text_.back() != '\r') {
    added += lineBreak;
  }
  added += '[';
  added += section;
  added += ']';
  added += lineBreak;
  added += entry;
  added += lineBreak;
  text_ += added;
  return true;
}

}  // namespace qv::posix
