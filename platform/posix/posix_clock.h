// The clock on Linux: both readings come from CLOCK_MONOTONIC.
#pragma once

#include "platform/clock.h"

namespace qv::posix {

class PosixClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  std::chrono::nanoseconds PreciseNow() override;
};

}  // namespace qv::posix
