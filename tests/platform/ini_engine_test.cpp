// The linux profile engine beyond the shared contract: the file is kept byte
// for byte apart from the one line written, writes replace the file whole or
// not at all, files live where the user's configuration lives, and a batch
// of entries is one replacement under a lock that another process waits for.
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "platform/posix/file_io.h"
#include "platform/posix/ini_document.h"
#include "platform/posix/ini_profile_store.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;
using posix::IniDocument;
using posix::IniProfileStore;
using namespace std::string_literals;

struct stat StatOf(const fs::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info;
}

mode_t ModeOf(const fs::path& path) { return StatOf(path).st_mode & 07777; }

// What a read gives back for a written value: no white space around it.
std::string Trimmed(std::string_view value) {
  const std::size_t first = value.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  return std::string(value.substr(first, value.find_last_not_of(" \t") - first + 1));
}

class IniEngine : public ::testing::Test {
 protected:
  TempDir dir_;
  IniProfileStore store_{dir_.path()};
};

TEST_F(IniEngine, AWriteChangesOnlyItsOwnLine) {
  const struct {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    std::string value;
    std::string after;
  } cases[] = {
      {"replace keeps comments, blank lines and spacing",
       "; head\n\n[Sec]\n  Key  =\t old value  \n# other\n\nNext = 2\n", "Sec", "Key", "new",
       "; head\n\n[Sec]\n  Key  =\t new\n# other\n\nNext = 2\n"},
      {"a CRLF file stays CRLF", "[Sec]\r\nA=1\r\nB=2\r\n", "sec", "a", "x",
       "[Sec]\r\nA=x\r\nB=2\r\n"},
      {"the line keeps its own ending", "[S]\nK=old   \r\nL=1\n", "S", "K", "new",
       "[S]\nK=new\r\nL=1\n"},
      {"an empty value keeps the spacing after '='", "[S]\nK =   \nL=1\n", "S", "K", "v",
       "[S]\nK =   v\nL=1\n"},
      {"a line without '=' gets one", "[S]\n  Hidden  \n", "S", "hidden", "v",
       "[S]\n  Hidden=v\n"},
      {"leading white space of the value goes, trailing stays", "[S]\nK=1\n", "S", "K",
       " \tv  ", "[S]\nK=v  \n"},
      {"odd and binary lines untouched", "[S]\n[U\nweird\x1A line\n\xFF\xFE\0bin\nK=1\n"s, "S",
       "K", "2", "[S]\n[U\nweird\x1A line\n\xFF\xFE\0bin\nK=2\n"s},
      {"a new key follows the section's last non-blank line",
       "[Sec]\r\nA=1\r\n\r\n[Next]\r\nC=3\r\n", "Sec", "B", "2",
       "[Sec]\r\nA=1\r\nB=2\r\n\r\n[Next]\r\nC=3\r\n"},
      {"a new key in the first of two sections", "[S]\nA=1\n\n[S]\nB=2\n", "s", "C", "3",
       "[S]\nA=1\nC=3\n\n[S]\nB=2\n"},
      {"a new key after a last line without break", "[Sec]\nA=1", "Sec", "B", "2",
       "[Sec]\nA=1\nB=2"},
      {"a new key after a header on the last line without break", "[S]", "S", "k", "v", "[S]\nk=v"},
      {"the same in a CRLF file", "[R]\r\nA=1\r\n[S]", "S", "k", "v", "[R]\r\nA=1\r\n[S]\r\nk=v"},
      {"a new key in a CR-only file", "[S]\rA=1\r", "S", "B", "2", "[S]\rA=1\rB=2\r"},
      {"a new key above the first section", "; c\n[S]\nA=1\n", "", "top", "t",
       "; c\ntop=t\n[S]\nA=1\n"},
      {"a new key after the byte order mark", "\xEF\xBB\xBF[S]\nA=1\n", " ", "top", "t",
       "\xEF\xBB\xBFtop=t\n[S]\nA=1\n"},
      {"a new section after a last line without break", "[Sec]\nA=1", "New", "K", "v",
       "[Sec]\nA=1\n[New]\nK=v\n"},
      {"a new section in a CRLF file", "[Sec]\r\nA=1\r\n", "New", "K", "v",
       "[Sec]\r\nA=1\r\n[New]\r\nK=v\r\n"},
      {"a new section in an empty file, names trimmed", "", "  New\t", " K ", "v",
       "[New]\nK=v\n"},
      {"a section name with ']' reads back", "", "a]b", "K", "v", "[a]b]\nK=v\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(dir_ / "edit.ini", c.before);
    ASSERT_TRUE(store_.WriteString(c.section, c.key, c.value, "edit.ini"));
    EXPECT_EQ(ReadFileBytes(dir_ / "edit.ini"), c.after);
    EXPECT_EQ(store_.ReadString(c.section, c.key, "-", "edit.ini").str(), Trimmed(c.value));
  }
}

// Line breaks in what is written would split the entry into others (kernel32
// writes them raw); so would '=' in a key, and a key opening with '[' could
// become a section header. The store refuses and leaves the file alone, and
// a batch holding such an entry is refused whole.
TEST_F(IniEngine, RefusesWhatWouldSplitTheEntry) {
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"S", "K", "a\nb=2"}, {"S", "K", "a\rb"},   {"S", "K", "a\r\n"},  {"S\n[T]", "K", "v"},
      {"S\rT", "K", "v"},   {"S", "K\nL", "v"},   {"S", "K=L", "v"},    {"S", "[K]", "v"},
      // A byte order mark is skipped at the top of a file: a key opening
      // with one could not be read back, and could pose as a header there.
      {"", "\xEF\xBB\xBFK", "v"}, {"", "\xEF\xBB\xBF[S]", "v"}, {"S", " \xEF\xBB\xBFK", "v"},
  };
  const std::string original = "[S]\nK=old\n";
  WriteFileBytes(dir_ / "kept.ini", original);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key + "/" + c.value);
    EXPECT_FALSE(store_.WriteString(c.section, c.key, c.value, "kept.ini"));
    EXPECT_FALSE(store_.WriteString(c.section, c.key, c.value, "absent.ini"));
    const ProfileEntry batch[] = {{"S", "K", "new"}, {c.section, c.key, c.value}};
    EXPECT_FALSE(store_.WriteStrings(batch, "kept.ini"));
  }
  EXPECT_EQ(ReadFileBytes(dir_ / "kept.ini"), original);
  EXPECT_EQ(EntriesOf(dir_.path()), std::set<std::string>{"kept.ini"});
}

