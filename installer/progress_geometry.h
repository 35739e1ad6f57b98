// What the progress control draws for a number of files done out of a total:
// the percentage and its text, the filled part of the bar and the rest, and
// the point the text is centred on. The win32 control paints exactly this.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

struct ProgressRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const ProgressRect&, const ProgressRect&) = default;
};

struct ProgressGeometry {
  std::uint16_t percent = 0;  // 0 to 100
  std::string text;           // "42%"
  ProgressRect filled;        // drawn blue, with the text in grey
  ProgressRect remainder;     // drawn grey, with the text in blue
  int textX = 0;              // the text's horizontal centre
  int textY = 0;              // the text's top; negative when the control is lower than the text
};

// `width` and `height`: the control's client size; `textHeight`: the height
// of the font's "X".
ProgressGeometry ComputeProgressGeometry(std::uint16_t done, std::uint16_t total, int width, int height,
                                         int textHeight);

}  // namespace qv
