// The linux profile engine when a write is cut short: killed at every step
// of replacing the file, with any one step failing (a full disk, a
// read-only directory, an I/O error), or with a write that takes only part
// of the data. The file is always the old one or the
// new one, whole, and a failure that leaves the old one is reported.
//
// The steps are the calls the engine makes to replace a file; this program
// defines them itself, ahead of the C library, counts them, and can make
// one of them fail or kill the process just before it.
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/ini_profile_store.h"
#include "tests/support/temp_dir.h"

namespace {

// kShort: the write at the step takes half the bytes; kShortThenFail: and
// the next write fails, as on a disk that fills up.
enum class Fault { kNone, kFail, kKill, kShort, kShortThenFail };

// What happens at the step numbered `at` (from 1) while armed.
struct Injection {
  bool armed = false;
  Fault fault = Fault::kNone;
  int at = 0;
  int errorNumber = EIO;
  std::vector<std::string> steps;  // the steps seen while armed, in order
};
Injection injection;

// Counts a step; true when it is to fail (errno set), and never returns
// when the process is to die there.
bool Inject(const char* step) {
  if (!injection.armed) return false;
  injection.steps.emplace_back(step);
  const int at = static_cast<int>(injection.steps.size());
  const bool afterShort = injection.fault == Fault::kShortThenFail && at == injection.at + 1 &&
                          std::string(step) == "write";
  if (at == injection.at && injection.fault == Fault::kKill) ::kill(::getpid(), SIGKILL);
  if (!afterShort && (at != injection.at || injection.fault != Fault::kFail)) return false;
  errno = injection.errorNumber;
  return true;
}

bool Shortened() {
  return injection.armed && static_cast<int>(injection.steps.size()) == injection.at &&
         (injection.fault == Fault::kShort || injection.fault == Fault::kShortThenFail);
}

template <class F>
F* Real(const char* name) {
  return reinterpret_cast<F*>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {
int mkostemp(char* pattern, int flags) {
  if (Inject("mkostemp")) return -1;
  return Real<int(char*, int)>("mkostemp")(pattern, flags);
}
ssize_t write(int fd, const void* buffer, size_t size) {
  if (Inject("write")) return -1;
  if (Shortened() && size > 1) size /= 2;
  return Real<ssize_t(int, const void*, size_t)>("write")(fd, buffer, size);
}
int fchmod(int fd, mode_t mode) noexcept {
  if (Inject("fchmod")) return -1;
  return Real<int(int, mode_t)>("fchmod")(fd, mode);
}
int fsync(int fd) {
  if (Inject("fsync")) return -1;
  return Real<int(int)>("fsync")(fd);
}
int close(int fd) {
  // A failed close has closed the descriptor all the same.
  const bool fail = Inject("close");
  const int result = Real<int(int)>("close")(fd);
  if (fail) errno = injection.errorNumber;
  return fail ? -1 : result;
}
int rename(const char* from, const char* to) noexcept {
  if (Inject("rename")) return -1;
  return Real<int(const char*, const char*)>("rename")(from, to);
}
}

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "[S]\nA=1\n; the user's own line\n" + std::string(50, ';') + "\n";
const std::string kNew = "[S]\nA=2\n; the user's own line\n" + std::string(50, ';') + "\n";

class IniFaults : public ::testing::Test {
 protected:
  // A fresh old file, nothing else in the directory.
  void Reset() {
    for (const auto& entry : fs::directory_iterator(dir_.path())) fs::remove_all(entry.path());
    WriteFileBytes(dir_ / "p.ini", kOld);
  }
  bool Write(Fault fault = Fault::kNone, int at = 0, int errorNumber = EIO) {
    injection = Injection{true, fault, at, errorNumber, {}};
    const bool written = store_.WriteString("S", "A", "2", "p.ini");
    injection.armed = false;
    return written;
  }
  // The steps of one undisturbed write, which are those of a replacement:
  // the file read is closed first, then the temporary file is made, and its
  // data is synced before the rename.
  std::vector<std::string> Steps() {
    Reset();
    EXPECT_TRUE(Write());
    EXPECT_EQ(ReadFileBytes(dir_ / "p.ini"), kNew);
    const std::vector<std::string>& steps = injection.steps;
    const auto rename = std::find(steps.begin(), steps.end(), "rename");
    EXPECT_TRUE(steps.size() >= 7 && steps[0] == "close" && steps[1] == "mkostemp" &&
                rename != steps.end() && std::find(steps.begin(), rename, "fsync") != rename)
        << ::testing::PrintToString(steps);
    return steps;
  }
  // The number (from 1) of the first step called `name`.
  static int StepOf(const std::vector<std::string>& steps, const char* name) {
    return static_cast<int>(std::find(steps.begin(), steps.end(), name) - steps.begin()) + 1;
  }

  TempDir dir_;
  posix::IniProfileStore store_{dir_.path()};
};

// Killed just before each step, and once after the last: the file is the old
// one until the rename, the new one from then on, and never anything else.
// A later write works and clears what the killed one left.
TEST_F(IniFaults, AWriteKilledAtAnyStepLeavesTheOldOrTheNewFile) {
  const std::vector<std::string> steps = Steps();
  const int renameAt = StepOf(steps, "rename");
  for (int at = 1; at <= static_cast<int>(steps.size()) + 1; ++at) {
    SCOPED_TRACE("killed before step " + std::to_string(at));
    Reset();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(Write(Fault::kKill, at) ? 0 : 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const bool lastStep = at > static_cast<int>(steps.size());
    EXPECT_EQ(WIFSIGNALED(status), !lastStep);
    EXPECT_EQ(ReadFileBytes(dir_ / "p.ini"), at <= renameAt ? kOld : kNew);
    EXPECT_TRUE(store_.WriteString("S", "A", "3", "p.ini"));
    EXPECT_EQ(store_.ReadString("S", "A", "", "p.ini").str(), "3");
    EXPECT_EQ(EntriesOf(dir_.path()), (std::set<std::string>{"p.ini", ".p.ini.lock"}));
  }
}

// One step fails: from the temporary file to the rename, the write is
// reported as failed and the old file stays, with no temporary file left.
// Before it (closing the file read) and after it (syncing the directory)
// nothing is lost, and the new file is in place.
TEST_F(IniFaults, AFailedStepLeavesTheOldFileAndIsReported) {
  const std::vector<std::string> steps = Steps();
  const int renameAt = StepOf(steps, "rename");
  for (const int errorNumber : {EIO, ENOSPC, EDQUOT}) {
    for (int at = 1; at <= static_cast<int>(steps.size()); ++at) {
      SCOPED_TRACE(steps[at - 1] + " fails with errno " + std::to_string(errorNumber));
      Reset();
      const bool written = Write(Fault::kFail, at, errorNumber);
      EXPECT_EQ(written, at == 1 || at > renameAt);
      EXPECT_EQ(ReadFileBytes(dir_ / "p.ini"), written ? kNew : kOld);
      // The lock file beside it stays for the next write.
      EXPECT_EQ(EntriesOf(dir_.path()), (std::set<std::string>{"p.ini", ".p.ini.lock"}));
    }
  }
}

// A full disk as the kernel reports it: a write takes part of the data, and
// the next one fails. The rest of a short write is written on.
TEST_F(IniFaults, AShortWriteIsCarriedOnAndAFailureAfterItLeavesTheOldFile) {
  const int writeAt = StepOf(Steps(), "write");
  for (const Fault fault : {Fault::kShort, Fault::kShortThenFail}) {
    SCOPED_TRACE(fault == Fault::kShort ? "short write" : "short write, then no space");
    Reset();
    const bool written = Write(fault, writeAt, ENOSPC);
    EXPECT_EQ(written, fault == Fault::kShort);
    EXPECT_EQ(ReadFileBytes(dir_ / "p.ini"), written ? kNew : kOld);
    EXPECT_EQ(EntriesOf(dir_.path()), (std::set<std::string>{"p.ini", ".p.ini.lock"}));
  }
}

// A directory the user cannot write to: the temporary file cannot be made.
// Root writes anywhere, so there the refusal is injected where the system
// would give it.
TEST_F(IniFaults, AReadOnlyDirectoryLeavesTheOldFile) {
  const int makeTemporaryAt = StepOf(Steps(), "mkostemp");
  for (const int errorNumber : {EACCES, EROFS}) {
    SCOPED_TRACE(errorNumber);
    Reset();
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0500), 0);
    const bool root = ::geteuid() == 0;
    const bool written = Write(root ? Fault::kFail : Fault::kNone, makeTemporaryAt, errorNumber);
    ::chmod(dir_.path().c_str(), 0700);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(dir_ / "p.ini"), kOld);
    EXPECT_EQ(store_.ReadString("S", "A", "", "p.ini").str(), "1");
    // Only root can make the lock file there.
    std::set<std::string> entries = EntriesOf(dir_.path());
    entries.erase(".p.ini.lock");
    EXPECT_EQ(entries, std::set<std::string>{"p.ini"});
  }
}

}  // namespace
}  // namespace qv::testing
