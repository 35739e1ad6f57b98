// What the progress control draws for the counts the copy loop leaves.
#include "installer/progress_geometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace qv {
namespace {

TEST(ProgressGeometry, PercentageAndBarFollowTheCounts) {
  struct Case {
    std::uint16_t done, total;
    const char* text;
    int barRight;
  };
  // A control 75 pixels wide: the bar is done/total of it, truncated.
  const Case cases[] = {
      {0, 100, "0%", 0},     {1, 3, "33%", 25},     {2, 3, "66%", 50},       {3, 3, "100%", 75},
      {4, 3, "100%", 75},    {0, 0, "100%", 75},    {99, 100, "99%", 74},    {65535, 65535, "100%", 75},
      {700, 1000, "70%", 52}, {1, 65535, "0%", 0},
      // More done than the total is complete, however far past it: the
      // percentage is capped before it is narrowed to 16 bits.
      {16384, 5, "100%", 75}, {656, 1, "100%", 75}, {65535, 1, "100%", 75},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.total));
    const ProgressGeometry g = ComputeProgressGeometry(c.done, c.total, 75, 20, 13);
    EXPECT_EQ(g.text, c.text);
    EXPECT_EQ(g.filled, (ProgressRect{0, 0, c.barRight, 20}));
    EXPECT_EQ(g.remainder, (ProgressRect{c.barRight, 0, 75, 20}));
    EXPECT_EQ(g.filled.Empty(), c.barRight == 0);
    EXPECT_EQ(g.remainder.Empty(), c.barRight == 75);
  }
}

TEST(ProgressGeometry, TheTextIsCentredEvenInAControlLowerThanTheText) {
  const ProgressGeometry tall = ComputeProgressGeometry(1, 2, 75, 20, 13);
  EXPECT_EQ(tall.textX, 37);
  EXPECT_EQ(tall.textY, 3);
  const ProgressGeometry low = ComputeProgressGeometry(1, 2, 75, 8, 13);
  EXPECT_EQ(low.textY, -2) << "(8 - 13) / 2 truncates toward zero";

  // Heights that a broken window can report: the difference of two extreme
  // ints does not fit an int (the sanitizer build traps on that), its half does.
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  EXPECT_EQ(ComputeProgressGeometry(1, 2, 75, kMax, kMin).textY, kMax);
  EXPECT_EQ(ComputeProgressGeometry(1, 2, 75, kMin, kMax).textY, -kMax);
  EXPECT_EQ(ComputeProgressGeometry(1, 2, 75, kMin, 13).textY, kMin / 2 - 6);
}

}  // namespace
}  // namespace qv
