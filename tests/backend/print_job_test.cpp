// The job sequence of the backend against the kernel-like ppdev double:
// what reaches the port, in which order, and what CUPS is told.
#include "backend/print_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <sstream>

#include "backend/device_listing.h"
#include "platform/posix/ppdev_session.h"
#include "tests/support/kernel_like_ppdev.h"
#include "tests/support/service_doubles.h"

namespace qv::backend {
namespace {

using namespace std::chrono_literals;
using Calls = std::vector<std::string>;
using testing::CommandCalls;
using testing::KernelLikePpdev;

// The job's data as a filter writes it: `available` bytes so far. The
// filter's side channel is asked whether a request waits, as the real wait
// polls both.
class MemoryInput final : public JobInput {
 public:
  std::vector<std::uint8_t> data;
  std::size_t at = 0, available = SIZE_MAX;
  std::function<bool()> requestWaiting;
  bool Wait(bool block) override {
    const bool ready = available >= data.size() || at < available;
    if (!ready && block && !requestWaiting()) {
      ADD_FAILURE() << "the job waits for the filter's data while the filter waits for an answer";
      available = data.size();
    }
    return ready;
  }
  long Read(std::span<std::uint8_t> buffer) override {
    const std::size_t n = std::min(buffer.size(), std::min(available, data.size()) - at);
    std::copy_n(data.begin() + static_cast<long>(at), n, buffer.begin());
    at += n;
    return static_cast<long>(n);
  }
  bool Rewind() override {
    at = 0;
    return true;
  }
};

struct TestSignals final : JobSignals {
  bool cancelled = false;
  bool cancelWhenHeld = false;  // a cancel that arrives during the command
  std::function<std::size_t()> callCount;
  std::vector<std::size_t> holds;  // the number of port calls at each hold and release
  bool Cancelled() override { return cancelled; }
  void HoldBack(bool hold) override {
    holds.push_back(callCount());
    if (hold && cancelWhenHeld) cancelled = true;
  }
};

// The filters' end of the side channel: their requests in order, and each
// answer as "command status [byte] @ bytes the printer had by then".
struct FilterSideChannel final : SideChannel {
  std::deque<cups_sc_command_t> requests;
  int reads = 0;
  std::vector<std::string> replies;
  std::function<std::size_t()> printed;
  std::function<void(cups_sc_command_t)> onAnswer;
  cups_sc_command_t Next() override {
    ++reads;
    if (requests.empty()) return CUPS_SC_CMD_NONE;
    const cups_sc_command_t command = requests.front();
    requests.pop_front();
    return command;
  }
  void Answer(cups_sc_command_t command, const SideChannelAnswer& answer) override {
    std::string reply = std::to_string(command) + " " + std::to_string(answer.status);
    for (char byte : answer.data) reply += " [" + std::to_string(byte) + "]";
    replies.push_back(reply + " @ " + std::to_string(printed()));
    if (onAnswer) onAnswer(command);
  }
};

struct JobFixture : ::testing::Test {
  KernelLikePpdev kernel;
  KernelLikePpdev::Device& device = kernel.Add("/dev/parport0");
  testing::FakeClock clock;
  std::ostringstream messages;
  MemoryInput input;
  TestSignals signals;
  FilterSideChannel side;
  std::vector<std::chrono::milliseconds> sleeps;
  std::function<void()> onSleep;
  JobServices services{kernel, clock, messages, input, signals, side, [this](std::chrono::milliseconds pause) {
                         sleeps.push_back(pause);
                         if (onSleep) onSleep();
                       }};

