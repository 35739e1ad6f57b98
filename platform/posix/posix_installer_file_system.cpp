#include "platform/posix/posix_installer_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/installer_paths.h"
#include "platform/posix/szdd_expander.h"
#include "platform/posix/user_directories.h"

namespace qv::posix {
namespace {

namespace fs = std::filesystem;

// An SZDD file starts with these eight bytes, the method 'A', the name's
// missing last character and the expanded length (32-bit, low byte first).
constexpr char kSzddMagic[8] = {'S', 'Z', 'D', 'D', '\x88', '\xF0', '\x27', '\x33'};
constexpr std::size_t kSzddHeaderSize = 14;

enum class SourceKind { Plain, Compressed, Unusable };

struct SourceHeader {
  SourceKind kind = SourceKind::Plain;
  std::uint32_t expandedLength = 0;
};

// Windows' LZ functions copy a file without the SZDD signature as it stands
// and refuse at open time one that has the signature but cannot be
// expanded (a method other than 'A', or a header cut short).
SourceHeader ReadSourceHeader(int fd) {
  unsigned char header[kSzddHeaderSize] = {};
  std::size_t have = 0;
  while (have < sizeof header) {
    const ssize_t got = ::pread(fd, header + have, sizeof header - have, static_cast<off_t>(have));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
  }
  SourceHeader result;
  if (have < sizeof kSzddMagic || std::memcmp(header, kSzddMagic, sizeof kSzddMagic) != 0) return result;
  if (have < kSzddHeaderSize || header[8] != 'A') {
    result.kind = SourceKind::Unusable;
    return result;
  }
  result.kind = SourceKind::Compressed;
  result.expandedLength = header[10] | (header[11] << 8) | (header[12] << 16) |
                          (static_cast<std::uint32_t>(header[13]) << 24);
  return result;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

// Copies the rest of `in` to `out`; the number of bytes, or nothing on a
// read or write error.
std::optional<std::uint64_t> CopyPlain(int in, int out) {
  std::vector<char> buffer(1 << 20);
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return total;
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) return std::nullopt;
    total += static_cast<std::uint64_t>(got);
  }
}

// A program or script that the user will start from the menu needs the
// execute permission, which a compressed file on the medium cannot carry:
// a file that the kernel can run gets it.
bool LooksExecutable(int fd) {
  char head[4] = {};
  if (::pread(fd, head, sizeof head, 0) < 2) return false;
  return std::memcmp(head, "\x7f" "ELF", 4) == 0 || std::memcmp(head, "#!", 2) == 0;
}

mode_t NewFileMode(int fd, const struct stat* old) {
  if (old != nullptr) return old->st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const mode_t mode = LooksExecutable(fd) ? 0777 : 0666;
  return mode & ~mask;
}

// A directory the installer relies on, made with its parents when missing.
Text256 EnsuredDirectory(const fs::path& directory) {
  std::error_code ignored;
  fs::create_directories(directory, ignored);
  return Text256(directory.string());
}

}  // namespace

PosixInstallerFileSystem::PosixInstallerFileSystem(fs::path home, fs::path windowsDirectory,
                                                   fs::path systemDirectory)
    : paths_(std::move(home)),
      windowsDirectory_(std::move(windowsDirectory)),
      systemDirectory_(std::move(systemDirectory)) {}

PosixInstallerFileSystem PosixInstallerFileSystem::ForCurrentUser() {
  const fs::path home = HomeDirectory();
  const fs::path config = ConfigHome();
  return PosixInstallerFileSystem(home, config.empty() ? fs::path() : config / "qv27-518",
                                  home.empty() ? fs::path() : home / ".local" / "lib" / "qv27-518");
}

Text256 PosixInstallerFileSystem::ModulePath() {
  Text256 path;
  path.FillWith([](char* buffer, std::size_t size) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer, size - 1);
    buffer[length > 0 ? length : 0] = '\0';
  });
  return path;
}