TEST_F(IniEngine, AWriteReplacesTheFileRatherThanWritingIntoIt) {
  const fs::path file = dir_ / "p.ini";
  WriteFileBytes(file, "[S]\nA=1\n");
  // Another name for the same inode sees in-place writes but not a rename.
  ASSERT_EQ(::link(file.c_str(), (dir_ / "old.lnk").c_str()), 0);
  ASSERT_TRUE(store_.WriteString("S", "A", "2", "p.ini"));
  EXPECT_EQ(ReadFileBytes(file), "[S]\nA=2\n");
  EXPECT_EQ(ReadFileBytes(dir_ / "old.lnk"), "[S]\nA=1\n");
  EXPECT_EQ(EntriesOf(dir_.path()), (std::set<std::string>{"old.lnk", "p.ini", ".p.ini.lock"}));

  const ino_t before = StatOf(file).st_ino;
  EXPECT_TRUE(store_.WriteString("S", "A", "2", "p.ini"));
  EXPECT_EQ(StatOf(file).st_ino, before) << "a write that changes nothing rewrote the file";
}

TEST_F(IniEngine, AWriteKeepsPermissionsAndSymbolicLinks) {
  const fs::path file = dir_ / "private.ini";
  WriteFileBytes(file, "[S]\nA=1\n");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(store_.WriteString("S", "A", "2", "private.ini"));
  EXPECT_EQ(ModeOf(file), 0640u);

  const mode_t oldMask = ::umask(077);
  const bool wrote = store_.WriteString("S", "A", "1", "fresh.ini");
  ::umask(oldMask);
  ASSERT_TRUE(wrote);
  EXPECT_EQ(ModeOf(dir_ / "fresh.ini"), 0644u);

  fs::create_directory(dir_ / "real");
  WriteFileBytes(dir_ / "real" / "target.ini", "[S]\nA=1\n");
  fs::create_symlink(dir_ / "real" / "target.ini", dir_ / "linked.ini");
  ASSERT_TRUE(store_.WriteString("S", "A", "via link", "linked.ini"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "linked.ini"));
  EXPECT_EQ(ReadFileBytes(dir_ / "real" / "target.ini"), "[S]\nA=via link\n");

  // A link (through a link) to a file not made yet makes it.
  fs::create_symlink("real/hop.ini", dir_ / "dangling.ini");
  fs::create_symlink("later.ini", dir_ / "real" / "hop.ini");
  ASSERT_TRUE(store_.WriteString("S", "A", "new", "dangling.ini"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.ini"));
  EXPECT_EQ(ReadFileBytes(dir_ / "real" / "later.ini"), "[S]\nA=new\n");
}

// A bare name is a file of the store's directory, made (private) on the
// first write, never on a read; a name with a slash is a path, whose
// directory is never made.
TEST_F(IniEngine, TheDirectoryIsMadeOnWriteNeverOnReadAndANameWithASlashIsAPath) {
  const fs::path home = dir_ / "a" / "b" / "qv27-518";
  IniProfileStore store(home);
  EXPECT_EQ(store.ReadString("S", "K", "\"d\"", "p.ini").str(), "d");
  EXPECT_EQ(store.ReadInt("S", "K", 4, "p.ini"), 4);
  EXPECT_FALSE(store.WriteString("S", "K", "bad\n", "p.ini"));
  EXPECT_FALSE(store.WriteString("S", "K", "v", (dir_ / "c" / "y.ini").string()));
  EXPECT_FALSE(fs::exists(dir_ / "a"));
  EXPECT_FALSE(fs::exists(dir_ / "c"));

  fs::create_directory(dir_ / "elsewhere");
  const std::string path = (dir_ / "elsewhere" / "p.ini").string();
  ASSERT_TRUE(store.WriteString("S", "K", "there", path));
  ASSERT_TRUE(store.WriteString("S", "K", "here", "p.ini"));
  EXPECT_EQ(ReadFileBytes(path), "[S]\nK=there\n");
  EXPECT_EQ(ReadFileBytes(home / "p.ini"), "[S]\nK=here\n");
  EXPECT_EQ(store.ReadString("S", "K", "", path).str(), "there");
  for (const fs::path& made : {dir_ / "a", dir_ / "a" / "b", home}) {
    SCOPED_TRACE(made.string());
    EXPECT_EQ(ModeOf(made), 0700u);
  }
}

// Sets or unsets an environment variable for one scope.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~EnvVar() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(IniEngineDefaultDirectory, FollowsXdgConfigHomeThenHome) {
  const passwd* user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  const std::string fromPasswd = std::string(user->pw_dir) + "/.config/qv27-518";
  const struct {
    const char* xdg;
    const char* home;
    std::string expected;
  } cases[] = {
      {"/x/cfg", "/h", "/x/cfg/qv27-518"}, {"relative/cfg", "/h", "/h/.config/qv27-518"},
      {"", "/h", "/h/.config/qv27-518"},   {nullptr, "/h", "/h/.config/qv27-518"},
      {nullptr, nullptr, fromPasswd},      {nullptr, "", fromPasswd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("XDG_CONFIG_HOME=") + (c.xdg ? c.xdg : "(unset)") +
                 " HOME=" + (c.home ? c.home : "(unset)"));
    const EnvVar xdg("XDG_CONFIG_HOME", c.xdg);
    const EnvVar home("HOME", c.home);
    EXPECT_EQ(IniProfileStore::DefaultDirectory(), fs::path(c.expected));
  }
}

TEST_F(IniEngine, AHugeFileIsReadAndEditedInPlaceOfItsLastEntry) {
  std::string big = "[Big]\n";
  for (int i = 0; big.size() < (8u << 20); ++i) {
    big += "Line" + std::to_string(i) + "=" + std::string(60, 'x') + "\n";
  }
  const std::string tail = "[End]\nLast=found\n";
  WriteFileBytes(dir_ / "huge.ini", big + tail);
  EXPECT_EQ(store_.ReadString("End", "Last", "", "huge.ini").str(), "found");
  EXPECT_EQ(store_.ReadString("Big", "Line0", "", "huge.ini").str(), std::string(60, 'x'));
  ASSERT_TRUE(store_.WriteString("End", "Last", "changed", "huge.ini"));
  EXPECT_EQ(ReadFileBytes(dir_ / "huge.ini"), big + "[End]\nLast=changed\n");

  const std::string longLine = "[S]\nK=" + std::string(4u << 20, 'v');
  WriteFileBytes(dir_ / "long.ini", longLine);
  EXPECT_EQ(store_.ReadString("S", "K", "", "long.ini").str(), std::string(255, 'v'));
}

// Every cut of a file, and random bytes heavy in the characters the parser
// looks at, read without harm; a write then reads back and keeps the old bytes
// in front of the section it appends.
TEST_F(IniEngine, TruncatedAndBinaryFilesAreHandled) {
  const std::string whole = "\xEF\xBB\xBF[Sec]\r\nKey = \"value\"\r\n[Two]\nA=1\rB";
  std::vector<std::string> files;
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) files.push_back(whole.substr(0, cut));
  std::mt19937 random(518);
  const std::string alphabet = "[]=\n\r\0 \t\x1A\"'\xEF\xBB\xBF\xFF" "abK"s;
  for (int i = 0; i < 60; ++i) {
    std::string bytes(random() % 400, '\0');
    for (char& c : bytes) c = alphabet[random() % alphabet.size()];
    files.push_back(bytes);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE("file " + std::to_string(i));
    const std::string name = "bin" + std::to_string(i) + ".ini";
    WriteFileBytes(dir_ / name, files[i]);
    store_.ReadString("Sec", "Key", "", name);
    store_.ReadString("", "", "", name);
    store_.ReadInt("Two", "A", 0, name);
    ASSERT_TRUE(store_.WriteString("Probe Section", "Probe", "written", name));
    EXPECT_EQ(store_.ReadString("Probe Section", "Probe", "", name).str(), "written");
    EXPECT_TRUE(ReadFileBytes(dir_ / name).starts_with(files[i]));
  }
}

