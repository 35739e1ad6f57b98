#include "platform/posix/posix_installer_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Copies exactly `size` bytes of `in` to `out`: a file that is shorter, or
// that has more to read than the size it was opened with, fails the copy
// (a device or a growing file would otherwise fill the disk).
bool CopyPlain(int in, int out, std::uint64_t size) {
  std::vector<char> buffer(1 << 20);
  std::uint64_t total = 0;
  for (;;) {
    const std::size_t wanted = total < size ? static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - total)) : 1;
    const ssize_t got = ::read(in, buffer.data(), wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return total == size;
    if (total >= size) return false;
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) return false;
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

// By content, never the source's mode nor a mode the destination had: a
// private file on the medium's side must not keep its bits, nor a planted
// set-id bit survive.
mode_t NewFileMode(int fd) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const mode_t mode = LooksExecutable(fd) ? 0755 : 0644;
  return mode & ~mask;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now, with the result of close (a write-back error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool Inside(const fs::path& path, const fs::path& folder) {
  auto p = path.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++p)
    if (p == path.end() || *p != *f) return false;
  return true;
}

// An unnamed file in `folder` that no kill can leave behind, or a named
// temporary one where the file system has no unnamed files.
int OpenUnnamed(const fs::path& folder, std::string& temporary) {
  temporary.clear();
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  temporary = (folder / ".qv-install.XXXXXX").string();
  return ::mkostemp(temporary.data(), O_CLOEXEC);
}

// Gives the finished file its name, replacing what stood there.
bool PutInPlace(int fd, const std::string& temporary, const fs::path& to) {
  if (!temporary.empty()) return ::rename(temporary.c_str(), to.c_str()) == 0;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = (to.parent_path() / ("." + to.filename().string() + ".XXXXXX")).string();
    // A fresh name: mkstemp's pattern filled in, the file itself removed.
    const int probe = ::mkostemp(name.data(), O_CLOEXEC);
    if (probe < 0) return false;
    ::close(probe);
    ::unlink(name.c_str());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (::rename(name.c_str(), to.c_str()) == 0) return true;
    ::unlink(name.c_str());
    return false;
  }
  return false;
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

std::string PosixInstallerFileSystem::ModulePath() {
  if (!modulePath_.empty()) return modulePath_.string();
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

std::optional<std::uint64_t> PosixInstallerFileSystem::FileSize(std::string_view path) {
  // Readable is the test: a file that cannot be opened for reading (no
  // permission, a FIFO that would block) is as good as missing.
  const auto native = paths_.ToNative(path);
  if (!native) return std::nullopt;
  const Fd fd(::open(native->c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool PosixInstallerFileSystem::FileExists(std::string_view path) { return FileSize(path).has_value(); }

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

std::string PosixInstallerFileSystem::ShownPath(std::string_view path) const {
  const auto native = paths_.ToNative(path);
  return native ? native->string() : std::string(path);
}

std::string PosixInstallerFileSystem::TypedPath(std::string_view typed) const {
  if (typed == "~" || typed.substr(0, 2) == "~/") {
    if (paths_.Home().empty()) return {};
    return paths_.Home().string() + std::string(typed.substr(1));
  }
  const bool absolute = !typed.empty() && (typed[0] == '/' || (typed.size() >= 2 && typed[1] == ':'));
  if (!absolute) return {};
  const auto native = paths_.ToNative(typed);
  return native ? native->string() : std::string();
}

int PosixInstallerFileSystem::OpenOneSource(const fs::path& path) {
  // A link is followed only where it stays on the medium: one to a device,
  // to another user's file or to a private file of this user's is no file
  // of the medium's.
  std::error_code error;
  const fs::path real = fs::canonical(path, error);
  if (error) {
    errno = error.value();
    return -1;
  }
  const fs::path plain = fs::absolute(path, error).lexically_normal();
  if (real != plain) {
    if (mediumFolder_.empty()) {
      const fs::path self = ModulePath();
      mediumFolder_ = self.parent_path();
    }
    const fs::path medium = fs::canonical(mediumFolder_, error);
    if (error || !Inside(real, medium)) {
      errno = ELOOP;
      return -1;
    }
  }
  // Without blocking: a FIFO opens at once (and is refused below), and a
  // device is never waited for.
  return ::open(real.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
}

int PosixInstallerFileSystem::OpenSource(std::string_view source) {
  const auto native = paths_.ToNative(source);
  if (!native) {
    errno = ENOENT;
    return -1;
  }
  const int fd = OpenOneSource(*native);
  if (fd >= 0 || errno != ENOENT) return fd;
  // The mapped paths take "/" as a folder separator as well.
  const auto compressed = paths_.ToNative(CompressedName(source, "\\/"));
  return compressed ? OpenOneSource(*compressed) : -1;
}

LzCopyResult PosixInstallerFileSystem::CopyExpanded(std::string_view source, std::string_view destination) {
  const Fd in(OpenSource(source));
  if (in.get() < 0) return LzCopyResult::SourceOpenFailed;
  // Only a regular file is a file of the medium: a FIFO, a device or a
  // folder fails to open, as on Windows.
  struct stat sourceInfo {};
  if (::fstat(in.get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) return LzCopyResult::SourceOpenFailed;
  const int flags = ::fcntl(in.get(), F_GETFL);
  if (flags < 0 || ::fcntl(in.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return LzCopyResult::SourceOpenFailed;
  const SourceHeader header = ReadSourceHeader(in.get());
  if (header.kind == SourceKind::Unusable) return LzCopyResult::SourceOpenFailed;

  const auto to = destination.size() <= kLongestInstallerPath ? paths_.ToNative(destination) : std::nullopt;
  struct stat old {};
  const bool exists = to && ::stat(to->c_str(), &old) == 0;
  if (exists && old.st_dev == sourceInfo.st_dev && old.st_ino == sourceInfo.st_ino) {
    // The medium is the install folder: the file is in place already, and
    // writing it would destroy what it is read from.
    return LzCopyResult::Copied;
  }
  // A folder in the way, or a read-only file, cannot be opened for writing
  // on Windows either; root's rights must not make it succeed here.
  if (!to || (exists && (S_ISDIR(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(to->c_str(), W_OK) != 0)))
    return LzCopyResult::DestinationOpenFailed;
  fs::path folder = to->parent_path();
  if (folder.empty()) folder = ".";
  std::string temporary;
  Fd out(OpenUnnamed(folder, temporary));
  if (out.get() < 0) return LzCopyResult::DestinationOpenFailed;

  const auto size = static_cast<std::uint64_t>(sourceInfo.st_size);
  bool whole = false;
  if (header.kind == SourceKind::Compressed) {
    // libmspack decodes to the end of the data without looking at the
    // header's length: the expansion is held to it, and a file that
    // expands short is refused as well.
    const SzddExpansion expanded = ExpandSzdd(in.get(), out.get(), size, header.expandedLength);
    whole = expanded.ok && expanded.written == header.expandedLength;
  } else {
    whole = CopyPlain(in.get(), out.get(), size);
  }
  whole = whole && ::fchmod(out.get(), NewFileMode(out.get())) == 0;
  whole = whole && PutInPlace(out.get(), temporary, *to);
  whole = out.Close() && whole;
  if (whole) return LzCopyResult::Copied;
  if (!temporary.empty()) ::unlink(temporary.c_str());
  return LzCopyResult::CopyFailed;
}

}  // namespace qv::posix