  JobFixture() {
    signals.callCount = [this] { return kernel.Calls().size(); };
    input.requestWaiting = [this] { return !side.requests.empty(); };
    side.printed = [this] { return device.received.size(); };
    services.claimBound = 50ms;
    for (int i = 0; i < 150'000; ++i) input.data.push_back(static_cast<std::uint8_t>(i * 31 + i / 256));
  }
  int Run(std::string_view uri = "qv27-518:/dev/parport0?printer=A", int copies = 1) {
    return RunJob(*ParseDeviceUri(uri), copies, services);
  }
  // What one case of a table leaves behind, gone before the next.
  void Reset() {
    kernel.calls.clear();
    device.received.clear();
    messages.str("");
    sleeps.clear();
    signals.holds.clear();
    input.at = 0;
  }
  // The other job's session, holding the port's lock.
  std::unique_ptr<posix::PpdevSession> AnotherJob() {
    int error = 0;
    auto other = posix::PpdevSession::Open(kernel, "/dev/parport0", error);
    EXPECT_EQ(other->TryLock(), 0);
    return other;
  }
};

// Copies send the data again after the one command.
TEST_F(JobFixture, AJobIsLockClaimWholeCommandSettleDataReleaseClose) {
  const struct {
    const char* uri;
    int copies;
    const SwitchCommand& command;
    std::chrono::milliseconds settle;
  } cases[] = {{"qv27-518:/dev/parport0?printer=A", 1, switch_commands::kSelectA, 10ms},
               {"qv27-518:/dev/parport0?printer=B&settle=250", 1, switch_commands::kSelectB, 250ms},
               {"qv27-518:/dev/parport0?settle=0&printer=Broadcast", 1, switch_commands::kBroadcast, 0ms},
               {"qv27-518:/dev/parport0?printer=B", 3, switch_commands::kSelectB, 10ms}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.uri << ", " << c.copies << " copies");
    Reset();
    EXPECT_EQ(Run(c.uri, c.copies), kExitOk);
    const Calls calls = kernel.Calls();
    Calls expected{"open /dev/parport0", "try lock", "claim"};
    const Calls command = CommandCalls(c.command);
    expected.insert(expected.end(), command.begin(), command.end());
    ASSERT_GT(calls.size(), expected.size() + 2);
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"release", "close"}));
    std::vector<std::uint8_t> copies;
    for (int i = 0; i < c.copies; ++i) copies.insert(copies.end(), input.data.begin(), input.data.end());
    EXPECT_EQ(device.received, copies);
    // The cancel was held back for exactly the command.
    EXPECT_EQ(signals.holds, (std::vector<std::size_t>{3, 3 + command.size()}));
    EXPECT_EQ(sleeps, c.settle.count() ? std::vector{c.settle} : std::vector<std::chrono::milliseconds>{});
    EXPECT_EQ(messages.str(), "");
  }
}

TEST_F(JobFixture, ShortWritesAndStalledWritesLoseNoByteAndTellCupsWhy) {
  const struct {
    std::uint8_t status;
    const char* reason;
  } cases[] = {{0xFF, "media-empty-warning"}, {0xC7, "offline-report"}, {0xDF, "offline-report"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    Reset();
    device.status = c.status;
    device.writes = {1024, KernelLikePpdev::kNothing, KernelLikePpdev::kNothing, 3000, KernelLikePpdev::kFull};
    EXPECT_EQ(Run(), kExitOk);
    EXPECT_EQ(device.received, input.data);
    EXPECT_EQ(messages.str(), std::string("STATE: +") + c.reason + "\nSTATE: -" + c.reason + "\n");
  }
}

TEST_F(JobFixture, AJobWaitsForTheLockOfAnotherJobAndSaysSo) {
  auto other = AnotherJob();
  onSleep = [&] {
    if (sleeps.size() == 3) other.reset();
  };
  EXPECT_EQ(Run(), kExitOk);
  EXPECT_EQ(messages.str(), "INFO: Waiting for the switch\nINFO: The switch is free; printing\n");
  EXPECT_EQ(device.received, input.data);
  EXPECT_GT(side.reads, 3) << "the side channel is read while the job waits";
}

TEST_F(JobFixture, ACancelWhileWaitingForTheLockNeverTouchesThePort) {
  const auto other = AnotherJob();
  onSleep = [&] { signals.cancelled = true; };
  EXPECT_EQ(Run(), kExitOk);
  const Calls calls = kernel.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "claim"), 0);
  EXPECT_EQ(calls.back(), "close");
}

