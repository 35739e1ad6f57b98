#include "backend/backend_program.h"

#include <cups/sidechannel.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "backend/device_listing.h"
#include "backend/print_job.h"
#include "backend/side_channel_answer.h"
#include "platform/posix/posix_clock.h"

namespace qv::backend {
namespace {

volatile std::sig_atomic_t cancelled = 0;
// The write end of a pipe that a cancel also wakes the wait for data with:
// one that comes after the last look at `cancelled` but before the wait
// begins would otherwise be seen only once the filter writes or ends.
int wakeWrite = -1;

// SIGTERM (cancel), SIGINT and SIGHUP all end the job; installed without
// SA_RESTART so that a wait for the lock or a write notices at once.
class ProcessSignals final : public JobSignals {
 public:
  ProcessSignals() {
    // Above CUPS's own descriptors (3 the back channel, 4 the side
    // channel), which a backend run by hand may not have.
    int ends[2];
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
      wake_ = fcntl(ends[0], F_DUPFD_CLOEXEC, 10);
      wakeWrite = fcntl(ends[1], F_DUPFD_CLOEXEC, 10);
      close(ends[0]);
      close(ends[1]);
    }
    struct sigaction action {};
    action.sa_handler = [](int) {
      cancelled = 1;
      const int saved = errno;
      if (wakeWrite >= 0 && write(wakeWrite, "", 1) < 0) {
        // Full already: the wait wakes all the same.
      }
      errno = saved;
    };
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
  }
  bool Cancelled() override { return cancelled != 0; }
  // Readable once a cancel has come.
  int wake() const { return wake_; }
  void HoldBack(bool hold) override {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kSignals) sigaddset(&set, signal);
    sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
  }

 private:
  static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
  int wake_ = -1;
};

// CUPS's side channel on its descriptor, read without blocking; a backend
// run by hand has none. A message that is no request is let go; a channel
// that fails, closes or is no socket is not read again.
class CupsSideChannel final : public SideChannel {
 public:
  bool open() const { return open_; }
  cups_sc_command_t Next() override {
    pollfd request{CUPS_SC_FD, POLLIN, 0};
    if (!open_ || poll(&request, 1, 0) <= 0) return CUPS_SC_CMD_NONE;
    char first;
    if (recv(CUPS_SC_FD, &first, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) {
      open_ = false;
      return CUPS_SC_CMD_NONE;
    }
    cups_sc_command_t command = CUPS_SC_CMD_NONE;
    cups_sc_status_t status = CUPS_SC_STATUS_NONE;
    char data[2048];
    int length = sizeof data;
    if (cupsSideChannelRead(&command, &status, data, &length, 0.0) == 0) return command;
    if (status != CUPS_SC_STATUS_BAD_MESSAGE && status != CUPS_SC_STATUS_TOO_BIG) open_ = false;
    return CUPS_SC_CMD_NONE;
  }
  void Answer(cups_sc_command_t command, const SideChannelAnswer& answer) override {
    cupsSideChannelWrite(command, answer.status, answer.data.data(), static_cast<int>(answer.data.size()), 1.0);
  }

 private:
  bool open_ = fcntl(CUPS_SC_FD, F_GETFD) >= 0;
};

// The job's data on its descriptor, waited for together with the side
// channel's requests and a cancel.
class FdInput final : public JobInput {
 public:
  FdInput(int fd, int wake, const CupsSideChannel& side) : fd_(fd), wake_(wake), side_(side) {}
  bool Wait(bool block) override {
    pollfd ready[3]{{fd_, POLLIN, 0}, {wake_, POLLIN, 0}, {CUPS_SC_FD, POLLIN, 0}};
    for (;;) {
      const int n = poll(ready, side_.open() ? 3 : 2, block ? -1 : 0);
      // Only a blocking wait gives way to a signal: a look must answer.
      if (n >= 0 || errno != EINTR || block) return n > 0 && ready[0].revents != 0;
    }
  }
  long Read(std::span<std::uint8_t> buffer) override {
    const ssize_t got = read(fd_, buffer.data(), buffer.size());
    return got < 0 ? -errno : static_cast<long>(got);
  }
  bool Rewind() override { return lseek(fd_, 0, SEEK_SET) == 0; }

 private:
  int fd_;
  int wake_;
  const CupsSideChannel& side_;
};

// A positive count of copies; anything else is one copy.
int CopiesOf(const char* text) {
  char* end = nullptr;
  const long copies = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && copies >= 1 && copies <= 9999 ? static_cast<int>(copies) : 1;
}

// The name of the user this process runs as; its number when it has none.
std::string UserName() {
  const uid_t uid = geteuid();
  if (const passwd* entry = getpwuid(uid)) return entry->pw_name;
  return std::to_string(uid);
}

}  // namespace

int RunBackend(int argc, char** argv, posix::PpdevCalls& calls) {
  if (argc == 1) {
    ListDevices(calls, std::cout);
    return kExitOk;
  }
  if (argc != 6 && argc != 7) {
    std::cerr << "Usage: " << kScheme << " job-id user title copies options [file]" << std::endl;
    return kExitFailed;
  }
  const char* uriText = std::getenv("DEVICE_URI");
  if (!uriText) uriText = argv[0];
  const auto uri = ParseDeviceUri(uriText);
  if (!uri) {
    std::cerr << "ERROR: Bad device URI \"" << uriText
              << "\"; expected qv27-518:/dev/parportN?printer=A, B or Broadcast, optionally &settle=0 to 1000"
              << std::endl;
    return kExitStop;
  }
  int fd = 0;
  int copies = 1;
  if (argc == 7) {
    fd = open(argv[6], O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      std::cerr << "ERROR: Cannot open the job's file" << std::endl;
      return kExitFailed;
    }
    copies = CopiesOf(argv[4]);
  }
  ProcessSignals signals;
  CupsSideChannel sideChannel;
  FdInput input(fd, signals.wake(), sideChannel);
  posix::PosixClock clock;
  JobServices services{calls, clock, std::cerr, input, signals, sideChannel,
                       [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }};
  services.user = UserName();
  const int code = RunJob(*uri, copies, services);
  if (argc == 7) close(fd);
  return code;
}

}  // namespace qv::backend