// A full disk as the kernel gives it (a short write, then EFBIG), made by a
// file size limit in a child process; the fault suite injects the same. The
// write that would grow the file fails, the old file stays byte for byte and
// no temporary file is left behind. The child reports through its exit status.
TEST_F(IniEngine, AFullDiskLeavesTheOldFileWhole) {
  const std::string original = "[S]\nA=1\n; keep me\n" + std::string(1000, ';') + "\n";
  WriteFileBytes(dir_ / "p.ini", original);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
    int status = 0;
    if (store_.WriteString("S", "Big", std::string(8000, 'x'), "p.ini")) status |= 1;
    if (!store_.WriteString("S", "Small", "fits", "small.ini")) status |= 2;
    ::_exit(status);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "the write beyond the limit reported success";
  EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "a write within the limit failed";
  EXPECT_NE(WEXITSTATUS(status), 10) << "setrlimit failed";
  EXPECT_EQ(ReadFileBytes(dir_ / "p.ini"), original);
  EXPECT_EQ(EntriesOf(dir_.path()), (std::set<std::string>{"p.ini", ".p.ini.lock", "small.ini", ".small.ini.lock"}));
}

// What is no regular file, or a file beyond what the store will read (a
// sparse one costs no disk), counts as unreadable: the raw default, no write.
TEST_F(IniEngine, WhatIsNoRegularFileOrTooLargeIsNeitherReadNorWritten) {
  ASSERT_EQ(::mkfifo((dir_ / "fifo.ini").c_str(), 0600), 0);
  fs::create_directory(dir_ / "dir.ini");
  WriteFileBytes(dir_ / "vast.ini", "");
  fs::resize_file(dir_ / "vast.ini", std::uintmax_t{65} << 20);
  for (const char* name : {"fifo.ini", "dir.ini", "vast.ini"}) {
    SCOPED_TRACE(name);
    // A FIFO opened for reading would wait for a writer forever.
    EXPECT_EQ(store_.ReadString("S", "K", "\"d\"", name).str(), "\"d\"");
    EXPECT_EQ(store_.ReadInt("S", "K", 6, name), 6);
    EXPECT_FALSE(store_.WriteString("S", "K", "v", name));
  }
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo.ini"));
  EXPECT_TRUE(fs::is_directory(dir_ / "dir.ini"));
}

