// Reading the installation information file into its value.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "installer/info_file.h"

namespace qv {
namespace {

// The decimal value of a text: white space skipped, an optional sign, then
// digits up to the first other character; no digits give 0. A value beyond
// 32 bits stops at the nearest limit.
std::int32_t DecimalValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), std::int64_t{1} << 32);
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

std::string_view SkipSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

std::int32_t Flag(std::string_view piece) { return !piece.empty() && (piece[0] == 'Y' || piece[0] == 'y') ? 1 : 0; }

// Splits off the text before the next separator; false, with nothing taken,
// when there is none.
bool TakeUntil(std::string_view& rest, char separator, std::string_view& piece) {
  const std::size_t at = rest.find(separator);
  if (at == std::string_view::npos) return false;
  piece = rest.substr(0, at);
  rest.remove_prefix(at + 1);
  return true;
}

}  // namespace

int ParseFileEntry(std::string_view line, FileEntry& entry) {
  const Text256 copy(line);
  std::string_view rest = copy.view();
  std::string_view piece;
  if (!TakeUntil(rest, ':', piece)) return 0;
  entry.diskNumber = DecimalValue(piece);
  if (!TakeUntil(rest, ',', piece)) return 0;
  entry.sourceName.Assign(SkipSpaces(piece));
  if (!TakeUntil(rest, ',', piece)) return 0;
  entry.sourceDirIndex = DecimalValue(SkipSpaces(piece));
  if (!TakeUntil(rest, ',', piece)) return 0;
  entry.destName.Assign(SkipSpaces(piece));
  if (!TakeUntil(rest, ',', piece)) return 0;
  entry.destDirIndex = DecimalValue(SkipSpaces(piece));
  if (!TakeUntil(rest, ',', piece)) return 0;
  entry.flag1 = Flag(SkipSpaces(piece));
  if (!TakeUntil(rest, ',', piece)) return 0;
  entry.flag2 = Flag(SkipSpaces(piece));
  entry.flag3 = Flag(SkipSpaces(rest));
  return 1;
}

int ParseGroupItem(std::string_view line, GroupItem& item) {
  const Text256 copy(line);
  std::string_view rest = copy.view();
  std::string_view piece;
  if (!TakeUntil(rest, ',', piece)) return 0;
  item.fileName.Assign(SkipSpaces(piece));
  // The description runs to the end of the line, commas and all.
  item.description.Assign(SkipSpaces(rest));
  return 1;
}

void ReadConfigurationKeys(ProfileStore& profile, std::string_view path, InfoFile& info) {
  info.defInstallDir = profile.ReadString("Configuration", "DefInstallDir", "C:\\QV27-518", path).str();
  info.initialFile = profile.ReadString("Configuration", "InitialFile", "", path).str();
}

InfoFile ReadInfoFile(ProfileStore& profile, std::string_view path) {
  InfoFile info;
  ReadConfigurationKeys(profile, path, info);

  // A count is read into 10 bytes and kept as its low 16 bits; only as many
  // entries as the list holds are read.
  auto readCount = [&](const char* section, const char* key, std::size_t capacity) {
    const FixedText<10> text(profile.ReadString(section, key, "0", path).view());
    const auto count = static_cast<std::uint16_t>(DecimalValue(text.view()));
    return static_cast<std::uint16_t>(std::min<std::size_t>(count, capacity));
  };
  auto numberedKey = [](const char* prefix, unsigned n) { return prefix + std::to_string(n); };

  const std::uint16_t disks = readCount("Label", "disks", kMaxDisks);
  for (std::uint16_t n = 1; n <= disks; ++n)
    info.diskLabels.emplace_back(profile.ReadString("Label", numberedKey("disk", n), "Insert disk", path).view());

  const std::uint16_t dirs = readCount("Directory", "dirs", kMaxDirs);
  for (std::uint16_t n = 1; n <= dirs; ++n)
    info.dirNames.emplace_back(profile.ReadString("Directory", numberedKey("dir", n), ".", path).view());

  // A line that does not parse whole still counts, with what it held.
  const std::uint16_t files = readCount("Program", "files", kMaxFiles);
  for (std::uint16_t n = 1; n <= files; ++n) {
    info.fileLines.push_back(profile.ReadString("Program", numberedKey("file", n), "", path));
    ParseFileEntry(info.fileLines.back().view(), info.files.emplace_back());
  }

  const std::uint16_t items = readCount("Program Group Info", "files", kMaxGroupItems);
  for (std::uint16_t n = 1; n <= items; ++n) {
    info.groupLines.push_back(profile.ReadString("Program Group Info", numberedKey("file", n), "", path));
    ParseGroupItem(info.groupLines.back().view(), info.groupItems.emplace_back());
  }
  info.groupName = profile.ReadString("Program Group Info", "GroupName", "Vorn Setting Tools", path).str();
  return info;
}

}  // namespace qv
