// The tick count and the performance counter.
#pragma once

#include <windows.h>

#include "platform/clock.h"

namespace qv::win32 {

class Win32Clock final : public Clock {
 public:
  Win32Clock();
  std::uint32_t TickCount() override { return GetTickCount(); }
  std::chrono::nanoseconds PreciseNow() override;

 private:
  LONGLONG frequency_ = 0;
};

}  // namespace qv::win32