// What one Set of instance `who` writes on its round: the shared entries
// carry the same mark, and its own counter says how far it got.
void SetOnce(IniProfileStore& store, const std::string& who, int round) {
  const std::string mark = who + "-" + std::to_string(round);
  const std::string count = std::to_string(round);
  const ProfileEntry entries[] = {{"Configuration", "Mode", mark},
                                  {"Printer Alias", "Printer1", mark},
                                  {"Printer Alias", "Printer2", mark},
                                  {"Rounds", who, count}};
  store.WriteStrings(entries, "QV27-518.ini");
}

TEST_F(IniEngine, TwoProcessesSettingAtOnceNeverMixTheirEntries) {
  constexpr int kRounds = 150;
  pid_t children[2];
  const char* names[2] = {"one", "two"};
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      IniProfileStore store(dir_.path());
      for (int round = 1; round <= kRounds; ++round) SetOnce(store, names[c], round);
      ::_exit(0);
    }
  }
  // Snapshots of the file while both write: each is one Set's whole.
  int snapshots = 0;
  int running = 2;
  while (running > 0) {
    const IniDocument file(ReadFileBytes(dir_ / "QV27-518.ini"));
    const auto mode = file.Find("Configuration", "Mode");
    if (mode) {
      ++snapshots;
      EXPECT_EQ(file.Find("Printer Alias", "Printer1"), mode);
      EXPECT_EQ(file.Find("Printer Alias", "Printer2"), mode);
    }
    for (int c = 0; c < 2; ++c) {
      int status = 0;
      if (children[c] > 0 && ::waitpid(children[c], &status, WNOHANG) == children[c]) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        children[c] = 0;
        --running;
      }
    }
  }
  EXPECT_GT(snapshots, 0);
  // Neither undid the other: each one's last round is there.
  for (const char* who : names) EXPECT_EQ(store_.ReadInt("Rounds", who, 0, "QV27-518.ini"), kRounds) << who;
}

// Only the names that a write of this file makes go; another file's, and
// names of another shape, stay.
TEST_F(IniEngine, TheNextWriteRemovesTheTemporaryFileOfAKilledOne) {
  for (const char* name : {".p.ini.Ab12Cd", ".p.ini.zzzzzz", ".p.ini.keep", ".p.ini.Ab12Cd7", ".q.ini.Ab12Cd",
                           "p.ini.Ab12Cd"}) {
    WriteFileBytes(dir_ / name, "left over");
  }
  fs::create_directory(dir_ / ".p.ini.folder");
  const ProfileEntry entry{"S", "A", "1"};
  ASSERT_TRUE(store_.WriteStrings({&entry, 1}, "p.ini"));
  EXPECT_EQ(EntriesOf(dir_.path()),
            (std::set<std::string>{"p.ini", ".p.ini.lock", ".p.ini.keep", ".p.ini.Ab12Cd7", ".q.ini.Ab12Cd",
                                   "p.ini.Ab12Cd", ".p.ini.folder"}));
  EXPECT_TRUE(posix::IsTemporaryNameFor("x/p.ini", ".p.ini.Ab12Cd"));
}

}  // namespace
}  // namespace qv::testing
