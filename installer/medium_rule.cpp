#include "installer/medium_rule.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/text_case.h"

namespace qv {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// Windows drops trailing dots and spaces from a name: ". ." and "..." are
// the parent as surely as "..".
bool MeansParentOrNothing(std::string_view part) {
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
  return part.empty();
}

// Windows opens a device for these names whatever extension follows, and
// drops the spaces before the dot as well: "NUL .TXT" is NUL.
bool IsDeviceName(std::string_view part) {
  std::string_view stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const std::string_view device : kDevices)
    if (EqualsIgnoringCase(stem, device)) return true;
  if (stem.size() != 4 || !(EqualsIgnoringCase(stem.substr(0, 3), "COM") || EqualsIgnoringCase(stem.substr(0, 3), "LPT")))
    return false;
  // COM0 to COM9, LPT0 to LPT9, and those with a superscript 1, 2 or 3
  // (Windows-1252), which newer Windows reserves too.
  const auto number = static_cast<unsigned char>(stem[3]);
  return (number >= '0' && number <= '9') || number == 0xB9 || number == 0xB2 || number == 0xB3;
}

bool IsSafeComponent(std::string_view part) {
  if (part == ".") return true;
  if (MeansParentOrNothing(part) || IsDeviceName(part)) return false;
  return std::none_of(part.begin(), part.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
           c == '*';
  });
}

bool IsKeywordDir(std::string_view entry) {
  return entry.empty() || entry == "." || EqualsIgnoringCase(entry, "windows") || EqualsIgnoringCase(entry, "system");
}

bool IsSafeFileLine(const FileEntry& entry, const std::vector<FixedText<30>>& dirNames) {
  const auto dirOk = [&](std::int32_t index) {
    // An index that names no directory fails that file when it is copied.
    if (index < 1 || static_cast<std::size_t>(index) > dirNames.size()) return true;
    return IsSafeDirEntry(dirNames[static_cast<std::size_t>(index - 1)].view());
  };
  // A name left empty by a line cut short names nothing: that file fails
  // when it is copied, as any file that cannot be opened.
  const auto nameOk = [](std::string_view name) { return name.empty() || IsSafeName(name); };
  return nameOk(entry.sourceName.view()) && nameOk(entry.destName.view()) && dirOk(entry.sourceDirIndex) &&
         dirOk(entry.destDirIndex);
}

}  // namespace

bool IsSafeName(std::string_view name) {
  if (name.empty()) return false;
  const std::vector<std::string_view> parts = Components(name);
  return std::all_of(parts.begin(), parts.end(), IsSafeComponent) && !(parts.size() == 1 && parts[0] == ".");
}

bool IsBareName(std::string_view name) {
  return IsSafeName(name) && std::none_of(name.begin(), name.end(), IsSeparator);
}

bool IsSafeDirEntry(std::string_view entry) {
  if (IsKeywordDir(entry)) return true;
  return IsSeparator(entry.front()) && IsSafeName(entry.substr(1));
}

bool HasParentStep(std::string_view path) {
  for (const std::string_view part : Components(path))
    if (!part.empty() && part != "." && MeansParentOrNothing(part)) return true;
  return false;
}

std::string JoinInside(std::string_view base, char separator, std::string_view entry, std::string_view name) {
  std::string path(base);
  for (const std::string_view text : {entry, name})
    for (const std::string_view part : Components(text))
      if (!part.empty() && part != ".") {
        if (path.empty() || path.back() != separator) path += separator;
        path += part;
      }
  return path;
}

std::optional<std::string> FindUnsafeLine(const InfoFile& info) {
  if (!info.initialFile.empty() && !IsBareName(info.initialFile)) return "[Configuration] InitialFile=" + info.initialFile;
  for (std::size_t i = 0; i < info.dirNames.size(); ++i)
    if (!IsSafeDirEntry(info.dirNames[i].view())) return "[Directory] dir" + std::to_string(i + 1) + "=" + info.dirNames[i].str();
  for (std::size_t i = 0; i < info.files.size(); ++i)
    if (!IsSafeFileLine(info.files[i], info.dirNames))
      return "[Program] file" + std::to_string(i + 1) + "=" + info.fileLines[i].str();
  // README.TXT opens in the text viewer; every item's file lies in the
  // installation all the same.
  for (std::size_t i = 0; i < info.groupItems.size(); ++i)
    if (!info.groupItems[i].fileName.view().empty() && !IsSafeName(info.groupItems[i].fileName.view()))
      return "[Program Group Info] file" + std::to_string(i + 1) + "=" + info.groupLines[i].str();
  return std::nullopt;
}

}  // namespace qv
