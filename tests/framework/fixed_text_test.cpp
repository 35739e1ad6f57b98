// FixedText's own promises, which every caller inherits: never more than
// its capacity, always terminated, cuts reported, refusals without effect.
#include "base/fixed_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qv {
namespace {

using namespace std::string_literals;

// The buffer ends at its NUL, whatever went before: c_str() and view() agree.
template <std::size_t N>
void ExpectTerminated(const FixedText<N>& text) {
  EXPECT_EQ(std::strlen(text.c_str()), text.size());
  EXPECT_EQ(std::string(text.c_str()), text.view());
}

TEST(FixedText, TryAssignTakesExactlyItsCapacityAndRefusesMore) {
  struct Case {
    std::string text;
    bool taken;
  };
  const Case cases[] = {
      {"", true},
      {std::string(254, 'p'), true},
      {std::string(255, 'p'), true},  // a 255-character path fits 256 bytes
      {std::string(256, 'p'), false},
      {"ab\0c"s, false},  // the platform would see only "ab"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.size());
    Text256 text("before");
    EXPECT_EQ(text.TryAssign(c.text), c.taken);
    EXPECT_EQ(text.view(), c.taken ? c.text : "before") << "a refusal leaves the text as it was";
    ExpectTerminated(text);
  }
}

TEST(FixedText, AssignCutsAtCapacityOrAtANul) {
  FixedText<4> text;
  text.Assign("abcdef");
  EXPECT_EQ(text.view(), "abc");
  ExpectTerminated(text);
  text.Assign("x\0yz"s);
  EXPECT_EQ(text.view(), "x");
  ExpectTerminated(text);
}

TEST(FixedText, AppendReportsACutAndStaysTerminated) {
  FixedText<6> text("ab");
  EXPECT_TRUE(text.Append("cd"));
  EXPECT_EQ(text.view(), "abcd");
  ExpectTerminated(text);
  EXPECT_FALSE(text.Append("efg")) << "only 'e' fits";
  EXPECT_EQ(text.view(), "abcde");
  ExpectTerminated(text);
  EXPECT_FALSE(text.Append("h"));
  EXPECT_EQ(text.view(), "abcde");
  EXPECT_TRUE(text.Append("")) << "nothing to cut";
}

TEST(FixedText, FillWithStopsAtTheFirstNulAndNeverPastTheBuffer) {
  FixedText<8> text;
  // A platform call that fills the whole buffer and leaves no NUL.
  text.FillWith([](char* buffer, std::size_t size) {
    EXPECT_EQ(size, 8u);
    std::memset(buffer, 'z', size);
  });
  EXPECT_EQ(text.view(), "zzzzzzz");
  ExpectTerminated(text);

  text.FillWith([](char* buffer, std::size_t) { std::memcpy(buffer, "ab\0cd", 6); });
  EXPECT_EQ(text.view(), "ab");
  ExpectTerminated(text);

  text.FillWith([](char*, std::size_t) {});  // writes nothing: the old text stays, terminated
  EXPECT_EQ(text.view(), "ab");
  ExpectTerminated(text);
}

}  // namespace
}  // namespace qv
