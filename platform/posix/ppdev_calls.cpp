#include "platform/posix/ppdev_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/ppdev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace qv::posix {
namespace {

// Register writes are short and never sleep: a signal is no reason to drop one.
int Ioctl(int fd, unsigned long request, void* argument) {
  int result;
  do {
    result = ioctl(fd, request, argument);
  } while (result < 0 && errno == EINTR);
  return result < 0 ? errno : 0;
}

}  // namespace

int SystemPpdevCalls::Open(const std::string& path, int& fd) {
  int opened;
  do {
    opened = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
  } while (opened < 0 && errno == EINTR);
  if (opened < 0) return errno;
  fd = opened;
  return 0;
}

int SystemPpdevCalls::Lock(int fd, bool wait) {
  return flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0 ? 0 : errno;
}

// Not retried on EINTR: the signal is how a bounded claim gives up.
int SystemPpdevCalls::Claim(int fd) { return ioctl(fd, PPCLAIM) == 0 ? 0 : errno; }

int SystemPpdevCalls::WriteData(int fd, std::uint8_t value) {
  unsigned char byte = value;
  return Ioctl(fd, PPWDATA, &byte);
}

int SystemPpdevCalls::WriteControl(int fd, std::uint8_t value) {
  unsigned char byte = value;
  return Ioctl(fd, PPWCONTROL, &byte);
}

int SystemPpdevCalls::ReadStatus(int fd, std::uint8_t& value) {
  unsigned char byte = 0;
  const int error = Ioctl(fd, PPRSTATUS, &byte);
  if (error == 0) value = byte;
  return error;
}

long SystemPpdevCalls::Write(int fd, std::span<const std::uint8_t> bytes) {
  const ssize_t written = write(fd, bytes.data(), bytes.size());
  return written < 0 ? -errno : static_cast<long>(written);
}

int SystemPpdevCalls::Release(int fd) { return Ioctl(fd, PPRELEASE, nullptr); }

void SystemPpdevCalls::Close(int fd) { close(fd); }

std::string SystemPpdevCalls::GroupOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return {};
  long size = sysconf(_SC_GETGR_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 1024);
  group entry{};
  group* found = nullptr;
  while (getgrgid_r(status.st_gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < (1u << 20))
    buffer.resize(buffer.size() * 2);
  if (found) return found->gr_name;
  return std::to_string(status.st_gid);
}

bool SystemPpdevCalls::IsDevice(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode);
}

std::vector<std::string> SystemPpdevCalls::PresentDevices() {
  const std::string folder = DeviceFolder();
  std::vector<unsigned> numbers;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() < 8 || name.size() > 10 || name.compare(0, 7, "parport") != 0) continue;
      const std::string digits = name.substr(7);
      if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
          (digits.size() > 1 && digits[0] == '0'))
        continue;
      if (IsDevice(folder + "/" + name)) numbers.push_back(static_cast<unsigned>(std::atoi(digits.c_str())));
    }
    closedir(dir);
  }
  std::sort(numbers.begin(), numbers.end());
  std::vector<std::string> paths;
  for (unsigned n : numbers) paths.push_back("/dev/parport" + std::to_string(n));
  return paths;
}

}  // namespace qv::posix
