// Batch writes of the linux profile engine: several entries as one
// replacement of the file, under a lock that another process's batch waits
// for, and the leftovers of a killed write cleared by the next one.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

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

// What one Set of instance `who` writes on its round: the shared entries
// carry the same mark, and its own counter says how far it got.
void SetOnce(IniProfileStore& store, const std::string& who, int round) {
  const std::string mark = who + "-" + std::to_string(round);
  const std::string count = std::to_string(round);
  const ProfileEntry entries[] = {
      {"Configuration", "Mode", mark},
      {"Printer Alias", "Printer1", mark},
      {"Printer Alias", "Printer2", mark},
      {"Rounds", who, count},
  };
  store.WriteStrings(entries, "QV27-518.ini");
}

TEST(IniBatch, TwoProcessesSettingAtOnceNeverMixTheirEntries) {
  TempDir dir;
  constexpr int kRounds = 150;
  pid_t children[2];
  const char* names[2] = {"one", "two"};
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      IniProfileStore store(dir.path());
      for (int round = 1; round <= kRounds; ++round) SetOnce(store, names[c], round);
      ::_exit(0);
    }
  }
  // Snapshots of the file while both write: each is one Set's whole.
  int snapshots = 0;
  int running = 2;
  while (running > 0) {
    const IniDocument file(ReadFileBytes(dir / "QV27-518.ini"));
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
  IniProfileStore store(dir.path());
  for (const char* who : names) EXPECT_EQ(store.ReadInt("Rounds", who, 0, "QV27-518.ini"), kRounds) << who;
}

TEST(IniBatch, OneEntryTheFileCannotHoldRefusesTheWholeBatch) {
  TempDir dir;
  WriteFileBytes(dir / "p.ini", "[S]\nA=1\n");
  IniProfileStore store(dir.path());
  const ProfileEntry entries[] = {{"S", "A", "2"}, {"S", "B", "line\nbreak"}};
  EXPECT_FALSE(store.WriteStrings(entries, "p.ini"));
  EXPECT_EQ(ReadFileBytes(dir / "p.ini"), "[S]\nA=1\n");
}

// Only the names that a write of this file makes go; another file's, and
// names of another shape, stay.
TEST(IniBatch, TheNextWriteRemovesTheTemporaryFileOfAKilledOne) {
  TempDir dir;
  for (const char* name : {".p.ini.Ab12Cd", ".p.ini.zzzzzz", ".p.ini.keep", ".p.ini.Ab12Cd7", ".q.ini.Ab12Cd",
                           "p.ini.Ab12Cd"}) {
    WriteFileBytes(dir / name, "left over");
  }
  fs::create_directory(dir / ".p.ini.folder");
  IniProfileStore store(dir.path());
  const ProfileEntry entry{"S", "A", "1"};
  ASSERT_TRUE(store.WriteStrings({&entry, 1}, "p.ini"));
  EXPECT_EQ(EntriesOf(dir.path()),
            (std::set<std::string>{"p.ini", ".p.ini.lock", ".p.ini.keep", ".p.ini.Ab12Cd7", ".q.ini.Ab12Cd",
                                   "p.ini.Ab12Cd", ".p.ini.folder"}));
  EXPECT_TRUE(posix::IsTemporaryNameFor("x/p.ini", ".p.ini.Ab12Cd"));
}

}  // namespace
}  // namespace qv::testing
