// PPCLAIM with a bound. The kernel's claim sleeps for as long as another
// driver holds the port and has no time-out of its own, so it runs on a
// worker thread: the caller's thread waits at most `bound`, calling `wait`
// about every 10 ms meanwhile (a dialog repaints there), and then ends the
// claim with a signal.
#pragma once

#include <chrono>
#include <functional>

#include "platform/posix/ppdev_calls.h"

namespace qv::posix {

// What a program does while it waits for the port; called again and again.
// False gives up the wait at once (a print job that was cancelled).
using PortWait = std::function<bool()>;

// 0 when the port is claimed, ETIMEDOUT when the bound passed (or the wait
// gave up) first, else
// the claim's error. After ETIMEDOUT close the device: an interrupted claim
// stays queued in the kernel until its file is closed.
int ClaimWithin(PpdevCalls& calls, int fd, std::chrono::milliseconds bound, const PortWait& wait);

}  // namespace qv::posix
