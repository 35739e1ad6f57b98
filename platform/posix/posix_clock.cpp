#include "platform/posix/posix_clock.h"

#include <time.h>

namespace qv::posix {

std::chrono::nanoseconds PosixClock::PreciseNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

std::uint32_t PosixClock::TickCount() {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(PreciseNow()).count());
}

}  // namespace qv::posix
