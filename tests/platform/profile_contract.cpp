#include "tests/platform/profile_contract.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>

namespace qv::testing {

using namespace std::string_literals;

void ProfileContract::SetUp() { target_ = MakeProfileTarget(); }

void ProfileContract::TearDown() {
  std::error_code ignored;
  for (const std::string& name : names_) std::filesystem::remove(target_->PathOf(name), ignored);
}

std::string ProfileContract::NewName() {
  std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  for (char& c : test) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  names_.push_back("pc_" + test + "_" + std::to_string(names_.size()) + ".ini");
  return names_.back();
}

std::string ProfileContract::FileWith(std::string_view bytes) {
  std::string name = NewName();
  std::ofstream(target_->PathOf(name), std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return name;
}

std::optional<std::string> ProfileContract::ReadRaw(const std::string& name) const {
  std::ifstream in(target_->PathOf(name), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ProfileContract::ReadOf(const std::string& file, std::string_view section,
                                    std::string_view key, std::string_view defaultValue) {
  return store().ReadString(section, key, defaultValue, file).str();
}

void ProfileContract::ExpectReads(const std::string& file, const std::vector<Read>& reads) {
  for (const Read& read : reads) {
    SCOPED_TRACE("[" + std::string(read.section) + "] " + read.key);
    EXPECT_EQ(ReadOf(file, read.section, read.key), read.expected);
  }
}

namespace {

std::string Quoted(std::string inner, char quote = '"') { return quote + inner + quote; }

std::string Key(std::size_t i) { return "K" + std::to_string(i); }

// What is handed over or stands in the file, and what a read gives back.
template <class Read = std::string>
struct Given {
  std::string given;
  Read read;
};

// A section [S] with one line Key(i)=given for each case.
template <class Cases>
std::string KeyedLines(const Cases& cases) {
  std::string bytes = "[S]\n";
  for (std::size_t i = 0; i < std::size(cases); ++i) bytes += Key(i) + "=" + cases[i].given + "\n";
  return bytes;
}

}  // namespace

// --- Reading -------------------------------------------------------------

TEST_F(ProfileContract, MissingFileSectionOrKeyGivesTheDefault) {
  const std::string file = FileWith("[Sec]\nKey=value\n");
  const std::string absent = NewName();
  ExpectReads(file,
              {{"Sec", "Key", "value"}, {"Sec", "Nope", kDefault}, {"Nope", "Key", kDefault}});
  EXPECT_EQ(ReadOf(absent, "Sec", "Key"), kDefault);
  EXPECT_EQ(store().ReadInt("Sec", "Nope", -5, file), -5);
  EXPECT_EQ(store().ReadInt("Nope", "Key", 77, file), 77);
  EXPECT_EQ(store().ReadInt("Sec", "Key", 3, absent), 3);
  EXPECT_FALSE(ReadRaw(absent)) << "reading must not create the file";
}

TEST_F(ProfileContract, TheDefaultLosesTrailingSpacesAndQuotes) {
  const std::string file = FileWith("[Sec]\n");
  const Given<> cases[] = {
      {"def  ", "def"},     {"tab\t", "tab\t"} /* spaces only */, {"  lead", "  lead"},
      {"   ", " "} /* the first character always stays */,     {"", ""},
      {Quoted("qd"), "qd"}, {Quoted("qd") + "  ", "qd"},        {Quoted("single", '\''), "single"},
      {" " + Quoted("a"), " " + Quoted("a")},                  {"\"", "\""},
      {std::string(300, 'z'), std::string(255, 'z')},
      {Quoted(std::string(255, 'q')), std::string(254, 'q')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("default '" + c.given + "'");
    EXPECT_EQ(ReadOf(file, "Sec", "Missing", c.given), c.read);
  }
}

// A file that cannot be opened at all gives the default as it was handed
// over (trailing spaces gone, quotes kept), and cannot be written.
TEST_F(ProfileContract, EmptyFileNameAndMissingDirectory) {
  const std::string inMissingDirectory = (PathOf("pc_absent_directory") / NewName()).string();
  for (const std::string& file : {std::string(), inMissingDirectory}) {
    SCOPED_TRACE("file '" + file + "'");
    EXPECT_EQ(ReadOf(file, "Sec", "Key", Quoted("qd") + "  "), Quoted("qd"));
    EXPECT_EQ(store().ReadInt("Sec", "Key", 12, file), 12);
    EXPECT_FALSE(store().WriteString("Sec", "Key", "v", file));
    EXPECT_EQ(ReadOf(file, "Sec", "Key"), kDefault);
  }
}

TEST_F(ProfileContract, NamesIgnoreAsciiCaseAndSurroundingWhiteSpace) {
  const std::string file = FileWith(
      "top=above\n"
      "[Sec]\nKey1=one\n"
      "[ Spaced ]\nK=spaced\n"
      "[T] trailing\nK=t\n"
      "[a]b]\nK=last bracket\n"
      "[Caf\xE9]\nK=cafe\n");
  ExpectReads(file, {{"sec", "KEY1", "one"},          {" Sec\t", "  key1 ", "one"},
                     {"Spaced", "k", "spaced"},        {"T", "K", "t"},
                     {"T] trailing", "K", kDefault},   {"a]b", "K", "last bracket"},
                     {"a", "K", kDefault},             {"Caf\xE9", "k", "cafe"},
                     {"CAF\xC9", "K", kDefault} /* only ASCII letters fold */,
                     {"", "top", "above"}});
}

TEST_F(ProfileContract, WhiteSpaceIsTabToCarriageReturnSpaceAndCtrlZ) {
  const struct {
    char c;
    bool isSpace;
  } cases[] = {{'\t', true},    {'\v', true},    {'\f', true},    {'\x1A', true}, {' ', true},
               {'\x1B', false}, {'\x1C', false}, {'\x1F', false}, {'\x85', false}, {'\xA0', false}};
  std::string bytes = "[S]\n";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string c(1, cases[i].c);
    bytes += c + "V" + std::to_string(i) + c + "=" + c + "v" + c + "\n";
  }
  const std::string file = FileWith(bytes);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string c(1, cases[i].c);
    SCOPED_TRACE("character " + std::to_string(static_cast<unsigned char>(cases[i].c)));
    const std::string key = "V" + std::to_string(i);
    if (cases[i].isSpace) {
      EXPECT_EQ(ReadOf(file, "S", key), "v");
    } else {
      EXPECT_EQ(ReadOf(file, "S", key), kDefault);
      EXPECT_EQ(ReadOf(file, "S", c + key + c), c + "v" + c);
    }
  }
}

// A value loses its surrounding white space and one pair of quotes; it is
// cut to 255 characters, and with quotes the cut comes first and the
// closing quote is dropped after, so "<255 characters>" loses one of them.
TEST_F(ProfileContract, ValuesAreTrimmedUnquotedAndCutAt255Characters) {
  const Given<> cases[] = {
      {"  value one  ", "value one"}, {"a=b", "a=b"},     {"", ""},
      {" \t ", ""},                   {"\"", "\""},       {"\xE9t\xA0", "\xE9t\xA0"},
      {Quoted("quoted"), "quoted"},    {Quoted(""), ""},   {Quoted("single", '\''), "single"},
      {Quoted("a") + " ", "a"},        {Quoted(" spaced "), " spaced "},
      {"\"unbalanced", "\"unbalanced"}, {"'mixed\"", "'mixed\""},
      {"\"a\" \"b\"", "a\" \"b"},     {"x\"inner\"", "x\"inner\""},
      {std::string(255, 'p'), std::string(255, 'p')},
      {std::string(256, 'p'), std::string(255, 'p')},
      {std::string(300, 'p'), std::string(255, 'p')},
      {Quoted(std::string(253, 'c')), std::string(253, 'c')},
      {Quoted(std::string(254, 'c')), std::string(254, 'c')},
      {Quoted(std::string(255, 'a')), std::string(254, 'a')},
      {Quoted(std::string(256, 'a')), std::string(255, 'a')},
      {Quoted(std::string(300, 'b')), std::string(255, 'b')},
  };
  const std::string file = FileWith(KeyedLines(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("value '" + cases[i].given + "'");
    EXPECT_EQ(ReadOf(file, "S", Key(i)), cases[i].read);
  }
}

// No comment syntax, no multi-valued keys: the first line of a key wins even
// when it has no '=', and only the first section of a name is ever searched.
TEST_F(ProfileContract, CommentsLinesWithoutEqualsAndDuplicates) {
  const std::string file = FileWith(
      "[Sec]\nno equals here\n; comment=5\nKey=first\nKey=second\n=novalkey\nHidden\nHidden=5\n"
      "[U\nAfterU=u\n"
      "[Other]\nX=1\n"
      "[sec]\nKey5=second section\n"
      "[Sec]\nKey6=third section\n");
  ExpectReads(file, {{"Sec", "no equals here", kDefault}, {"Sec", "; comment", "5"},
                     {"Sec", "Key", "first"},              {"Sec", "", "novalkey"},
                     {"Sec", "  ", "novalkey"},            {"Sec", "Hidden", kDefault},
                     {"Sec", "[U", kDefault},              {"Sec", "AfterU", "u"},
                     {"Other", "X", "1"},                  {"Sec", "Key5", kDefault},
                     {"Sec", "Key6", kDefault}});
}

// Any CR or LF ends a line, including a lone CR in the middle of an LF file.
TEST_F(ProfileContract, LineEndings) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"LF", "[S]\nA=1\nB=2\n"},                 {"CRLF", "[S]\r\nA=1\r\nB=2\r\n"},
      {"CR only", "[S]\rA=1\rB=2\r"},            {"no final break", "[S]\nA=1\nB=2"},
      {"mixed", "[S]\r\nA=1\nB=2\r"},            {"lone CR inside LF", "[S]\rA=1\rB=2\n"},
      {"lone CR within a line", "[S]\nA=1\rB=2\nC=3\n"},
      {"blank lines", "\n\r\n[S]\n\n\nA=1\r\n\r\nB=2\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = FileWith(c.bytes);
    EXPECT_EQ(ReadOf(file, "S", "A"), "1");
    EXPECT_EQ(ReadOf(file, "S", "B"), "2");
  }
}

TEST_F(ProfileContract, NulEndsANameOrAValueAndByteOrderMarkIsSkipped) {
  const std::string withNul = FileWith(
      "[S]\nK=a\0b\nNext=n\nM\0ey=m\n\0Lost=x\n[S2\0junk]\nB=1\n"s);
  ExpectReads(withNul, {{"S", "K", "a"},
                        {"S", "Next", "n"},
                        {"S", "M", "m"},
                        {"S", "Lost", kDefault},
                        {"S2", "B", "1"}});
  const std::string withBom = FileWith("\xEF\xBB\xBF[S]\r\nK=v\r\n");
  EXPECT_EQ(ReadOf(withBom, "S", "K"), "v");
}

// The value is read into 30 characters (29 seen), then parsed in wrapping
// 32-bit arithmetic with optional 0b/0o/0x prefixes; no digits is 0.
TEST_F(ProfileContract, ReadIntParsesLikeKernel32) {
  const Given<int> cases[] = {
      {"  42", 42},   {"-7", -7},         {"+9", 9},         {"12abc", 12}, {"abc", 0},
      {"0x10", 16},   {"-0x10", -16},     {"0xffffffff", -1}, {"0b101", 5},  {"0o17", 15},
      {"007", 7},     {"0X1f", 0},        {"0x", 0},         {"0b2", 0},    {"  -  5", 0},
      {"- 3", 0},     {"3 4", 3},         {"4294967295", -1}, {"\"", 0},     {Quoted("17"), 17},
      {"99999999999", 1215752191},        {"2147483648", -2147483647 - 1},
      {"-2147483649", 2147483647},        {Quoted(" 12"), 12},
      {"12345678901234567890123456789012345", 1849262357},
      {Quoted(std::string(28, '1')), 1461481927},
  };
  const std::string file = FileWith(KeyedLines(cases) + "Empty=\nQuotedEmpty=\"\"\n");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("value '" + cases[i].given + "'");
    EXPECT_EQ(store().ReadInt("S", Key(i), -99, file), cases[i].read);
  }
  EXPECT_EQ(store().ReadInt("S", "Empty", -99, file), -99);
  EXPECT_EQ(store().ReadInt("S", "QuotedEmpty", -99, file), -99);
  EXPECT_EQ(store().ReadInt(" s ", " k0 ", -99, file), 42);
}

// --- Writing -------------------------------------------------------------

TEST_F(ProfileContract, WriteReplacesOneEntryAndKeepsTheOthers) {
  const struct {
    const char* name;
    const char* lineBreak;
  } endings[] = {{"LF", "\n"}, {"CRLF", "\r\n"}, {"CR", "\r"}};
  for (const auto& ending : endings) {
    SCOPED_TRACE(ending.name);
    std::string bytes =
        "top=t|[First]|; note|  A = 1  ||B=\"two\"|Odd line|[Second]|A=other|C=3";
    for (std::size_t at = bytes.find('|'); at != std::string::npos; at = bytes.find('|', at)) {
      bytes.replace(at, 1, ending.lineBreak);
    }
    const std::string file = FileWith(bytes);
    EXPECT_TRUE(store().WriteString("First", "A", "one", file));
    EXPECT_TRUE(store().WriteString("First", "New", "n", file));
    EXPECT_TRUE(store().WriteString("Second", "C", "", file));
    EXPECT_TRUE(store().WriteString("Third", "Z", "z", file));
    ExpectReads(file, {{"", "top", "t"},          {"First", "; note", kDefault},
                       {"First", "A", "one"},     {"First", "B", "two"},
                       {"First", "New", "n"},     {"First", "Odd line", kDefault},
                       {"Second", "A", "other"},  {"Second", "C", ""},
                       {"Third", "Z", "z"}});
  }
}

// The first write creates the file; a key of an earlier section joins that
// section after another has been added.
TEST_F(ProfileContract, WritesCreateTheFileAndReadBackAsReadsSeeThem) {
  const Given<> cases[] = {
      {"plain", "plain"}, {"", ""},       {"   ", ""},          {" \t lead", "lead"},
      {"trail  ", "trail"}, {"a=b", "a=b"}, {Quoted("q"), "q"}, {"\xE9t\xA0", "\xE9t\xA0"},
      {std::string(300, 'w'), std::string(255, 'w')},
  };
  const std::string file = NewName();
  ASSERT_FALSE(ReadRaw(file));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_TRUE(store().WriteString("S", Key(i), cases[i].given, file));
  }
  EXPECT_TRUE(store().WriteString("Other", "Number", "42", file));
  EXPECT_TRUE(store().WriteString("S", "Later", "2", file));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("written '" + cases[i].given + "'");
    EXPECT_EQ(ReadOf(file, "S", Key(i)), cases[i].read);
  }
  ExpectReads(file, {{"S", "Later", "2"}, {"Other", "Number", "42"}, {"Other", "Later", kDefault}});
  EXPECT_EQ(store().ReadInt("Other", "Number", 0, file), 42);
  EXPECT_EQ(store().ReadInt("S", "K1", 8, file), 8) << "an empty value reads as missing";
  const std::optional<std::string> raw = ReadRaw(file);
  ASSERT_TRUE(raw);
  EXPECT_NE(raw->find("K0=plain"), std::string::npos) << *raw;
  EXPECT_NE(raw->find("K3=lead"), std::string::npos) << "leading white space is not written";
}

