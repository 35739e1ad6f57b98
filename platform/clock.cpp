#include "platform/clock.h"

namespace qv {

void BusyWait(Clock& clock, std::chrono::nanoseconds duration) {
  const auto start = clock.PreciseNow();
  while (clock.PreciseNow() - start < duration) {
  }
}

}  // namespace qv
