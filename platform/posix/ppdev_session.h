// One open ppdev device (/dev/parportN) for one command or one print job:
// the exclusive lock that the setting program and the print backend both
// take, so that a command never lands in the middle of a job; the claim;
// the register writes of the switch command; and, for the backend, the job
// data through the same descriptor. Destroying it releases the port and
// closes the device, which drops the lock.
#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>

#include "platform/posix/ppdev_calls.h"
#include "platform/posix/ppdev_claim.h"
#include "platform/switch_port.h"

namespace qv::posix {

class PpdevSession final : public PortSession {
 public:
  // Opens `path`; nullptr and `error` set when that fails.
  static std::unique_ptr<PpdevSession> Open(PpdevCalls& calls, const std::string& path, int& error);
  ~PpdevSession() override;
  PpdevSession(const PpdevSession&) = delete;
  PpdevSession& operator=(const PpdevSession&) = delete;

  // The lock, without waiting: 0, EWOULDBLOCK while another session holds it.
  int TryLock() { return calls_.Lock(fd_, false); }
  // The lock, polled until `bound` has passed or `wait` gives up
  // (EWOULDBLOCK then), `wait` called in between.
  int LockWithin(std::chrono::milliseconds bound, const PortWait& wait);
  // 0, ETIMEDOUT past the bound, else the claim's error.
  int Claim(std::chrono::milliseconds bound, const PortWait& wait);

  bool WriteControl(std::uint8_t value) override;
  bool WriteData(std::uint8_t value) override;
  // One write of job data; see PpdevCalls::Write for what it returns.
  long WriteJob(std::span<const std::uint8_t> bytes) { return calls_.Write(fd_, bytes); }
  std::optional<std::uint8_t> ReadStatus();

 private:
  PpdevSession(PpdevCalls& calls, int fd) : calls_(calls), fd_(fd) {}
  PpdevCalls& calls_;
  int fd_;
  bool claimed_ = false;
};

// The kind of failure an open(2) errno stands for.
PortFailure FailureOfOpen(int error);

}  // namespace qv::posix
