// The built backend end to end: a private cupsd (scripts/print-server, its
// own folders and socket, FileDevice No) runs the tests' build of the
// backend from a backend folder of the test's own, as lp, on the port
// stand-in (tests/support/standin_ppdev_calls.h). The test takes the data
// from the stand-in's FIFO as a printer would, and reads what CUPS shows
// with lpstat. cupsd must run as root, as CI does.
#include <cups/sidechannel.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>

#include "tests/support/kernel_like_ppdev.h"
#include "tests/support/poll_until.h"
#include "tests/support/temp_dir.h"
#include "tests/support/throwaway_print_server.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;
using Server = ThrowawayPrintServer;

struct Event {
  long long ns;
  int pid;
  std::string call;
};

// Reads the stand-in's FIFO as the printer takes the data; can stop taking
// it, as a printer that is busy.
class PortReader {
 public:
  explicit PortReader(const fs::path& fifo) : fd_(open(fifo.c_str(), O_RDWR | O_CLOEXEC)) {
    thread_ = std::thread([this] {
      char buffer[65536];
      for (pollfd ready{fd_, POLLIN, 0}; !stop_;) {
        if (paused_) {
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } else if (poll(&ready, 1, 20) > 0) {
          const ssize_t got = read(fd_, buffer, sizeof buffer);
          std::lock_guard lock(mutex_);
          if (got > 0) data_.append(buffer, static_cast<std::size_t>(got));
        }
      }
    });
  }
  ~PortReader() {
    stop_ = true;
    thread_.join();
    close(fd_);
  }
  std::string Data() {
    std::lock_guard lock(mutex_);
    return data_;
  }
  void Pause(bool paused) { paused_ = paused; }

 private:
  int fd_;
  std::atomic<bool> stop_{false}, paused_{false};
  std::mutex mutex_;
  std::string data_;
  std::thread thread_;
};

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// What `command` shows contains `text`.
bool Shows(const std::string& command, const std::string& text) {
  return Server::Output(command).find(text) != std::string::npos;
}

class CupsdBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "cupsd runs its backends as lp only when started as root";
    const auto everyone = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec;
    fs::create_directories(port_);
    fs::create_directories(bin_ / "backend");
    fs::create_directories(bin_ / "filter");
    // CUPS runs backends and filters that are root's and not writable by
    // others as lp.
    fs::copy_file(QV_STANDIN_BACKEND, bin_ / "backend/qv27-518");
    fs::copy_file(QV_PROBE_FILTER, bin_ / "filter/qv27-518-probe");
    for (const fs::path& path : {dir_.path(), port_, bin_, bin_ / "backend", bin_ / "backend/qv27-518",
                                 bin_ / "filter", bin_ / "filter/qv27-518-probe"})
      fs::permissions(path, everyone);
    WriteFileBytes(port_ / "events", "");
    fs::permissions(port_ / "events", fs::perms::all);
    ASSERT_EQ(mkfifo((port_ / "parport0").c_str(), 0666), 0);
    chmod((port_ / "parport0").c_str(), 0666);
    server_ = std::make_unique<Server>(
        PrintServerOptions{false, bin_, {"QV_PORT_STANDIN=" + port_.string()}});
    if (!server_->problem().empty()) GTEST_SKIP() << server_->problem();
    reader_ = std::make_unique<PortReader>(port_ / "parport0");
    for (const char* printer : {"A", "B"})
      ASSERT_TRUE(Admin(std::string("-p ") + printer + " -E -v 'qv27-518:/dev/parport0?printer=" + printer + "'"));
  }
  static bool Admin(const std::string& arguments) {
    return std::system(("lpadmin " + arguments + " >/dev/null 2>&1").c_str()) == 0;
  }
  std::string Submit(const std::string& printer, const std::string& bytes, const std::string& options = "") {
    const fs::path file = dir_ / ("job" + std::to_string(jobs_++));
    WriteFileBytes(file, bytes);
    fs::permissions(file, fs::perms::owner_all | fs::perms::others_read);
    const std::string out = Server::Output("lp -d " + printer + " " + options + " " + file.string() + " 2>&1");
    const auto id = out.find(printer + "-");
    return id == std::string::npos ? out : out.substr(id, out.find(' ', id) - id);
  }
  static bool NothingPending() { return Server::Output("lpstat -o").empty(); }
  // The port's events, of every backend or of one.
  std::vector<Event> Events(int pid = 0) {
    std::vector<Event> events;
    std::istringstream in(ReadFileBytes(port_ / "events"));
    for (Event e; in >> e.ns >> e.pid && std::getline(in >> std::ws, e.call);)
      if (pid == 0 || e.pid == pid) events.push_back(e);
    return events;
  }
  // The backends that made `call`, in order, once for each time.
  std::vector<int> Backends(const std::string& call = "open") {
    std::vector<int> pids;
    for (const Event& e : Events())
      if (e.call.starts_with(call)) pids.push_back(e.pid);
    return pids;
  }
  std::size_t Closes() { return Backends("close").size(); }

  // One backend's job as the port saw it: the lock, the claim, the whole
  // command with a millisecond after every data byte, the settle time, the
  // data, the release.
  void ExpectJob(int pid, const SwitchCommand& command) {
    const std::vector<Event> events = Events(pid);
    std::vector<std::string> expected{"open /dev/parport0", "lock", "claim"}, calls;
    for (const std::string& call : CommandCalls(command)) expected.push_back(call);
    for (const Event& e : events) calls.push_back(e.call);
    const std::size_t data = expected.size();  // the first write of the data
    ASSERT_GT(calls.size(), data + 2);
    EXPECT_EQ(std::vector(calls.begin(), calls.begin() + static_cast<long>(data)), expected);
    for (std::size_t i = 3; i < data; ++i) {
      if (!calls[i].starts_with("data ")) continue;
      EXPECT_GE(events[i + 1].ns - events[i].ns, 1'000'000) << "the pause after call " << i;
    }
    EXPECT_TRUE(calls[data].starts_with("write ")) << calls[data];
    EXPECT_GE(events[data].ns - events[data - 1].ns, 10'000'000) << "the settle time";
    EXPECT_EQ(calls.end()[-2], "release");
    EXPECT_EQ(calls.back(), "close");
  }

  TempDir dir_;
  fs::path port_ = dir_ / "port", bin_ = dir_ / "bin";
  std::unique_ptr<Server> server_;
  std::unique_ptr<PortReader> reader_;  // gone before the server
  int jobs_ = 0;
};