TEST_F(JobFixture, ACancelDuringTheCommandLetsItFinishAndSendsNoData) {
  signals.cancelWhenHeld = true;
  EXPECT_EQ(Run(), kExitOk);
  const Calls calls = kernel.Calls();
  EXPECT_EQ(Calls(calls.begin() + 3, calls.end() - 2), CommandCalls(switch_commands::kSelectA));
  EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"release", "close"}));
  EXPECT_TRUE(device.received.empty());
}

TEST_F(JobFixture, ACancelDuringTheDataEndsAfterTheCurrentWrite) {
  device.writes = {KernelLikePpdev::kFull, 1024};
  int writes = 0;
  kernel.duringWrite = [&] {
    if (++writes == 2) signals.cancelled = true;
  };
  EXPECT_EQ(Run(), kExitOk);
  const Calls calls = kernel.Calls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const auto& c) { return c.starts_with("write"); }), 2);
  EXPECT_EQ(device.received.size(), 64u * 1024 + 1024);
  EXPECT_EQ(calls.back(), "close");
}

TEST_F(JobFixture, APortThatCannotBeHadGivesTheExitCodeCupsActsOn) {
  const struct {
    const char* port;  // parport7 is not there
    std::function<void()> arrange;
    int code;
    const char* message;
  } cases[] = {
      {"7", [] {}, kExitRetry,
       "ERROR: There is no parallel port /dev/parport7 (is the ppdev module loaded?)\n"},
      {"0",
       [&] {
         device.permitted = false;
         device.group = "dialout";
       },
       kExitStop,
       "ERROR: The lp user may not open /dev/parport0; it belongs to the group \"dialout\", which lp is not in\n"},
      {"0",  // CUPS configured to run its backends as another user
       [&] {
         device.permitted = false;
         device.group = "lp";
         services.user = "cupsprint";
       },
       kExitStop,
       "ERROR: The cupsprint user may not open /dev/parport0; it belongs to the group \"lp\", which cupsprint is not in\n"},
      {"0", [&] { device.heldByDriver = true; }, kExitRetry,
       "ERROR: /dev/parport0 is held by another driver; the job will be tried again later\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    device = {};
    services.user = "lp";
    Reset();
    c.arrange();
    EXPECT_EQ(Run(std::string("qv27-518:/dev/parport") + c.port + "?printer=A"), c.code);
    EXPECT_EQ(messages.str(), c.message);
    EXPECT_TRUE(device.received.empty());
  }
}

TEST(DeviceUri, OnlyTheDocumentedFormIsAccepted) {
  const auto uri = ParseDeviceUri("qv27-518:/dev/parport12?settle=1000&printer=Broadcast");
  ASSERT_TRUE(uri);
  EXPECT_EQ(uri->device, "/dev/parport12");
  EXPECT_EQ(uri->printer, SwitchPrinter::kBroadcast);
  EXPECT_EQ(uri->settle, 1000ms);
  for (const char* bad :
       {"", "qv27-518:", "qv27-518:/dev/parport0", "qv27-518:/dev/parport0?", "qv27-518:/dev/parport?printer=A",
        "qv27-518:/dev/parport01?printer=A", "qv27-518:/dev/parport123?printer=A", "qv27-518:/dev/lp0?printer=A",
        "qv27-518:/dev/parport0/../sda?printer=A", "qv27-518://dev/parport0?printer=A",
        "QV27-518:/dev/parport0?printer=A", "qv27-518:/dev/parport0?printer=a", "qv27-518:/dev/parport0?printer=C",
        "qv27-518:/dev/parport0?printer=A&printer=B", "qv27-518:/dev/parport0?printer=A&settle=1001",
        "qv27-518:/dev/parport0?printer=A&settle=-1", "qv27-518:/dev/parport0?printer=A&settle=",
        "qv27-518:/dev/parport0?printer=A&settle=010", "qv27-518:/dev/parport0?printer=A&",
        "qv27-518:/dev/parport0?printer=A&copies=2", "qv27-518:/dev/parport0?printer=%41",
        "qv27-518:/dev/parport0?settle=5", "qv27-518:/dev/parport0?printer=A#x"}) {
    EXPECT_FALSE(ParseDeviceUri(bad)) << bad;
  }
}

TEST(DeviceListing, ThreeChoicesForEveryPortPresent) {
  KernelLikePpdev kernel;
  kernel.Add("/dev/parport0");
  kernel.Add("/dev/parport1");
  std::ostringstream out;
  ListDevices(kernel, out);
  EXPECT_EQ(out.str(),
            "direct qv27-518:/dev/parport0?printer=A \"Unknown\" \"Printer A on QV27-518 switch (LPT1)\" \"\" \"\"\n"
            "direct qv27-518:/dev/parport0?printer=B \"Unknown\" \"Printer B on QV27-518 switch (LPT1)\" \"\" \"\"\n"
            "direct qv27-518:/dev/parport0?printer=Broadcast \"Unknown\" "
            "\"Printers A and B at once on QV27-518 switch (LPT1)\" \"\" \"\"\n"
            "direct qv27-518:/dev/parport1?printer=A \"Unknown\" \"Printer A on QV27-518 switch (LPT2)\" \"\" \"\"\n"
            "direct qv27-518:/dev/parport1?printer=B \"Unknown\" \"Printer B on QV27-518 switch (LPT2)\" \"\" \"\"\n"
            "direct qv27-518:/dev/parport1?printer=Broadcast \"Unknown\" "
            "\"Printers A and B at once on QV27-518 switch (LPT2)\" \"\" \"\"\n");
}

// A filter asks before it writes anything, then drains after the first part
// of its data: each request is answered while the job waits for the filter,
// the drain only once that part is out of the port, though the printer
// stalls meanwhile.
TEST_F(JobFixture, FiltersAreAnsweredWhileTheJobWaitsAndADrainOnceTheDataIsOut) {
  input.available = 0;
  side.requests = {CUPS_SC_CMD_GET_BIDI, CUPS_SC_CMD_GET_CONNECTED, CUPS_SC_CMD_SOFT_RESET, CUPS_SC_CMD_GET_DEVICE_ID,
                   CUPS_SC_CMD_GET_STATE, CUPS_SC_CMD_SNMP_GET, CUPS_SC_CMD_SNMP_GET_NEXT};
  side.onAnswer = [&](cups_sc_command_t command) {
    if (command == CUPS_SC_CMD_SNMP_GET_NEXT) {
      input.available = 100'000;
      side.requests.push_back(CUPS_SC_CMD_DRAIN_OUTPUT);
    }
    if (command == CUPS_SC_CMD_DRAIN_OUTPUT) input.available = input.data.size();
  };
  device.writes = {1024, KernelLikePpdev::kNothing, KernelLikePpdev::kFull};
  EXPECT_EQ(Run(), kExitOk);
  EXPECT_EQ(device.received, input.data);
  auto reply = [](cups_sc_command_t command, cups_sc_status_t status, const char* rest = " @ 0") {
    return std::to_string(command) + " " + std::to_string(status) + rest;
  };
  const auto ok = CUPS_SC_STATUS_OK, notImplemented = CUPS_SC_STATUS_NOT_IMPLEMENTED;
  EXPECT_EQ(side.replies, (std::vector<std::string>{
                              reply(CUPS_SC_CMD_GET_BIDI, ok, " [0] @ 0"),  // CUPS_SC_BIDI_NOT_SUPPORTED
                              reply(CUPS_SC_CMD_GET_CONNECTED, ok, " [1] @ 0"),
                              reply(CUPS_SC_CMD_SOFT_RESET, notImplemented),
                              reply(CUPS_SC_CMD_GET_DEVICE_ID, notImplemented),
                              reply(CUPS_SC_CMD_GET_STATE, notImplemented),
                              reply(CUPS_SC_CMD_SNMP_GET, notImplemented),
                              reply(CUPS_SC_CMD_SNMP_GET_NEXT, notImplemented),
                              reply(CUPS_SC_CMD_DRAIN_OUTPUT, ok, " @ 100000"),
                          }));
}

}  // namespace
}  // namespace qv::backend
