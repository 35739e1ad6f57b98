#include "platform/posix/freedesktop_program_group.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <optional>
#include <system_error>

#include "framework/text_case.h"
#include "platform/posix/user_directories.h"

namespace qv::posix {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "qv27-518-";

// A name as it can stand in a file name and a category: letters in lower
// case (the Windows shell does not tell groups apart by case), digits and
// "-" as they are, every other byte as "_" and two hex digits, so that two
// names never share a file.
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
  return id;
}

std::string Category(std::string_view group) { return "X-QV27-518-" + Id(group); }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// A value of a desktop entry: the escapes of the specification's string type.
std::string EntryValue(std::string_view text) {
  std::string value;
  for (const char c : text) {
    switch (c) {
      case '\\': value += "\\\\"; break;
      case '\n': value += "\\n"; break;
      case '\t': value += "\\t"; break;
      case '\r': value += "\\r"; break;
      default: value += c;
    }
  }
  if (!value.empty() && value[0] == ' ') value.replace(0, 1, "\\s");
  return value;
}

// One argument of an Exec line, quoted as the specification asks (with
// the four characters that need it escaped inside the quotes, and "%"
// doubled so that it is no field code).
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
  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0644) == 0;
  for (std::size_t done = 0; ok && done < contents.size();) {
    const ssize_t put = ::write(fd, contents.data() + done, contents.size() - done);
    ok = put > 0;
    if (ok) done += static_cast<std::size_t>(put);
  }
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

// The text between `open` and `close` when the command is exactly
// open + text + close, the command's name compared without regard to case
// as the Windows shell does.
std::optional<std::string_view> Argument(std::string_view command, std::string_view open, std::string_view close) {
  if (!StartsWithIgnoringCase(command, open) || command.size() < open.size() + close.size() ||
      command.substr(command.size() - close.size()) != close)
    return std::nullopt;
  return command.substr(open.size(), command.size() - open.size() - close.size());
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
  // The dot keeps group and caption apart: neither id contains one.
  return dataHome_ / "applications" / (std::string(kPrefix) + Id(group) + "." + Id(caption) + ".desktop");
}

bool FreedesktopProgramGroup::Begin() {
  haveGroup_ = false;
  return !configHome_.empty() && !dataHome_.empty();
}

bool FreedesktopProgramGroup::Execute(std::string_view command) {
  if (const auto name = Argument(command, "[CreateGroup(\"", "\")]")) return CreateGroup(*name);
  if (const auto arguments = Argument(command, "[AddItem(\"", "\")]")) {
    const std::size_t comma = arguments->find("\",\"");
    if (comma == std::string_view::npos) return false;
    return AddItem(arguments->substr(0, comma), arguments->substr(comma + 3));
  }
  return false;
}

bool FreedesktopProgramGroup::CreateGroup(std::string_view name) {
  if (name.empty()) return false;
  const std::string directory = "[Desktop Entry]\nType=Directory\nName=" + EntryValue(name) + "\n";
  // The menu readers of the desktops take a merged menu file without a
  // document type, so none is written.
  const std::string menu =
      "<Menu>\n"
      "  <Name>Applications</Name>\n"
      "  <Menu>\n"
      "    <Name>" + XmlText(name) + "</Name>\n"
      "    <Directory>" + DirectoryFile(name).filename().string() + "</Directory>\n"
      "    <Include>\n"
      "      <Category>" + Category(name) + "</Category>\n"
      "    </Include>\n"
      "  </Menu>\n"
      "</Menu>\n";
  if (!WriteFileAtomically(DirectoryFile(name), directory) || !WriteFileAtomically(MenuFile(name), menu))
    return false;
  group_ = name;
  haveGroup_ = true;
  return true;
}

bool FreedesktopProgramGroup::AddItem(std::string_view commandLine, std::string_view caption) {
  if (!haveGroup_) return false;
  // The installer opens a text file with Notepad from the Windows
  // directory; here the desktop's own viewer opens it.
  std::string exec;
  std::string workingDirectory;
  fs::path target;
  constexpr std::string_view kNotepad = "NOTEPAD.EXE ";
  std::size_t at = 0;
  for (std::size_t slash = commandLine.find_first_of("\\/"); slash != std::string_view::npos;
       slash = commandLine.find_first_of("\\/", slash + 1)) {
    if (StartsWithIgnoringCase(commandLine.substr(slash + 1), kNotepad)) {
      at = slash + 1 + kNotepad.size();
      break;
    }
  }
  if (at == 0 && StartsWithIgnoringCase(commandLine, kNotepad)) at = kNotepad.size();
  if (at != 0) {
    const auto file = paths_.ToNative(commandLine.substr(at));
    if (!file) return false;
    target = *file;
    exec = "xdg-open " + ExecArgument(file->string());
  } else {
    const auto program = paths_.ToNative(commandLine);
    if (!program) return false;
    target = *program;
    exec = ExecArgument(program->string());
    // Started from its own folder, as the Windows shell starts a program
    // whose item names no working directory.
    workingDirectory = program->parent_path().string();
  }
  const std::string name = caption.empty() ? target.filename().string() : std::string(caption);
  std::string entry = "[Desktop Entry]\nType=Application\nName=" + EntryValue(name) + "\nExec=" + EntryValue(exec) + "\n";
  if (!workingDirectory.empty()) entry += "Path=" + EntryValue(workingDirectory) + "\n";
  entry += "Terminal=false\nCategories=" + Category(group_) + ";\n";
  return WriteFileAtomically(DesktopFile(group_, name), entry);
}

}  // namespace qv::posix