// Each job is its printer's select command, then its bytes, and completes;
// B's two copies on a queue without a filter are its data twice after one command.
TEST_F(CupsdBackend, JobsOnAAndBAtOnceAreEachWholeOneAfterTheOtherWithTheirCopies) {
  const std::string a = RandomBytes(2'000'000, 2), b = RandomBytes(2'000'000, 3);
  // The printer takes nothing until both backends run at the same moment.
  reader_->Pause(true);
  Submit("A", a);
  Submit("B", b, "-n 2");
  ASSERT_TRUE(PollUntil([&] { return Backends().size() == 2; }));
  reader_->Pause(false);
  ASSERT_TRUE(PollUntil(
      [&] { return NothingPending() && Closes() == 2 && reader_->Data().size() >= 6'000'000; }));
  const std::vector<int> pids = Backends();
  ASSERT_EQ(pids.size(), 2u);
  // Both started at once; the second waited for the lock.
  const std::vector<Event> events = Events();
  auto at = [&](int pid, const std::string& call) {
    for (std::size_t i = 0; i < events.size(); ++i)
      if (events[i].pid == pid && events[i].call == call) return i;
    return events.size();
  };
  const int first = at(pids[0], "claim") < at(pids[1], "claim") ? pids[0] : pids[1];
  const int second = first == pids[0] ? pids[1] : pids[0];
  EXPECT_LT(at(first, "close"), at(second, "lock")) << "the second job took the port only after the first";
  const bool aFirst = Events(first).at(22).call == "data 80";  // the last byte of A's command
  ExpectJob(first, aFirst ? switch_commands::kSelectA : switch_commands::kSelectB);
  ExpectJob(second, aFirst ? switch_commands::kSelectB : switch_commands::kSelectA);
  EXPECT_EQ(reader_->Data(), aFirst ? a + b + b : b + b + a);
  for (const std::string printer : {"A", "B"})
    EXPECT_TRUE(Shows("lpstat -W completed -o " + printer, printer + "-")) << printer;
}

TEST_F(CupsdBackend, ACancelDuringTheDataEndsTheJobAfterAWholeCommand) {
  reader_->Pause(true);  // the printer takes nothing: the data stalls
  const std::string data = RandomBytes(3'000'000, 5);
  const std::string job = Submit("A", data);
  ASSERT_TRUE(PollUntil([&] {
    const auto events = Events();
    return !events.empty() && events.back().call.rfind("write", 0) == 0;
  }));
  ASSERT_EQ(std::system(("cancel " + job).c_str()), 0);
  ASSERT_TRUE(PollUntil([&] { return Closes() == 1; }));
  reader_->Pause(false);
  ASSERT_TRUE(PollUntil([&] { return NothingPending(); }));
  ExpectJob(Backends().at(0), switch_commands::kSelectA);
  const std::string seen = reader_->Data();
  EXPECT_LT(seen.size(), data.size());
  EXPECT_EQ(seen, data.substr(0, seen.size()));
  // cupsd marks the job canceled at once but records why only once it has
  // reaped the backend, a moment after the port was closed.
  EXPECT_TRUE(PollUntil([] { return Shows("lpstat -l -W completed -o A", "job-canceled-by-user"); }))
      << Server::Output("lpstat -l -W completed -o A");
}

