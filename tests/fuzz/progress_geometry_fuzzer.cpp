// The progress control's geometry for any counts and sizes, held to the
// promises of its header: a percentage of 0 to 100 that shows more done than
// the total as complete, its text, a filled part and a rest that split the
// control at one point, and the text centred vertically.
// Input: done and total (16 bits each), width, height and text height (32
// bits each), little-endian; missing bytes are zero.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "installer/progress_geometry.h"
#include "tests/fuzz/fuzz_fields.h"

using namespace qv::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  struct {
    std::uint16_t done, total;
    std::int32_t width, height, textHeight;
  } input{};
  static_assert(sizeof input == 16, "the fields follow each other without padding");
  std::memcpy(&input, data, size < sizeof input ? size : sizeof input);
  const auto [done, total, width, height, textHeight] = input;

  const qv::ProgressGeometry g = qv::ComputeProgressGeometry(done, total, width, height, textHeight);

  Require(g.percent <= 100, "the percentage is at most 100");
  if (done >= total) {
    Require(g.percent == 100, "more done than the total shows as complete");
  } else {
    Require(g.percent == std::uint32_t{done} * 100u / total, "the percentage is done/total, truncated");
  }
  Require(g.text == std::to_string(g.percent) + "%", "the text is the percentage");

  Require(g.filled.left == 0 && g.filled.right == g.remainder.left && g.remainder.right == width,
          "filled part and rest split the control at one point");
  Require(g.filled.top == 0 && g.remainder.top == 0 && g.filled.bottom == height && g.remainder.bottom == height,
          "both parts are the control's height");
  if (width >= 0) {
    Require(g.filled.right >= 0 && g.filled.right <= width, "the bar stays within the control");
    if (done >= total) Require(g.filled.right == width, "a complete bar fills the control");
  }
  const long long twice = static_cast<long long>(height) - textHeight;
  Require(2LL * g.textY == twice || 2LL * g.textY == twice + (twice < 0 ? 1 : -1),
          "the text is centred vertically");
  Require(g.textX == width / 2, "the text is centred horizontally");
  return 0;
}
