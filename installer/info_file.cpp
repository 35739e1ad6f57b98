// Reading the installation information file into the dialog's lists.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "installer/install_dlg.h"
#include "resources/installer/resource.h"

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

int CInstallDlg::ParseFileEntry(std::string_view line, FileEntry& entry) {
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

int CInstallDlg::ParseGroupItem(std::string_view line, GroupItem& item) {
  const Text256 copy(line);
  std::string_view rest = copy.view();
  std::string_view piece;
  if (!TakeUntil(rest, ',', piece)) return 0;
  item.fileName.Assign(SkipSpaces(piece));
  // The description runs to the end of the line, commas and all.
  item.description.Assign(SkipSpaces(rest));
  return 1;
}

int CInstallDlg::ReadInfoFile() {
  ShowStatus(IDS_READING_INF);
  ProfileStore& profile = services_.profile;

  // A count is read into 10 bytes and kept as its low 16 bits; only as many
  // entries as the list holds are read, and the count says how many were.
  auto readCount = [&](const char* section, const char* key, std::size_t capacity) {
    const FixedText<10> text(profile.ReadString(section, key, "0", infPath).view());
    const auto count = static_cast<std::uint16_t>(DecimalValue(text.view()));
    return static_cast<std::uint16_t>(std::min<std::size_t>(count, capacity));
  };
  auto numberedKey = [](const char* prefix, unsigned n) { return prefix + std::to_string(n); };

  diskCount = readCount("Label", "disks", kMaxDisks);
  for (std::uint16_t n = 1; n <= diskCount; ++n)
    diskLabels[n - 1].Assign(profile.ReadString("Label", numberedKey("disk", n), "Insert disk", infPath).view());

  dirCount = readCount("Directory", "dirs", kMaxDirs);
  for (std::uint16_t n = 1; n <= dirCount; ++n)
    dirNames[n - 1].Assign(profile.ReadString("Directory", numberedKey("dir", n), ".", infPath).view());

  // A line that does not parse whole still counts, with what it held.
  fileCount = readCount("Program", "files", kMaxFiles);
  for (std::uint16_t n = 1; n <= fileCount; ++n) {
    fileEntries[n - 1] = FileEntry{};
    ParseFileEntry(profile.ReadString("Program", numberedKey("file", n), "", infPath).view(), fileEntries[n - 1]);
  }

  groupItemCount = readCount("Program Group Info", "files", kMaxGroupItems);
  for (std::uint16_t n = 1; n <= groupItemCount; ++n) {
    groupItems[n - 1] = GroupItem{};
    ParseGroupItem(profile.ReadString("Program Group Info", numberedKey("file", n), "", infPath).view(),
                   groupItems[n - 1]);
  }
  groupName = profile.ReadString("Program Group Info", "GroupName", "Vorn Setting Tools", infPath).str();

  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

}  // namespace qv