// Names are trimmed and matched without regard to case; the file keeps the
// spelling it has, and a write goes to the first section and key of a name.
TEST_F(ProfileContract, WriteTrimsNamesAndGoesToTheFirstSectionAndKey) {
  const std::string file = FileWith("[Sec]\nKey=old\nA=1\nA=dup\nHidden\n[sec]\nB=2\nC=3\n");
  EXPECT_TRUE(store().WriteString("SEC", "KEY", "new", file));
  EXPECT_TRUE(store().WriteString("  New Sec ", " Fresh Key\t", "x", file));
  EXPECT_TRUE(store().WriteString("Sec", "A", "changed", file));
  EXPECT_TRUE(store().WriteString("SEC", "B", "new", file));
  EXPECT_TRUE(store().WriteString("Sec", "Hidden", "shown", file));
  ExpectReads(file, {{"Sec", "Key", "new"}, {"New Sec", "Fresh Key", "x"}, {"Sec", "A", "changed"},
                     {"Sec", "B", "new"}, {"Sec", "C", kDefault}, {"Sec", "Hidden", "shown"}});
  const std::string raw = ReadRaw(file).value_or("");
  EXPECT_NE(raw.find("Key=new"), std::string::npos) << raw;
  EXPECT_NE(raw.find("[Sec]"), std::string::npos) << raw;
  EXPECT_EQ(raw.find("KEY"), std::string::npos) << raw;
  EXPECT_EQ(raw.find("SEC"), std::string::npos) << raw;
  EXPECT_NE(raw.find("B=2"), std::string::npos) << "the second section stays as it was: " << raw;
}

