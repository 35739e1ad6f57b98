#include "platform/posix/ppdev_calls.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace qv::posix {
namespace {

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
    opened = open(path.c_str(), O_RDWR | O_CLOEXEC);
  } while (opened < 0 && errno == EINTR);
  if (opened < 0) return errno;
  fd = opened;
  return 0;
}

int SystemPpdevCalls::Claim(int fd) { return Ioctl(fd, PPCLAIM, nullptr); }

int SystemPpdevCalls::WriteData(int fd, std::uint8_t value) {
  unsigned char byte = value;
  return Ioctl(fd, PPWDATA, &byte);
}

int SystemPpdevCalls::WriteControl(int fd, std::uint8_t value) {
  unsigned char byte = value;
  return Ioctl(fd, PPWCONTROL, &byte);
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

}  // namespace qv::posix
