#include "platform/posix/freedesktop_program_group.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/posix/file_io.h"
#include "platform/posix/user_directories.h"
#include "base/windows_1252.h"

namespace qv::posix {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "qv27-518-";
// The longest id in a file name: two ids, the prefix and ".desktop" stay
// well inside the 255 bytes a Linux file name may have.
constexpr std::size_t kMaxId = 64;
constexpr std::uintmax_t kMaxIconBytes = 1 << 20;

// A name as it can stand in a file name and a category: letters in lower
// case (the Windows shell does not tell groups apart by case), digits and
// "-" as they are, every other byte as "_" and two hex digits, so that two
// names never share a file. A long id keeps its start and ends in a hash of
// the whole, so that any name length makes a file name the file system takes.
std::string Id(std::string_view name) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string id;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) && byte < 0x80) {
      id += static_cast<char>(std::tolower(byte));
    } else if (c == '-') {
      id += c;
    } else {
      id += '_';
      id += kHex[byte >> 4];
      id += kHex[byte & 0xF];
    }
  }
  if (id.size() <= kMaxId) return id;
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (const char c : id) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
  id.resize(kMaxId - 17);
  id += '-';
  for (int shift = 60; shift >= 0; shift -= 4) id += kHex[(hash >> shift) & 0xF];
  return id;
}

std::string Category(std::string_view group) { return "X-QV27-518-" + Id(group); }

// A name of the medium as a menu shows it: UTF-8, a control character as
// the replacement character (no menu file can carry it as it stands).
std::string DisplayName(std::string_view name) {
  std::string shown;
  for (const char c : Windows1252ToUtf8(name)) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      shown += "\xEF\xBF\xBD";
    } else {
      shown += c;
    }
  }
  return shown;
}

// A path goes into the menu files as it lies on disk, so it must already be
// UTF-8 without control characters; a path that is not cannot be named.
bool IsPlainUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) return false;
    const std::size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) return false;
    i += length;
  }
  return true;
}

// A value of a desktop entry: the escapes of the format's string type.
std::string EntryValue(std::string_view text) {
  std::string value;
  for (const char c : text) {
    if (c == '\\') {
      value += "\\\\";
    } else {
      value += c;
    }
  }
  if (!value.empty() && value[0] == ' ') value.replace(0, 1, "\\s");
  return value;
}