bool PosixInstallerFileSystem::FileExists(std::string_view path) {
  if (path.size() > kLongestInstallerPath) return false;
  const auto native = paths_.ToNative(path);
  struct stat info {};
  return native && ::stat(native->c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool PosixInstallerFileSystem::DirectoryExists(std::string_view path) {
  const auto native = paths_.ToNative(path);
  struct stat info {};
  return native && ::stat(native->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PosixInstallerFileSystem::EnterDirectory(std::string_view path) {
  const auto native = paths_.ToNative(path);
  return native && ::chdir(native->c_str()) == 0;
}

bool PosixInstallerFileSystem::MakeDirectory(std::string_view path) {
  const auto native = paths_.ToNative(path);
  return native && ::mkdir(native->c_str(), 0777) == 0;
}

Text256 PosixInstallerFileSystem::WindowsDirectory() { return EnsuredDirectory(windowsDirectory_); }

Text256 PosixInstallerFileSystem::SystemDirectory() { return EnsuredDirectory(systemDirectory_); }

int PosixInstallerFileSystem::OpenSource(std::string_view source) const {
  const auto open = [this](std::string_view path) {
    const auto native = path.size() <= kLongestInstallerPath ? paths_.ToNative(path) : std::nullopt;
    return native ? ::open(native->c_str(), O_RDONLY | O_CLOEXEC) : -1;
  };
  const int fd = open(source);
  if (fd >= 0 || errno != ENOENT) return fd;
  // The mapped paths take "/" as a folder separator as well.
  return open(CompressedName(source, "\\/"));
}

LzCopyResult PosixInstallerFileSystem::CopyExpanded(std::string_view source, std::string_view destination) {
  const int in = OpenSource(source);
  if (in < 0) return LzCopyResult::SourceOpenFailed;
  struct stat sourceInfo {};
  const SourceHeader header = ::fstat(in, &sourceInfo) == 0 && !S_ISDIR(sourceInfo.st_mode)
                                  ? ReadSourceHeader(in)
                                  : SourceHeader{SourceKind::Unusable, 0};
  if (header.kind == SourceKind::Unusable) {
    ::close(in);
    return LzCopyResult::SourceOpenFailed;
  }

  const auto to = destination.size() <= kLongestInstallerPath ? paths_.ToNative(destination) : std::nullopt;
  struct stat old {};
  const bool exists = to && ::stat(to->c_str(), &old) == 0;
  if (exists && old.st_dev == sourceInfo.st_dev && old.st_ino == sourceInfo.st_ino) {
    // The medium is the install folder: the file is in place already, and
    // writing it would destroy what it is read from.
    ::close(in);
    return LzCopyResult::Copied;
  }
  // A folder in the way, or a read-only file, cannot be opened for writing
  // on Windows either; root's rights must not make it succeed here.
  if (!to || (exists && (S_ISDIR(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(to->c_str(), W_OK) != 0))) {
    ::close(in);
    return LzCopyResult::DestinationOpenFailed;
  }
  fs::path folder = to->parent_path();
  if (folder.empty()) folder = ".";
  std::string temporary = (folder / ("." + to->filename().string() + ".XXXXXX")).string();
  const int out = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (out < 0) {
    ::close(in);
    return LzCopyResult::DestinationOpenFailed;
  }

  bool whole = false;
  if (header.kind == SourceKind::Compressed) {
    // libmspack decodes to the end of the data without looking at the
    // header's length, so a truncated file would expand short unnoticed.
    const SzddExpansion expanded = ExpandSzdd(in, out);
    whole = expanded.ok && expanded.written == header.expandedLength;
  } else {
    whole = CopyPlain(in, out).has_value();
  }
  ::close(in);
  whole = whole && ::fchmod(out, NewFileMode(out, exists ? &old : nullptr)) == 0;
  whole = ::close(out) == 0 && whole;
  if (whole && ::rename(temporary.c_str(), to->c_str()) == 0) return LzCopyResult::Copied;
  ::unlink(temporary.c_str());
  return LzCopyResult::CopyFailed;
}

}  // namespace qv::posix
