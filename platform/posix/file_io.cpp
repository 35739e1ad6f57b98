#include "platform/posix/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace qv::posix {

namespace fs = std::filesystem;

namespace {

// Six characters mkostemp fills in, from this alphabet.
constexpr std::size_t kTemplateLength = 6;

bool IsTemplateCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

fs::path FolderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) reset(other.release());
  return *this;
}

int UniqueFd::release() {
  return std::exchange(fd_, -1);
}

bool UniqueFd::reset(int fd) {
  const int old = std::exchange(fd_, fd);
  return old < 0 || ::close(old) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

std::string TemporaryPrefixFor(const fs::path& target) {
  // Room for the dots and the six characters within 255 bytes.
  return "." + target.filename().string().substr(0, 200) + ".";
}

bool IsTemporaryNameFor(const fs::path& target, std::string_view name) {
  const std::string prefix = TemporaryPrefixFor(target);
  if (name.size() != prefix.size() + kTemplateLength || !name.starts_with(prefix)) return false;
  for (const char c : name.substr(prefix.size())) {
    if (!IsTemplateCharacter(c)) return false;
  }
  return true;
}

bool ReplaceFileAtomically(const fs::path& target, std::string_view bytes, mode_t mode) {
  const fs::path folder = FolderOf(target);
  std::string temporary = (folder / (TemporaryPrefixFor(target) + std::string(kTemplateLength, 'X'))).string();
  UniqueFd file(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!file) return false;
  bool ok = WriteAll(file.get(), bytes) && ::fchmod(file.get(), mode) == 0 && ::fsync(file.get()) == 0;
  ok = file.reset() && ok;
  if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Makes the rename itself durable; the data is already safe without it.
  const UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory) ::fsync(directory.get());
  return true;
}

}  // namespace qv::posix
