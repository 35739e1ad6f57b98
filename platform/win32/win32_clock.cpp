#include "platform/win32/win32_clock.h"

namespace qv::win32 {

Win32Clock::Win32Clock() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  frequency_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

std::chrono::nanoseconds Win32Clock::PreciseNow() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  // Whole seconds and the rest apart, so that the product cannot overflow.
  const LONGLONG seconds = counter.QuadPart / frequency_;
  const LONGLONG rest = counter.QuadPart % frequency_;
  return std::chrono::nanoseconds(seconds * 1000000000LL + rest * 1000000000LL / frequency_);
}

}  // namespace qv::win32
