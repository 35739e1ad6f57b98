// The linux launcher against real processes: a helper program writes the
// argv it was given, and /proc shows whether any child of this test is left
// over, running or as a zombie. The launcher does not wait, so the tests
// poll for the outcome, with a generous bound that only a fault reaches.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/posix/spawn_launcher.h"
#include "tests/support/poll_until.h"
#include "tests/support/temp_dir.h"

namespace qv::posix {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using testing::PollUntil;

// The file's bytes, or nothing when it cannot be read: a process's /proc
// entry may vanish between listing and reading it (an ifstream would throw
// from its read error then).
std::string ReadProcFile(const fs::path& path) {
  std::string bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return bytes;
  char chunk[512];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got <= 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return bytes;
}

// The processes whose parent is this test, with their state letters.
std::vector<std::string> OwnChildren() {
  std::vector<std::string> children;
  const std::string self = std::to_string(getpid());
  std::error_code error;
  for (fs::directory_iterator entry("/proc", error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = ReadProcFile(entry->path() / "stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos) continue;
    // After the command in parentheses: state, then the parent's pid.
    char state = 0;
    long parent = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %ld", &state, &parent) != 2) continue;
    if (std::to_string(parent) == self) children.push_back(name + " " + state);
  }
  return children;
}

struct LauncherFixture : ::testing::Test {
  testing::TempDir dir;
  fs::path output = dir / "argv";
  SpawnLauncher launcher;

  void SetUp() override {
    fs::create_directories(dir / "with blank");
    for (const char* name : {"with blank/argv writer", "argvwriter", "my", "my prog"})
      fs::copy_file(QV_ARGV_WRITER, dir / name);
    setenv("QV_ARGV_FILE", output.c_str(), 1);
    setenv("PATH", (dir.path().string() + ":" + path).c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QV_ARGV_FILE");
    setenv("PATH", path.c_str(), 1);
  }
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";

  // The arguments that the started helper wrote, without its pid.
  Args Received() {
    if (!PollUntil([&] { return fs::exists(output); })) return {"(the program did not run)"};
    const std::string bytes = testing::ReadFileBytes(output);
    fs::remove(output);
    Args fields;
    for (std::size_t at = 0; at < bytes.size();) {
      const auto end = bytes.find('\0', at);
      fields.push_back(bytes.substr(at, end - at));
      at = end + 1;
    }
    return Args(fields.begin() + 1, fields.end());
  }
};

TEST_F(LauncherFixture, ArgumentsArriveAsTheWindowsRulesSplitThemAndNoChildIsLeft) {
  const std::string blank = (dir / "with blank" / "argv writer").string();
  const std::string plain = (dir / "argvwriter").string();
  const struct {
    std::string line;
    Args argv;
  } cases[] = {
      {"\"" + blank + "\" \"two words\" back\\slash \"say \\\"hi\\\"\" \"\" $HOME;x|y",
       {blank, "two words", "back\\slash", "say \"hi\"", "", "$HOME;x|y"}},
      {plain, {plain}},
      {blank + " unquoted \"after all\"", {blank, "unquoted", "after all"}},
      // The whole line names a program: not "my" with the argument "prog".
      {(dir / "my prog").string(), {(dir / "my prog").string()}},
      {(dir / "my prog").string() + " x", {(dir / "my").string(), "prog", "x"}},
      {"  " + plain + "\t'single quotes' `x`  ", {plain, "'single", "quotes'", "`x`"}},
      // A program without a slash is found on the path.
      {"argvwriter one", {"argvwriter", "one"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    launcher.Start(c.line);
    EXPECT_EQ(Received(), c.argv);
  }
  EXPECT_TRUE(PollUntil([] { return OwnChildren().empty(); })) << ::testing::PrintToString(OwnChildren());
}

TEST_F(LauncherFixture, WhatCannotBeStartedIsReportedNowhereAndLeavesNoChild) {
  fs::path notExecutable = dir / "plain file";
  testing::WriteFileBytes(notExecutable, "#!/bin/sh\n");
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  for (const std::string& line : std::vector<std::string>{"", "   ", "\"\" x", "/no/such/program x", "qv-no-such-program-here",
                                 "\"" + notExecutable.string() + "\"", dir.path().string()})
    launcher.Start(line);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(PollUntil([] { return OwnChildren().empty(); })) << ::testing::PrintToString(OwnChildren());
  EXPECT_FALSE(fs::exists(output));
}

}  // namespace
}  // namespace qv::posix