TEST_F(ProfileContract, WriteOfTheValueAlreadyThereLeavesTheFileAlone) {
  const std::string bytes = "[S]\n  A = 1 \nB=\n\n; x\nC=a\0b"s;
  const std::string file = FileWith(bytes);
  EXPECT_TRUE(store().WriteString("S", "A", "1", file));
  EXPECT_TRUE(store().WriteString("s", "a", " \t1", file));
  EXPECT_TRUE(store().WriteString("S", "B", "", file));
  EXPECT_TRUE(store().WriteString("S", "C", "a", file));
  EXPECT_EQ(ReadRaw(file), bytes);
}

// A batch is its writes in order: a later entry of the same key wins, the
// rest of the file stays.
TEST_F(ProfileContract, ABatchWritesEveryEntryInOrder) {
  const std::string file = FileWith("[Sec]\nKept=1\nKey=old\n");
  const ProfileEntry entries[] = {{"Sec", "Key", "first"}, {"New", "Number", "7"},
                                  {"Sec", "Key", "second"}, {"Sec", "Empty", ""}};
  EXPECT_TRUE(store().WriteStrings(entries, file));
  ExpectReads(file, {{"Sec", "Kept", "1"}, {"Sec", "Key", "second"}, {"New", "Number", "7"},
                     {"Sec", "Empty", ""}});
}

}  // namespace qv::testing
