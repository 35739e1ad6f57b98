// The installer's progress control: the window class "Percent" that dialog
// 101 names, the two process-wide counters that the copy loop writes and the
// control draws, and the blue brush that frames it. The application object
// owns the counters and the brush; the platform keeps only references.
#pragma once

#include <cstdint>
#include <memory>

namespace qv {

struct ProgressCounters {
  std::uint16_t done = 0;   // files copied so far
  std::uint16_t total = 100;  // files to copy
};

// A drawing object of the platform's, released with its owner.
class PlatformBrush {
 public:
  virtual ~PlatformBrush() = default;
};

// Makes the platform's solid brush of a colour (0x00BBGGRR).
using BrushMaker = std::unique_ptr<PlatformBrush> (*)(std::uint32_t colour);

struct SolidBrush {
  std::uint32_t colour = 0;
  std::unique_ptr<PlatformBrush> object;  // none where nothing is drawn (tests)
};

class ProgressControlClass {
 public:
  virtual ~ProgressControlClass() = default;
  // Registers the class before any dialog names it; false when the platform
  // refuses. The counters and the brush must outlive every control.
  virtual bool Register(const ProgressCounters& counters, const SolidBrush& frameBrush) = 0;
};

}  // namespace qv
