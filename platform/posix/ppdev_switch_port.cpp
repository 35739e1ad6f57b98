#include "platform/posix/ppdev_switch_port.h"

#include <cerrno>
#include <iostream>
#include <string>

#include "platform/posix/ppdev_session.h"

namespace qv::posix {

PpdevSwitchPort::PpdevSwitchPort(PortWait wait)
    : ownCalls_(std::make_unique<SystemPpdevCalls>()),
      calls_(*ownCalls_),
      complaints_(std::cerr),
      wait_(std::move(wait)),
      bound_(kBound) {}

PpdevSwitchPort::PpdevSwitchPort(PpdevCalls& calls, std::ostream& complaints, PortWait wait,
                                 std::chrono::milliseconds bound)
    : calls_(calls), complaints_(complaints), wait_(std::move(wait)), bound_(bound) {}

PpdevSwitchPort::~PpdevSwitchPort() = default;

PortOpening PpdevSwitchPort::Open(std::uint32_t lpt) {
  // Port 0 has no device; LPT numbers beyond what the kernel lists find none.
  if (lpt == 0) return {nullptr, PortFailure::kAbsent};
  const std::string path = "/dev/parport" + std::to_string(lpt - 1);
  int error = 0;
  std::unique_ptr<PpdevSession> session = PpdevSession::Open(calls_, path, error);
  if (!session) {
    const PortFailure failure = FailureOfOpen(error);
    if (failure == PortFailure::kNotPermitted) {
      const std::string group = calls_.GroupOf(path);
      complaints_ << "QV27-518: no permission to open " << path;
      if (!group.empty()) complaints_ << "; add your user to the group \"" << group << "\" and log in again";
      complaints_ << std::endl;
    }
    return {nullptr, failure};
  }
  // One bound for the lock and the claim together: the user waits no longer.
  const auto start = std::chrono::steady_clock::now();
  error = session->LockWithin(bound_, wait_);
  if (error == EWOULDBLOCK) return {nullptr, PortFailure::kBusy};
  if (error != 0) return {nullptr, PortFailure::kAbsent};
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  error = session->Claim(std::max(bound_ - spent, std::chrono::milliseconds(0)), wait_);
  if (error == ETIMEDOUT) return {nullptr, PortFailure::kBusy};
  if (error != 0) return {nullptr, PortFailure::kAbsent};
  return {std::move(session)};
}

}  // namespace qv::posix
