// FixedText's own promises, which every caller inherits: never more than
// its capacity, always terminated, cuts reported, refusals without effect.
#include "base/fixed_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

namespace qv {
namespace {

using namespace std::string_literals;

// The text, and the buffer ends at its NUL whatever went before: c_str()
// and view() agree.
template <std::size_t N>
void ExpectText(const FixedText<N>& text, std::string_view expected) {
  EXPECT_EQ(text.view(), expected);
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
    ExpectText(text, c.taken ? c.text : "before");  // a refusal leaves the text as it was
  }
}

TEST(FixedText, AssignCutsAtCapacityOrAtANul) {
  FixedText<4> text;
  text.Assign("abcdef");
  ExpectText(text, "abc");
  text.Assign("x\0yz"s);
  ExpectText(text, "x");
}

TEST(FixedText, AppendReportsACutAndStaysTerminated) {
  FixedText<6> text("ab");
  EXPECT_TRUE(text.Append("cd"));
  ExpectText(text, "abcd");
  EXPECT_FALSE(text.Append("efg")) << "only 'e' fits";
  ExpectText(text, "abcde");
  EXPECT_FALSE(text.Append("h"));
  ExpectText(text, "abcde");
  EXPECT_TRUE(text.Append("")) << "nothing to cut";
}

TEST(FixedText, FillWithStopsAtTheFirstNulAndNeverPastTheBuffer) {
  FixedText<8> text;
  // A platform call that fills the whole buffer and leaves no NUL.
  text.FillWith([](char* buffer, std::size_t size) {
    EXPECT_EQ(size, 8u);
    std::memset(buffer, 'z', size);
  });
  ExpectText(text, "zzzzzzz");
  text.FillWith([](char* buffer, std::size_t) { std::memcpy(buffer, "ab\0cd", 6); });
  ExpectText(text, "ab");
  text.FillWith([](char*, std::size_t) {});  // writes nothing: the old text stays, terminated
  ExpectText(text, "ab");
}

}  // namespace
}  // namespace qv
