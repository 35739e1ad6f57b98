#include "platform/posix/read_once_profile_store.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace qv::posix {
namespace {

// The whole file into a memory file, or -1 when it cannot be read, is no
// regular file or is larger than `limit`.
int CopyIntoMemory(const std::string& path, std::uint64_t limit) {
  const int in = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (in < 0) return -1;
  struct stat info {};
  int copy = -1;
  if (::fstat(in, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) <= limit)
    copy = ::memfd_create("profile", MFD_CLOEXEC);
  std::vector<char> buffer(64 * 1024);
  std::uint64_t total = 0;
  while (copy >= 0) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    // A file that grew past the limit while it was read is refused too.
    if (got < 0 || (total += static_cast<std::uint64_t>(got)) > limit) {
      ::close(copy);
      copy = -1;
      break;
    }
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(copy, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        ::close(copy);
        copy = -1;
        break;
      }
      done += put;
    }
  }
  ::close(in);
  return copy;
}

}  // namespace

ReadOnceProfileStore::~ReadOnceProfileStore() {
  for (const auto& [name, fd] : copies_)
    if (fd >= 0) ::close(fd);
}

std::string ReadOnceProfileStore::CopyOf(std::string_view file) {
  if (file.find('/') == std::string_view::npos) return std::string(file);
  auto found = copies_.find(file);
  if (found == copies_.end()) found = copies_.emplace(std::string(file), CopyIntoMemory(std::string(file), limit_)).first;
  // An unreadable file: a name that the engine finds no file under.
  if (found->second < 0) return "/proc/self/fd/-1/unreadable";
  return "/proc/self/fd/" + std::to_string(found->second);
}

Text256 ReadOnceProfileStore::ReadString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue, std::string_view file) {
  return store_.ReadString(section, key, defaultValue, CopyOf(file));
}

int ReadOnceProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue,
                                  std::string_view file) {
  return store_.ReadInt(section, key, defaultValue, CopyOf(file));
}

bool ReadOnceProfileStore::WriteString(std::string_view section, std::string_view key, std::string_view value,
                                       std::string_view file) {
  if (const auto found = copies_.find(file); found != copies_.end()) {
    if (found->second >= 0) ::close(found->second);
    copies_.erase(found);
  }
  return store_.WriteString(section, key, value, file);
}

}  // namespace qv::posix
