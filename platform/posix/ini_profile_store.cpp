#include "platform/posix/ini_profile_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/posix/file_io.h"
#include "platform/posix/ini_document.h"
#include "platform/posix/user_directories.h"

namespace qv::posix {

namespace {

namespace fs = std::filesystem;

// Larger files are treated as unreadable rather than risking the memory; no
// profile of ours comes near this.
constexpr std::size_t kMaxFileSize = 64u << 20;

// The buffer kernel32 reads an integer into: 30 characters, 29 seen.
constexpr std::size_t kIntBuffer = 30;

// kernel32's copy of a value or default into a buffer of `size` characters:
// matching quotes around it are dropped, and the cut at size-1 characters
// happens before the closing quote is removed, so a quoted value of exactly
// size-1 characters loses its last character as well.
std::string CopyEntry(std::string_view value, std::size_t size) {
  bool quoted = false;
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string out(value.substr(0, size - 1));
  if (quoted && size >= value.size() && !out.empty()) out.pop_back();
  return out;
}

// The default loses trailing spaces (spaces only), though never its first
// character.
std::string_view StripDefault(std::string_view value) {
  while (value.size() > 1 && value.back() == ' ') value.remove_suffix(1);
  return value;
}

// RtlUnicodeStringToInteger with base 0, which GetPrivateProfileIntA uses:
// 32-bit arithmetic that wraps, lower-case prefixes only, and no digits
// reading as 0 rather than as the default.
int ParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t base = 10;
  if (text.size() - i >= 2 && text[i] == '0') {
    const char prefix = text[i + 1];
    if (prefix == 'b') base = 2;
    if (prefix == 'o') base = 8;
    if (prefix == 'x') base = 16;
    if (base != 10) i += 2;
  }
  std::uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    std::uint32_t digit = 36;
    if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'z') digit = static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'Z') digit = static_cast<std::uint32_t>(c - 'A' + 10);
    if (digit >= base) break;
    total = total * base + digit;
  }
  if (negative) total = 0u - total;
  return static_cast<int>(total);
}

enum class FileState { kRead, kMissing, kUnreadable };

struct FileContents {
  FileState state = FileState::kUnreadable;
  std::string text;
  mode_t mode = 0644;
};

bool IsDirectory(const fs::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

fs::path DirectoryOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// A missing file in an existing directory is an empty profile; anything else
// that cannot be read (a missing directory, no permission, not a regular
// file) is "cannot open", which kernel32 answers with the raw default.
// O_NONBLOCK keeps a FIFO given as a file name from blocking the caller.
FileContents Load(const fs::path& path, bool bareName) {
  FileContents file;
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!fd) {
    if (errno == ENOENT && (bareName || IsDirectory(DirectoryOf(path)))) {
      file.state = FileState::kMissing;
    }
    return file;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::uintmax_t>(info.st_size) > kMaxFileSize) {
    return file;
  }
  file.mode = info.st_mode & 07777;
  // The size is a hint only: the file may grow or shrink while it is read.
  file.text.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || file.text.size() + static_cast<std::size_t>(got) > kMaxFileSize) {
      file.text.clear();
      return file;
    }
    if (got == 0) break;
    file.text.append(chunk, static_cast<std::size_t>(got));
  }
  file.state = FileState::kRead;
  return file;
}

bool MakeDirectories(const fs::path& directory) {
  fs::path partial;
  for (const fs::path& part : directory) {
    partial /= part;
    struct stat info {};
    if (::stat(partial.c_str(), &info) == 0) continue;
    if (errno != ENOENT) return false;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return IsDirectory(directory);
}

// A symbolic link (a dotfile manager's, say) keeps pointing at the file it
// names: the new contents replace the file it leads to, not the link, and
// a link to a file not made yet makes that file. A loop is left as it is:
// the write then fails on it as the read did.
fs::path FollowLink(const fs::path& path) {
  fs::path at = path;
  for (int hop = 0; hop < 40; ++hop) {  // the kernel's own limit
    struct stat info {};
    if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return at;
    std::error_code error;
    const fs::path next = fs::read_symlink(at, error);
    if (error) return path;
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return path;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// The entry as the file will hold it (names trimmed, the value without its
// leading white space), or nothing when it must not be written.
std::optional<ProfileEntry> Cleaned(ProfileEntry entry) {
  entry.section = TrimIni(UpToNul(entry.section));
  entry.key = TrimIni(UpToNul(entry.key));
  entry.value = UpToNul(entry.value);
  while (!entry.value.empty() && IsIniSpace(entry.value.front())) entry.value.remove_prefix(1);
  // A deliberate departure from kernel32, which writes these raw: the line
  // breaks would split the entry into other entries (or other sections), an
  // '=' in a key would move the rest of the key into the value, and a key
  // starting with '[' may turn its line into a section header. So may a key
  // starting with a UTF-8 byte order mark: written at the top of a file, the
  // reader skips the mark as the file's own, and the key can never be read
  // back ("\xEF\xBB\xBF[S]" would even hide the real section [S]).
  if (HasLineBreak(entry.section) || HasLineBreak(entry.key) || HasLineBreak(entry.value) ||
      entry.key.find('=') != std::string_view::npos || entry.key.starts_with('[') ||
      entry.key.starts_with("\xEF\xBB\xBF")) {
    return std::nullopt;
  }
  return entry;
}

// How long a write waits for another program's write to the same file. A
// write takes milliseconds; a holder that keeps the lock longer has hung.
constexpr auto kLockWait = std::chrono::seconds(5);
constexpr auto kLockPoll = std::chrono::milliseconds(10);

// Every write of a file, by this program or another instance of it, holds an
// exclusive lock on a file beside it from reading the old contents to the
// rename: two Sets at once never mix, and one never undoes the other's keys.
// The lock file is never removed (that would let two writers hold locks on
// different files). Nothing when another writer keeps it past the wait; a
// descriptor that holds no lock when the system offers none there (the
// write then goes ahead as it would without locking).
std::optional<UniqueFd> LockWritesTo(const fs::path& target) {
  const fs::path lockPath = DirectoryOf(target) / (TemporaryPrefixFor(target) + "lock");
  UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600));
  if (!lock) return UniqueFd();
  const auto deadline = std::chrono::steady_clock::now() + kLockWait;
  for (;;) {
    if (::flock(lock.get(), LOCK_EX | LOCK_NB) == 0) return lock;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return UniqueFd();
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kLockPoll);
  }
}

