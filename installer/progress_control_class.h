// The installer's progress control: the window class "Percent" that dialog
// 101 names, and the two process-wide counters that the copy loop writes and
// the control draws. The application object owns the counters; each host's
// control owns what it paints with (the blue frame among it).
#pragma once

#include <cstdint>

namespace qv {

struct ProgressCounters {
  std::uint16_t done = 0;   // files copied so far
  std::uint16_t total = 100;  // files to copy
};

class ProgressControlClass {
 public:
  virtual ~ProgressControlClass() = default;
  // Registers the class before any dialog names it; false when the platform
  // refuses. The counters must outlive every control.
  virtual bool Register(const ProgressCounters& counters) = 0;
};

}  // namespace qv
