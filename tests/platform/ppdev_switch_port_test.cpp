// The ppdev switch port of the setting program over the kernel-like double:
// the calls of each command, the lock and the bounded claim, and the real
// calls on this machine, which has no parallel port.
#include "platform/posix/ppdev_switch_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

#include "platform/posix/ppdev_session.h"
#include "setting/switch_command.h"
#include "tests/support/kernel_like_ppdev.h"
#include "tests/support/service_doubles.h"

namespace qv::posix {
namespace {

using namespace std::chrono_literals;
using Calls = std::vector<std::string>;

struct PortFixture : ::testing::Test {
  testing::FakeClock clock;
  testing::KernelLikePpdev kernel;
  std::ostringstream complaints;
  int waits = 0;
  std::function<void()> onWait;
  PpdevSwitchPort port{kernel, complaints, [this] {
                         ++waits;
                         if (onWait) onWait();
                         return true;
                       },
                       100ms};

  std::optional<PortFailure> Send(const SwitchCommand& command, std::uint32_t lpt = 2) {
    return WriteCommandToPort(port, clock, lpt, command.head, command.tail);
  }
};

Calls Expected(const SwitchCommand& command, const std::string& device) {
  Calls calls{"open " + device, "try lock", "claim"};
  for (const std::string& call : testing::CommandCalls(command)) calls.push_back(call);
  calls.insert(calls.end(), {"release", "close"});
  return calls;
}

// LPT n is /dev/parport(n - 1); there is no LPT0.
TEST_F(PortFixture, EachCommandIsOneLockedClaimOfItsRegisterWritesOnTheDeviceOfItsLpt) {
  for (const char* device : {"/dev/parport0", "/dev/parport1", "/dev/parport2"}) kernel.Add(device);
  std::uint32_t lpt = 0;
  for (const SwitchCommand* command : {&switch_commands::kSelectA, &switch_commands::kSelectB,
                                       &switch_commands::kBroadcast, &switch_commands::kTransferOn,
                                       &switch_commands::kTransferOff}) {
    lpt = lpt % 3 + 1;
    kernel.calls.clear();
    EXPECT_EQ(Send(*command, lpt), std::nullopt);
    EXPECT_EQ(kernel.Calls(), Expected(*command, "/dev/parport" + std::to_string(lpt - 1)));
  }
  EXPECT_EQ(waits, 0);
  EXPECT_EQ(complaints.str(), "");
  kernel.calls.clear();
  EXPECT_EQ(Send(switch_commands::kSelectA, 0), PortFailure::kAbsent);
  EXPECT_EQ(kernel.Calls(), Calls{});
}

TEST_F(PortFixture, ADeviceThatDoesNotOpenSaysWhyAndOnlyAPermissionProblemIsExplained) {
  EXPECT_EQ(Send(switch_commands::kBroadcast), PortFailure::kAbsent);
  EXPECT_EQ(complaints.str(), "");
  kernel.Add("/dev/parport1").permitted = false;
  EXPECT_EQ(Send(switch_commands::kBroadcast), PortFailure::kNotPermitted);
  EXPECT_EQ(complaints.str(),
            "QV27-518: no permission to open /dev/parport1; add your user to the group \"lp\" and log in again\n");
}

// Another driver (a print job through /dev/lp1) holds the port: the claim
// sleeps in the kernel, the dialog keeps being served, and past the bound
// the claim is interrupted and the device closed; a port given back within
// the bound takes the command.
TEST_F(PortFixture, APortHeldByAnotherDriverIsBusyAfterTheBoundWhileTheDialogIsServed) {
  kernel.Add("/dev/parport1").heldByDriver = true;
  EXPECT_EQ(Send(switch_commands::kSelectA), PortFailure::kBusy);
  EXPECT_GT(waits, 0);
  EXPECT_EQ(kernel.Calls(), (Calls{"open /dev/parport1", "try lock", "claim", "claim interrupted", "close"}));
  kernel.calls.clear();
  onWait = [this] { kernel.SetHeldByDriver("/dev/parport1", false); };
  EXPECT_EQ(Send(switch_commands::kSelectA), std::nullopt);
  EXPECT_EQ(kernel.Calls(), Expected(switch_commands::kSelectA, "/dev/parport1"));
}

// A print job holds the device's lock: Set never sends into the middle of it.
TEST_F(PortFixture, APortLockedByAPrintJobIsBusyAndIsNeverClaimed) {
  kernel.Add("/dev/parport1");
  int error = 0;
  auto job = PpdevSession::Open(kernel, "/dev/parport1", error);
  ASSERT_TRUE(job);
  ASSERT_EQ(job->TryLock(), 0);
  kernel.calls.clear();
  EXPECT_EQ(Send(switch_commands::kSelectB), PortFailure::kBusy);
  EXPECT_GT(waits, 0);
  const Calls calls = kernel.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "claim"), 0);
  EXPECT_EQ(calls.back(), "close");
  job.reset();
  EXPECT_EQ(Send(switch_commands::kSelectB), std::nullopt) << "free again once the job has closed the device";
}

TEST(SystemPpdevCalls, AnAbsentDeviceIsAbsent) {
  SystemPpdevCalls system;
  int fd = -1;
  if (system.Open("/dev/parport0", fd) == 0) GTEST_SKIP() << "this machine has a parallel port";
  EXPECT_EQ(system.Open("/dev/parport0", fd), ENOENT);
  EXPECT_EQ(system.PresentDevices(), std::vector<std::string>{});
  testing::FakeClock clock;
  PpdevSwitchPort defaultPort;
  EXPECT_EQ(WriteCommandToPort(defaultPort, clock, 1, switch_commands::kSelectA.head,
                               switch_commands::kSelectA.tail),
            PortFailure::kAbsent);
  EXPECT_EQ(system.GroupOf("/dev/null"), "root");
  EXPECT_EQ(system.GroupOf("/dev/no-such-node"), "");
}

}  // namespace
}  // namespace qv::posix
