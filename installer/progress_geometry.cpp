#include "installer/progress_geometry.h"

#include <algorithm>

namespace qv {

ProgressGeometry ComputeProgressGeometry(std::uint16_t done, std::uint16_t total, int width, int height,
                                         int textHeight) {
  ProgressGeometry g;
  int barRight = width;
  if (total == 0) {
    // Nothing was to be copied: the work is complete, and nothing divides by
    // zero.
    g.percent = 100;
  } else {
    // The quotient is truncated, not rounded: 1 of 3 is 33%. It is capped
    // before it is narrowed: 16384 done of 5 is complete, not 16 bits of
    // 327680%.
    const std::uint32_t percent = (std::uint32_t{done} * 100u) / total;
    g.percent = static_cast<std::uint16_t>(std::min<std::uint32_t>(percent, 100));
    // More done than the total draws a bar past the right edge; the control
    // shows it cut at the edge.
    barRight = static_cast<int>(std::min<long long>(static_cast<long long>(done) * width / total, width));
  }
  g.text = std::to_string(g.percent) + "%";
  g.filled = {0, 0, barRight, height};
  g.remainder = {barRight, 0, width, height};
  g.textX = width / 2;
  // Wide arithmetic: the difference of two extreme ints does not fit an int,
  // though its half always does.
  g.textY = static_cast<int>((static_cast<long long>(height) - textHeight) / 2);
  return g;
}

}  // namespace qv
