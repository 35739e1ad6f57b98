// Splitting a command line by the Windows C runtime's rules: the cases of
// its documentation, and the program name's own rule.
#include <gtest/gtest.h>

#include "platform/posix/command_line_split.h"

namespace qv::posix {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
  const struct {
    const char* line;
    Args argv;
  } cases[] = {
      {"", {}},
      {" \t ", {}},
      {"prog", {"prog"}},
      {"  prog  a\tb  ", {"prog", "a", "b"}},
      // The rules' documented examples, after a program name.
      {R"(p "a b c" d e)", {"p", "a b c", "d", "e"}},
      {R"(p "ab\"c" "\\" d)", {"p", R"(ab"c)", R"(\)", "d"}},
      {R"(p a\\\b d"e f"g h)", {"p", R"(a\\\b)", "de fg", "h"}},
      {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
      {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
      {R"(p a"b"" c d)", {"p", R"(ab" c d)"}},
      // Empty quoted arguments survive; an open quote runs to the end.
      {R"(p "" x)", {"p", "", "x"}},
      {R"(p "unclosed  tail)", {"p", "unclosed  tail"}},
      {R"(p trailing\)", {"p", R"(trailing\)"}},
      // The program name: quotes group, backslashes stay as they are.
      {R"("C:\Program Files\ft.exe" /s)", {R"(C:\Program Files\ft.exe)", "/s"}},
      {R"(C:\dir\\"x y"z w)", {R"(C:\dir\\x yz)", "w"}},
      {R"(/usr/bin/ft --name="my file")", {"/usr/bin/ft", "--name=my file"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommandLine(c.line), c.argv);
  }
}

// An unquoted program name with blanks is the whole line when that is a
// program, else the shortest run of words that is one; a line with no such
// run is split as above.
TEST(SplitCommandLine, AnUnquotedProgramWithBlanksIsTheWholeLineOrTheShortestRunThatIsAProgram) {
  const auto isProgram = [](const std::string& path) {
    for (const char* program : {"/opt/my tools/ft", "/opt/my tools/ft x", "/bin/ls", "/home/u/my", "/home/u/my prog",
                                "/home/u/my prog x"})
      if (path == program) return true;
    return false;
  };
  const struct {
    const char* line;
    Args argv;
  } cases[] = {
      {"/opt/my tools/ft", {"/opt/my tools/ft"}},
      {R"(  /opt/my tools/ft x \\host\\share "a b")", {"/opt/my tools/ft", "x", R"(\\host\\share)", "a b"}},
      {"/opt/my  tools/ft", {"/opt/my", "tools/ft"}},
      {R"(/opt/my "tools/ft")", {"/opt/my", "tools/ft"}},
      {R"("/opt/my" tools/ft)", {"/opt/my", "tools/ft"}},
      {"/bin/ls /opt/my tools/ft", {"/bin/ls", "/opt/my", "tools/ft"}},
      {"/nowhere/a b", {"/nowhere/a", "b"}},
      {"/home/u/my prog", {"/home/u/my prog"}},
      {"/home/u/my prog x", {"/home/u/my prog x"}},
      {"/home/u/my prog y", {"/home/u/my", "prog", "y"}},
      {"/home/u/my prog ", {"/home/u/my", "prog"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommandLine(c.line, isProgram), c.argv);
  }
}

}  // namespace
}  // namespace qv::posix
