#include "installer/installation.h"

#include "base/text_case.h"
#include "installer/medium_rule.h"
#include "platform/installer_paths.h"

namespace qv {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// How many characters of the path are its root: "C:\" on Windows, "/" on
// Linux. A path without one would be walked against the working directory
// that the walk itself moves, so it would nest inside itself.
std::size_t RootLength(std::string_view path, char separator) {
  if (separator == '/') return !path.empty() && path[0] == '/' ? 1 : 0;
  return path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && path[2] == '\\' ? 3 : 0;
}

}  // namespace

std::int32_t CountParallelPorts(FirmwarePortTable& table) {
  std::int32_t count = 0;
  if (const auto words = table.ReadBaseAddresses()) {
    // A port counts by its standard base address, wherever it stands.
    for (const std::uint16_t base : *words)
      if (base == 0x378 || base == 0x3BC || base == 0x278) ++count;
  } else {
    // The platform refused the read (as every NT-family Windows does): the
    // ports that the system itself knows are the best count there is.
    count = table.CountKnownPorts();
  }
  return count;
}

std::optional<std::string> PrepareInstallDir(InstallerFileSystem& files, std::string_view typed) {
  std::string path = files.TypedPath(typed);
  const char separator = files.Separator();
  // Every path built on the install path lives in 256 bytes: a longer one
  // cannot be used at all. A step to a parent would install beside the
  // folder the user sees.
  const std::size_t root = RootLength(path, separator);
  if (path.size() > kLongestInstallerPath || root == 0 || HasParentStep(path)) return std::nullopt;

  // Windows enters the drive first: a drive that is not there is no path.
  if (separator == '\\' && !files.EnterDirectory(path.substr(0, 2))) return std::nullopt;
  // Each prefix that ends in a separator is entered, or created when it
  // cannot be. What cannot be created shows when the first file is copied
  // into it.
  for (std::size_t next = root - 1; next < path.size(); ++next) {
    if (path[next] != separator) continue;
    const std::string prefix = path.substr(0, next + 1);
    if (!files.EnterDirectory(prefix)) files.MakeDirectory(prefix);
  }
  if (!files.EnterDirectory(path)) files.MakeDirectory(path);
  if (path.back() == separator && path.size() > 1) path.pop_back();
  return path;
}

ResolvedPath ResolvePath(InstallerFileSystem& files, const InfoFile& info, std::string_view base,
                         std::string_view name, std::int32_t dirIndex, std::size_t longest) {
  const char separator = files.Separator();
  ResolvedPath result;
  const bool known = dirIndex >= 1 && static_cast<std::size_t>(dirIndex) <= info.dirNames.size();
  std::string_view entry;
  std::string root(base);
  if (known) {
    entry = info.dirNames[static_cast<std::size_t>(dirIndex - 1)].view();
    if (EqualsIgnoringCase(entry, "windows"))
      root = files.WindowsDirectory().str();
    else if (EqualsIgnoringCase(entry, "system"))
      root = files.SystemDirectory().str();
    if (EqualsIgnoringCase(entry, "windows") || EqualsIgnoringCase(entry, "system")) entry = {};
  }
  // The failure message still names the file's place.
  const bool safe = known && IsSafeDirEntry(entry) && IsSafeName(name);
  result.text = safe ? JoinInside(root, separator, entry, name) : root + separator + std::string(name);
  result.usable = safe && result.text.size() <= longest;
  return result;
}

std::vector<ProgramGroupItem> ProgramGroupItems(const InfoFile& info, std::string_view installPath) {
  std::vector<ProgramGroupItem> items;
  for (const GroupItem& line : info.groupItems) {
    if (!IsSafeName(line.fileName.view())) continue;
    ProgramGroupItem item;
    item.caption = line.description.view();
    item.installPath = installPath;
    item.fileName = line.fileName.view();
    item.kind = EqualsIgnoringCase(item.fileName, "README.TXT") ? GroupItemKind::TextFile : GroupItemKind::Program;
    items.push_back(item);
  }
  return items;
}

bool WriteConfigurationEntries(ProfileStore& profile, const InfoFile& info, std::int32_t portCount,
                               std::string_view installPath) {
  // Without InitialFile there is no file to write to; a name that is not a
  // bare file name never reaches here (the medium is refused as damaged).
  if (info.initialFile.empty() || !IsBareName(info.initialFile)) return true;
  const bool count = profile.WriteString("Configuration", "PortCount", std::to_string(portCount), info.initialFile);
  const bool dir = profile.WriteString("Configuration", "InstalledDir", installPath, info.initialFile);
  return count && dir;
}

}  // namespace qv
