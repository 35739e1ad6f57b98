// The clock: the platform's wrapping millisecond tick counter and a precise
// monotonic time. Tests hand the programs a clock that they move themselves,
// so that no test waits in real time.
#pragma once

#include <chrono>
#include <cstdint>

namespace qv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the system started, wrapping at 2^32.
  virtual std::uint32_t TickCount() = 0;
  // A monotonic time with sub-millisecond resolution.
  virtual std::chrono::nanoseconds PreciseNow() = 0;
};

// Busy-waits (no sleep: the caller's thread does nothing else meanwhile)
// until at least `duration` has passed on the precise clock.
void BusyWait(Clock& clock, std::chrono::nanoseconds duration);

}  // namespace qv
