// The ppdev switch port: the exact kernel calls of each command, recorded
// through a double of the call layer, and the real calls on this machine,
// which has no parallel port.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "platform/posix/ppdev_switch_port.h"
#include "setting/switch_command.h"
#include "tests/support/service_doubles.h"

namespace qv::posix {
namespace {

using Calls = std::vector<std::string>;

std::string Hex(std::uint8_t value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

// Records every call with the tick count at which it happened; answers
// with the errors that a test sets.
class RecordingPpdevCalls final : public PpdevCalls {
 public:
  explicit RecordingPpdevCalls(testing::FakeClock& clock) : clock_(clock) {}

  int openError = 0;
  int claimError = 0;
  int failWriteNumber = -1;  // the n-th register write (from 0) fails with EIO
  Calls calls;
  std::vector<std::uint32_t> dataTicks;

  int Open(const std::string& path, int& fd) override {
    calls.push_back("open " + path);
    if (openError) return openError;
    fd = 7;
    return 0;
  }
  int Claim(int fd) override {
    Record("claim", fd);
    return claimError;
  }
  int WriteData(int fd, std::uint8_t value) override {
    dataTicks.push_back(clock_.PeekTickCount());
    return RecordWrite("data " + Hex(value), fd);
  }
  int WriteControl(int fd, std::uint8_t value) override { return RecordWrite("control " + Hex(value), fd); }
  int Release(int fd) override {
    Record("release", fd);
    return 0;
  }
  void Close(int fd) override { Record("close", fd); }
  std::string GroupOf(const std::string& path) override {
    calls.push_back("group " + path);
    return "lp";
  }

 private:
  void Record(const std::string& call, int fd) { calls.push_back(call + (fd == 7 ? "" : " on a wrong fd")); }
  int RecordWrite(const std::string& call, int fd) {
    Record(call, fd);
    return writes_++ == failWriteNumber ? EIO : 0;
  }

  testing::FakeClock& clock_;
  int writes_ = 0;
};

struct PortFixture : ::testing::Test {
  testing::FakeClock clock;
  RecordingPpdevCalls calls{clock};
  std::ostringstream complaints;
  PpdevSwitchPort port{calls, complaints};

  void Send(const SwitchCommand& command, std::uint32_t lpt = 2) {
    SendCommandToSwitch(port, clock, lpt, command.head, command.tail);
  }
};

Calls Expected(const SwitchCommand& command, const std::string& device) {
  Calls calls{"open " + device, "claim", "control 0C"};
  for (auto byte : command.head) calls.push_back("data " + Hex(byte));
  calls.push_back("control 0C");
  for (auto byte : command.tail) calls.push_back("data " + Hex(byte));
  calls.insert(calls.end(), {"release", "close"});
  return calls;
}

TEST_F(PortFixture, EachCommandIsOneClaimOfItsRegisterWritesWithAPauseAfterEveryDataByte) {
  const struct {
    const char* name;
    const SwitchCommand& command;
  } cases[] = {{"select A", switch_commands::kSelectA},
               {"select B", switch_commands::kSelectB},
               {"broadcast", switch_commands::kBroadcast},
               {"transfer on", switch_commands::kTransferOn},
               {"transfer off", switch_commands::kTransferOff}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    calls.calls.clear();
    calls.dataTicks.clear();
    Send(c.command);
    EXPECT_EQ(calls.calls, Expected(c.command, "/dev/parport1"));
    for (std::size_t i = 1; i < calls.dataTicks.size(); ++i)
      EXPECT_GE(calls.dataTicks[i] - calls.dataTicks[i - 1], 1u) << "data write " << i;
  }
  EXPECT_EQ(complaints.str(), "");
}

TEST_F(PortFixture, LptNumberNamesTheDeviceCountedFromZero) {
  for (std::uint32_t lpt : {1u, 3u}) {
    calls.calls.clear();
    Send(switch_commands::kSelectA, lpt);
    EXPECT_EQ(calls.calls.front(), "open /dev/parport" + std::to_string(lpt - 1));
  }
  calls.calls.clear();
  Send(switch_commands::kSelectA, 0);
  EXPECT_EQ(calls.calls, Calls{});
}

TEST_F(PortFixture, RefusedOpenDropsTheCommandAndOnlyAPermissionProblemIsExplained) {
  const struct {
    int error;
    Calls calls;
    std::string complaint;
  } cases[] = {
      {ENOENT, {"open /dev/parport1"}, ""},
      {EBUSY, {"open /dev/parport1"}, ""},
      {ENXIO, {"open /dev/parport1"}, ""},
      {EACCES,
       {"open /dev/parport1", "group /dev/parport1"},
       "QV27-518: no permission to open /dev/parport1; add your user to the group \"lp\" and log in again\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    calls.calls.clear();
    complaints.str("");
    calls.openError = c.error;
    Send(switch_commands::kBroadcast);
    EXPECT_EQ(calls.calls, c.calls);
    EXPECT_EQ(complaints.str(), c.complaint);
  }
}

TEST_F(PortFixture, FailedClaimClosesTheDeviceAndSendsNothing) {
  calls.claimError = EINVAL;
  Send(switch_commands::kTransferOn);
  EXPECT_EQ(calls.calls, (Calls{"open /dev/parport1", "claim", "close"}));
  EXPECT_EQ(complaints.str(), "");
}

TEST_F(PortFixture, FailedWriteReleasesThePortAndDropsTheRestOfTheCommand) {
  calls.failWriteNumber = 3;  // the third data byte
  Send(switch_commands::kSelectB);
  EXPECT_EQ(calls.calls, (Calls{"open /dev/parport1", "claim", "control 0C", "data 01", "data 81", "data 02",
                                "release", "close"}));
  EXPECT_EQ(complaints.str(), "");
}

// The real calls on this machine, which has no parallel port: nothing is
// sent and nothing is said.
TEST(SystemPpdevCalls, AbsentDeviceIsReportedAsMissingAndTheCommandDropsSilently) {
  SystemPpdevCalls system;
  int fd = -1;
  if (system.Open("/dev/parport0", fd) == 0) GTEST_SKIP() << "this machine has a parallel port";
  EXPECT_EQ(system.Open("/dev/parport0", fd), ENOENT);
  EXPECT_EQ(fd, -1);

  testing::FakeClock clock;
  std::ostringstream complaints;
  PpdevSwitchPort port(system, complaints);
  for (std::uint32_t lpt : {1u, 2u, 3u})
    SendCommandToSwitch(port, clock, lpt, switch_commands::kSelectA.head, switch_commands::kSelectA.tail);
  EXPECT_EQ(complaints.str(), "");

  PpdevSwitchPort defaultPort;
  SendCommandToSwitch(defaultPort, clock, 1, switch_commands::kSelectA.head, switch_commands::kSelectA.tail);
}

TEST(SystemPpdevCalls, GroupOfANodeIsItsOwningGroupsName) {
  SystemPpdevCalls system;
  EXPECT_EQ(system.GroupOf("/dev/null"), "root");
  EXPECT_EQ(system.GroupOf("/dev/no-such-node"), "");
}

}  // namespace
}  // namespace qv::posix