// One argument of an Exec line, quoted as the format asks (with the four
// characters that need it escaped inside the quotes, and "%" doubled so
// that it is no field code).
std::string ExecArgument(std::string_view argument) {
  std::string quoted = "\"";
  for (const char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

std::string XmlText(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// Writes the file whole or not at all: a menu that reads a half-written
// entry could show a broken item.
bool WriteFileAtomically(const fs::path& path, const std::string& contents) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  return ReplaceFileAtomically(path, contents, 0644);
}

}  // namespace

FreedesktopProgramGroup::FreedesktopProgramGroup(WindowsPathMap paths, fs::path configHome, fs::path dataHome)
    : paths_(std::move(paths)), configHome_(std::move(configHome)), dataHome_(std::move(dataHome)) {}

FreedesktopProgramGroup FreedesktopProgramGroup::ForCurrentUser() {
  return FreedesktopProgramGroup(WindowsPathMap(HomeDirectory()), ConfigHome(), DataHome());
}

fs::path FreedesktopProgramGroup::DirectoryFile(std::string_view group) const {
  return dataHome_ / "desktop-directories" / (std::string(kPrefix) + Id(group) + ".directory");
}

fs::path FreedesktopProgramGroup::MenuFile(std::string_view group) const {
  return configHome_ / "menus" / "applications-merged" / (std::string(kPrefix) + Id(group) + ".menu");
}

fs::path FreedesktopProgramGroup::DesktopFile(std::string_view group, std::string_view caption) const {
  return dataHome_ / "applications" / (IconName(group, caption) + ".desktop");
}

std::string FreedesktopProgramGroup::IconName(std::string_view group, std::string_view caption) {
  // The dot keeps group and caption apart: neither id contains one.
  return std::string(kPrefix) + Id(group) + "." + Id(caption);
}

fs::path FreedesktopProgramGroup::IconFile(std::string_view group, std::string_view caption, int size) const {
  const std::string folder = std::to_string(size) + "x" + std::to_string(size);
  return dataHome_ / "icons" / "hicolor" / folder / "apps" / (IconName(group, caption) + ".png");
}

bool FreedesktopProgramGroup::Begin() {
  haveGroup_ = false;
  return !configHome_.empty() && !dataHome_.empty();
}

GroupResult FreedesktopProgramGroup::CreateGroup(std::string_view name) {
  if (name.empty()) return GroupResult::Refused;
  const std::string shown = DisplayName(name);
  const std::string directory = "[Desktop Entry]\nType=Directory\nName=" + EntryValue(shown) + "\n";
  // The menu readers of the desktops take a merged menu file without a
  // document type, so none is written.
  const std::string menu =
      "<Menu>\n"
      "  <Name>Applications</Name>\n"
      "  <Menu>\n"
      "    <Name>" + XmlText(shown) + "</Name>\n"
      "    <Directory>" + DirectoryFile(name).filename().string() + "</Directory>\n"
      "    <Include>\n"
      "      <Category>" + Category(name) + "</Category>\n"
      "    </Include>\n"
      "  </Menu>\n"
      "</Menu>\n";
  if (!WriteFileAtomically(DirectoryFile(name), directory) || !WriteFileAtomically(MenuFile(name), menu))
    return GroupResult::Failed;
  group_ = name;
  haveGroup_ = true;
  return GroupResult::Done;
}

std::optional<fs::path> FreedesktopProgramGroup::ItemFile(const ProgramGroupItem& item) const {
  const std::optional<fs::path> install = paths_.ToNative(item.installPath);
  if (!install) return std::nullopt;
  std::string_view rest = item.fileName;
  // A root or a drive of its own would leave the installation.
  if (rest.empty() || rest[0] == '\\' || rest[0] == '/' || (rest.size() >= 2 && rest[1] == ':')) return std::nullopt;
  fs::path file = *install;
  bool named = false;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of("\\/");
    const std::string_view part = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (part == "..") return std::nullopt;
    if (part.empty() || part == ".") continue;
    file /= std::string(part);
    named = true;
  }
  if (!named || !IsPlainUtf8(file.string())) return std::nullopt;
  return file;
}

bool FreedesktopProgramGroup::InstallIcons(const fs::path& program, std::string_view caption) const {
  bool any = false;
  for (const int size : kIconSizes) {
    const fs::path source = program.parent_path() / (program.stem().string() + "-" + std::to_string(size) + ".png");
    std::error_code error;
    // Only an installed regular file of an icon's size; a damaged medium
    // costs the icon, not the item.
    if (!fs::is_regular_file(fs::symlink_status(source, error)) || fs::file_size(source, error) > kMaxIconBytes)
      continue;
    std::ifstream in(source, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.empty()) continue;
    any = WriteFileAtomically(IconFile(group_, caption, size), bytes) || any;
  }
  return any;
}

GroupResult FreedesktopProgramGroup::AddItem(const ProgramGroupItem& item) {
  if (!haveGroup_) return GroupResult::Refused;
  const std::optional<fs::path> file = ItemFile(item);
  if (!file) return GroupResult::Refused;
  const std::string caption = item.caption.empty() ? file->filename().string() : std::string(item.caption);
  std::string entry = "[Desktop Entry]\nType=Application\nName=" + EntryValue(DisplayName(caption)) + "\n";
  if (item.kind == GroupItemKind::TextFile) {
    // The Windows shell opens a text file with Notepad; here the desktop's
    // own viewer opens it.
    entry += "Exec=xdg-open " + EntryValue(ExecArgument(file->string())) + "\nIcon=text-x-generic\n";
  } else {
    // Started from its own folder, as the Windows shell starts a program
    // whose item names no working directory.
    entry += "Exec=" + EntryValue(ExecArgument(file->string())) + "\n";
    entry += "Path=" + EntryValue(file->parent_path().string()) + "\n";
    entry += "Icon=" + (InstallIcons(*file, caption) ? IconName(group_, caption) : "application-x-executable") + "\n";
  }
  // A registered main category places the item where desktops without
  // merged menus look; the group's own places it in the group.
  entry += "Terminal=false\nCategories=Utility;" + Category(group_) + ";\n";
  return WriteFileAtomically(DesktopFile(group_, caption), entry) ? GroupResult::Done : GroupResult::Failed;
}

}  // namespace qv::posix