// A queue whose driver's filter asks the backend on CUPS's side channel
// (tests/backend/probe_filter_main.cpp) before its first byte, and then a
// drain after the first half of the job, each time waiting for the answer:
// the backend answers while it waits for the filter's data.
TEST_F(CupsdBackend, AFilterIsAnsweredOnTheSideChannelWhileTheBackendWaitsForItsData) {
  const fs::path ppd = dir_ / "probe.ppd";
  WriteFileBytes(ppd, "*PPD-Adobe: \"4.3\"\n*ModelName: \"Probe\"\n*NickName: \"Probe\"\n"
                      "*cupsFilter: \"text/plain 0 qv27-518-probe\"\n");
  ASSERT_TRUE(Admin("-p F -E -v 'qv27-518:/dev/parport0?printer=A' -P " + ppd.string()));
  std::string text;
  for (int line = 0; text.size() < 400'000; ++line) text += "line " + std::to_string(line) + "\n";
  Submit("F", text, "-o document-format=text/plain");
  ASSERT_TRUE(PollUntil([&] { return NothingPending() && Closes() == 1; }))
      << Server::Output("lpstat -l -W all -o; lpstat -l -p");
  ExpectJob(Backends().at(0), switch_commands::kSelectA);

  const std::string seen = reader_->Data(), half = text.substr(0, text.size() / 2);
  auto answer = [](int status, const char* data = "") { return std::to_string(status) + data + "\n"; };
  const std::string head = "bidi " + answer(CUPS_SC_STATUS_OK, " 0") + "connected " +
                           answer(CUPS_SC_STATUS_OK, " 1") + "device-id " +
                           answer(CUPS_SC_STATUS_NOT_IMPLEMENTED),
                    drain = "drain " + answer(CUPS_SC_STATUS_OK);
  ASSERT_EQ(seen.substr(0, head.size()), head);
  EXPECT_EQ(seen.substr(head.size() + half.size(), drain.size()), drain);
  EXPECT_TRUE(seen == head + half + drain + text.substr(half.size())) << "the job's data, whole and in order";

  // A message that is no request is let go, and the next is answered.
  Submit("F", text, "-o document-format=text/plain -o qv-garbage=yes");
  ASSERT_TRUE(PollUntil([&] { return NothingPending() && Closes() == 2; }));
  const std::string connected = "connected " + answer(CUPS_SC_STATUS_OK, " 1");
  EXPECT_EQ(reader_->Data().substr(seen.size(), connected.size()), connected);
  EXPECT_TRUE(reader_->Data().substr(seen.size()).ends_with(text));
}

// The exit codes as CUPS acts on them: a device that lp may not open stops
// its queue, naming the group; a device that is not there holds the job.
TEST_F(CupsdBackend, ADeviceThatLpMayNotOpenStopsTheQueueAndNoDeviceHoldsTheJob) {
  ASSERT_EQ(mkfifo((port_ / "parport1").c_str(), 0660), 0);
  const group* dialout = getgrnam("dialout");
  ASSERT_NE(dialout, nullptr);
  ASSERT_EQ(chown((port_ / "parport1").c_str(), 0, dialout->gr_gid), 0);
  ASSERT_TRUE(Admin("-p N -E -v 'qv27-518:/dev/parport1?printer=A'"));
  ASSERT_TRUE(Admin("-p M -E -v 'qv27-518:/dev/parport5?printer=B'"));
  Submit("N", "page");
  Submit("M", "page");
  ASSERT_TRUE(PollUntil([] {
    return Shows("lpstat -p N", "disabled") && Shows("lpstat -l -o M", "resources-are-not-ready");
  }));
  EXPECT_TRUE(Shows("lpstat -p N",
                    "The lp user may not open /dev/parport1; it belongs to the group \"dialout\""));
  EXPECT_TRUE(Shows("lpstat -o N", "N-")) << "the job waits for the queue";
  EXPECT_TRUE(Shows("lpstat -l -o M", "There is no parallel port /dev/parport5"));
  EXPECT_TRUE(Shows("lpstat -p M", "enabled")) << "the queue itself goes on";
}

// Without arguments: the choices of every port present; the installed
// backend finds none on this machine.
TEST(BackendListing, TheInstalledBackendListsNothingWithoutAPortAndTheStandInItsPorts) {
  EXPECT_EQ(ThrowawayPrintServer::Output(QV_BACKEND), "");
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "parport0").c_str(), 0600), 0);
  const std::string listed =
      ThrowawayPrintServer::Output("QV_PORT_STANDIN=" + dir.path().string() + " " + QV_STANDIN_BACKEND);
  EXPECT_EQ(listed.substr(0, listed.find('\n')),
            "direct qv27-518:/dev/parport0?printer=A \"Unknown\" \"Printer A on QV27-518 switch (LPT1)\" \"\" \"\"");
  EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 3);
}

}  // namespace
}  // namespace qv::testing
