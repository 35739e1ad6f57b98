#include "tests/support/standin_ppdev_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace qv::testing {

StandInPpdevCalls::StandInPpdevCalls() {
  const char* folder = std::getenv("QV_PORT_STANDIN");
  folder_ = folder && *folder ? folder : "/nonexistent";
}

std::string StandInPpdevCalls::Mapped(const std::string& path) const {
  return path.starts_with("/dev/") ? folder_ + "/" + path.substr(5) : folder_ + "/none";
}

std::string StandInPpdevCalls::Register(const char* name, std::uint8_t value) {
  char call[16];
  std::snprintf(call, sizeof call, "%s %02X", name, value);
  return call;
}

int StandInPpdevCalls::Record(const std::string& call) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  char line[160];
  const int length = std::snprintf(line, sizeof line, "%lld %d %s\n",
                                   static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                   static_cast<int>(getpid()), call.c_str());
  const int fd = open((folder_ + "/events").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return 0;
  // One write per line: appends of whole lines never mix between processes.
  if (write(fd, line, static_cast<std::size_t>(length)) < 0) {
  }
  close(fd);
  return 0;
}

int StandInPpdevCalls::Open(const std::string& path, int& fd) {
  const int error = SystemPpdevCalls::Open(Mapped(path), fd);
  Record("open " + path + (error ? " " + std::to_string(error) : ""));
  return error;
}

int StandInPpdevCalls::Lock(int fd, bool wait) {
  const int error = SystemPpdevCalls::Lock(fd, wait);
  if (error == 0) Record("lock");
  return error;
}

long StandInPpdevCalls::Write(int fd, std::span<const std::uint8_t> bytes) {
  long written = SystemPpdevCalls::Write(fd, bytes);
  if (written == -EINTR) written = 0;
  Record("write " + std::to_string(bytes.size()) + " " + std::to_string(written));
  return written;
}

void StandInPpdevCalls::Close(int fd) {
  Record("close");
  SystemPpdevCalls::Close(fd);
}

bool StandInPpdevCalls::IsDevice(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

}  // namespace qv::testing