// A write killed between making its temporary file and the rename leaves the
// file behind; the next write, holding the lock, removes it.
void RemoveStaleTemporaries(const fs::path& target) {
  DIR* folder = ::opendir(DirectoryOf(target).c_str());
  if (folder == nullptr) return;
  std::vector<fs::path> stale;
  while (const dirent* entry = ::readdir(folder)) {
    if (IsTemporaryNameFor(target, entry->d_name)) stale.push_back(DirectoryOf(target) / entry->d_name);
  }
  ::closedir(folder);
  for (const fs::path& path : stale) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
  }
}

}  // namespace

IniProfileStore::IniProfileStore(std::filesystem::path directory)
    : directory_(std::move(directory)) {}

std::filesystem::path IniProfileStore::DefaultDirectory() {
  const fs::path config = ConfigHome();
  if (config.empty()) return {};
  return config / "qv27-518";
}

Text256 IniProfileStore::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view file) {
  const std::string_view fallback = StripDefault(UpToNul(defaultValue));
  file = UpToNul(file);
  const bool bareName = file.find('/') == std::string_view::npos;
  if (file.empty()) return Text256(fallback);
  try {
    if (bareName && directory_.empty()) return Text256(CopyEntry(fallback, Text256::kCapacity + 1));
    const FileContents contents = Load(bareName ? directory_ / file : fs::path(file), bareName);
    if (contents.state == FileState::kUnreadable) return Text256(fallback);
    const IniDocument document(contents.text);
    const std::optional<std::string_view> value = document.Find(section, key);
    return Text256(CopyEntry(value ? *value : fallback, Text256::kCapacity + 1));
  } catch (const std::bad_alloc&) {
    return Text256(fallback);
  }
}

int IniProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue,
                             std::string_view file) {
  file = UpToNul(file);
  if (file.empty()) return defaultValue;
  const bool bareName = file.find('/') == std::string_view::npos;
  if (bareName && directory_.empty()) return defaultValue;
  try {
    const FileContents contents = Load(bareName ? directory_ / file : fs::path(file), bareName);
    if (contents.state != FileState::kRead) return defaultValue;
    const IniDocument document(contents.text);
    const std::optional<std::string_view> value = document.Find(section, key);
    if (!value) return defaultValue;
    const std::string text = CopyEntry(*value, kIntBuffer);
    return text.empty() ? defaultValue : ParseInt(text);
  } catch (const std::bad_alloc&) {
    return defaultValue;
  }
}

bool IniProfileStore::WriteString(std::string_view section, std::string_view key,
                                  std::string_view value, std::string_view file) {
  const ProfileEntry entry{section, key, value};
  return WriteStrings({&entry, 1}, file);
}

bool IniProfileStore::WriteStrings(std::span<const ProfileEntry> entries, std::string_view file) {
  file = UpToNul(file);
  if (file.empty()) return false;
  std::vector<ProfileEntry> cleaned;
  cleaned.reserve(entries.size());
  for (const ProfileEntry& entry : entries) {
    const std::optional<ProfileEntry> clean = Cleaned(entry);
    // One entry the file cannot hold refuses the whole batch: half of a
    // change is not written.
    if (!clean) return false;
    cleaned.push_back(*clean);
  }
  if (cleaned.empty()) return true;

  const bool bareName = file.find('/') == std::string_view::npos;
  if (bareName && directory_.empty()) return false;
  try {
    // Only the store's own directory is made; a path names a place that must
    // exist already, as with kernel32.
    if (bareName && !MakeDirectories(directory_)) return false;
    const fs::path path = FollowLink(bareName ? directory_ / file : fs::path(file));
    const std::optional<UniqueFd> lock = LockWritesTo(path);
    if (!lock) return false;
    FileContents contents = Load(path, bareName);
    if (contents.state == FileState::kUnreadable) return false;
    IniDocument document(std::move(contents.text));
    bool changed = false;
    for (const ProfileEntry& entry : cleaned) changed = document.Set(entry.section, entry.key, entry.value) || changed;
    if (!changed) return true;
    RemoveStaleTemporaries(path);
    // A new file gets 0644 whatever the umask; an existing one keeps its bits.
    const mode_t mode = contents.state == FileState::kRead ? contents.mode : 0644;
    return ReplaceFileAtomically(path, document.text(), mode);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace qv::posix
