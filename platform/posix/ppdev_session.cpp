#include "platform/posix/ppdev_session.h"

#include <cerrno>
#include <thread>

namespace qv::posix {

std::unique_ptr<PpdevSession> PpdevSession::Open(PpdevCalls& calls, const std::string& path, int& error) {
  int fd = -1;
  error = calls.Open(path, fd);
  if (error != 0) return nullptr;
  return std::unique_ptr<PpdevSession>(new PpdevSession(calls, fd));
}

PpdevSession::~PpdevSession() {
  if (claimed_) calls_.Release(fd_);
  calls_.Close(fd_);
}

int PpdevSession::LockWithin(std::chrono::milliseconds bound, const PortWait& wait) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  for (;;) {
    const int error = TryLock();
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return error;
    if (wait && !wait()) return EWOULDBLOCK;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int PpdevSession::Claim(std::chrono::milliseconds bound, const PortWait& wait) {
  const int error = ClaimWithin(calls_, fd_, bound, wait);
  claimed_ = error == 0;
  return error;
}

bool PpdevSession::WriteControl(std::uint8_t value) { return calls_.WriteControl(fd_, value) == 0; }

bool PpdevSession::WriteData(std::uint8_t value) { return calls_.WriteData(fd_, value) == 0; }

std::optional<std::uint8_t> PpdevSession::ReadStatus() {
  std::uint8_t status = 0;
  if (calls_.ReadStatus(fd_, status) != 0) return std::nullopt;
  return status;
}

PortFailure FailureOfOpen(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return PortFailure::kNotPermitted;
    case EBUSY:
      return PortFailure::kBusy;
    default:
      return PortFailure::kAbsent;
  }
}

}  // namespace qv::posix
