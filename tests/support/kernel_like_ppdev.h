// A double of the ppdev calls that behaves as the kernel does (no machine
// here has a parallel port): PPCLAIM sleeps, interruptibly, while the port
// is held by another driver or another open file; flock is exclusive per
// open file; register writes, status reads and write(2) need the claim
// (EINVAL without); write(2) returns a short count when a signal comes
// between the kernel's 1024-byte chunks and 0 when nothing went out within
// the port's time-out (or a signal came before anything did). tests/platform/kernel_like_ppdev_test.cpp
// checks each of these beside the real calls where this machine has them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/ppdev_calls.h"
#include "setting/switch_command.h"

namespace qv::testing {

class KernelLikePpdev final : public posix::PpdevCalls {
 public:
  struct Device {
    bool permitted = true;      // else open gives EACCES
    std::string group = "lp";
    bool heldByDriver = false;  // another driver (lp) has the port claimed
    std::uint8_t status = 0xDF; // PPRSTATUS: selected, no paper-out, no fault, not busy
    // What the next writes do, one entry each: kFull, kNothing (the time-out
    // passed) or a positive count (a signal came after that many bytes).
    std::deque<long> writes;
    std::vector<std::uint8_t> received;  // the job data that went out
  };
  static constexpr long kFull = -1;
  static constexpr long kNothing = 0;

  // Each call, as "open /dev/parport0", "lock", "claim", "control 0C",
  // "data 81", "status", "write 4096 -> 1024", "release", "close".
  std::vector<std::string> calls;
  // Called inside each write(2), before it returns (a test sends its signal here).
  std::function<void()> duringWrite;

  Device& Add(const std::string& path);
  // Lets another driver take or give back the port.
  void SetHeldByDriver(const std::string& path, bool held);
  // Events in the order they happened, from any thread.
  std::vector<std::string> Calls();

  int Open(const std::string& path, int& fd) override;
  int Lock(int fd, bool wait) override;
  int Claim(int fd) override;
  int WriteData(int fd, std::uint8_t byte) override { return RegisterCall(fd, "data", byte); }
  int WriteControl(int fd, std::uint8_t byte) override { return RegisterCall(fd, "control", byte); }
  int ReadStatus(int fd, std::uint8_t& status) override {
    return RegisterCall(fd, "status", std::nullopt, &status);
  }
  long Write(int fd, std::span<const std::uint8_t> bytes) override;
  int Release(int fd) override;
  void Close(int fd) override;
  std::string GroupOf(const std::string& path) override;
  std::vector<std::string> PresentDevices() override;

 private:
  struct OpenFile {
    std::string path;
    bool locked = false;
    bool claimed = false;
  };
  // Sleeps until `free` holds, taking the mutex each time; EINTR when a
  // signal ends the sleep, as the kernel's interruptible sleeps do.
  int SleepUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& free);
  // Whether another open file of fd's port has locked or claimed it.
  bool OtherFileHas(int fd, bool OpenFile::*flag) const;
  // A register access, which needs the claim, recorded as "name XX" with the
  // value written; a status read gives the status.
  int RegisterCall(int fd, const char* name, std::optional<std::uint8_t> written,
                   std::uint8_t* status = nullptr);

  std::mutex mutex_;
  std::map<std::string, Device> devices_;
  std::map<int, OpenFile> files_;
  int nextFd_ = 10;
};

// The calls that sending `command` over a claimed port makes, as Calls()
// names them: the control write, the head, the control write, the tail.
std::vector<std::string> CommandCalls(const SwitchCommand& command);

}  // namespace qv::testing
