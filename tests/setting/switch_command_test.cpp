// The register writes that reach the switch port, their order and the
// pauses between them, for every command the program knows.
#include "setting/switch_command.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/service_doubles.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using testing::FakeClock;
using testing::RecordingSwitchPort;
using testing::RegisterWrite;

struct CommandCase {
  const char* name;
  SwitchCommand command;
  std::vector<std::uint8_t> head;
  std::vector<std::uint8_t> tail;
};

std::vector<CommandCase> AllCommands() {
  return {
      {"SelectA", switch_commands::kSelectA, {0x01, 0x81, 0x02, 0x82, 0x40, 0xC0, 0xBB, 0xC3},
       {0x24, 0xA4, 0x28, 0xA8, 0x44, 0xC4, 0x2C, 0xAC, 0x00, 0x80}},
      {"SelectB", switch_commands::kSelectB, {0x01, 0x81, 0x02, 0x82, 0x41, 0xC1, 0xBB, 0xC3},
       {0x24, 0xA4, 0x28, 0xA8, 0x44, 0xC4, 0x2C, 0xAC, 0x04, 0x84}},
      {"Broadcast", switch_commands::kBroadcast, {0x01, 0x81, 0x02, 0x82, 0x42, 0xC2, 0xBB, 0xC3},
       {0x24, 0xA4, 0x28, 0xA8, 0x44, 0xC4, 0x2C, 0xAC, 0x08, 0x88}},
      {"TransferOn", switch_commands::kTransferOn, {0x24, 0xA4, 0x42, 0xC2, 0xF3},
       {0x08, 0x88, 0x20, 0xA0, 0x01, 0x81, 0x40, 0xC0, 0x69, 0xE9}},
      {"TransferOff", switch_commands::kTransferOff, {0x24, 0xA4, 0x42, 0xC2, 0xE3},
       {0x08, 0x88, 0x20, 0xA0, 0x01, 0x81, 0x40, 0xC0, 0x49, 0xA9}},
      // Both control writes back to back.
      {"EmptyHead", {{}, switch_commands::kTransferOff.tail}, {},
       {0x08, 0x88, 0x20, 0xA0, 0x01, 0x81, 0x40, 0xC0, 0x49, 0xA9}},
  };
}

// The expected requests: a control write, the head, a control write, the tail.
std::vector<RegisterWrite> Expected(std::uint32_t port, const std::vector<std::uint8_t>& head,
                                    const std::vector<std::uint8_t>& tail) {
  std::vector<RegisterWrite> out{{port, 2, 0x0C}};
  for (auto b : head) out.push_back({port, 0, b});
  out.push_back({port, 2, 0x0C});
  for (auto b : tail) out.push_back({port, 0, b});
  return out;
}

std::optional<PortFailure> Send(RecordingSwitchPort& port, FakeClock& clock, std::uint32_t lpt,
                                const SwitchCommand& command) {
  return WriteCommandToPort(port, clock, lpt, command.head, command.tail);
}

std::vector<RegisterWrite> Sent(const RecordingSwitchPort& port) {
  std::vector<RegisterWrite> out;
  for (const auto& r : port.requests) out.push_back(r.request);
  return out;
}

// After each data byte at least a millisecond passes (and the millisecond
// counter steps) before the next request or the close; a control write is
// followed by no pause at all.
void ExpectPauses(const RecordingSwitchPort& port) {
  ASSERT_EQ(port.closedAt.size(), 1u);
  for (std::size_t i = 0; i < port.requests.size(); ++i) {
    SCOPED_TRACE(i);
    const auto& r = port.requests[i];
    const bool last = i + 1 == port.requests.size();
    const auto nextAt = last ? port.closedAt[0] : port.requests[i + 1].at;
    if (r.request.registerOffset == kDataRegister) {
      EXPECT_GE(nextAt - r.at, 1ms);
      if (!last) {
        EXPECT_GE(static_cast<std::uint32_t>(port.requests[i + 1].tickAt - r.tickAt), 1u);
      }
    } else {
      ASSERT_FALSE(last);
      EXPECT_EQ(port.requests[i + 1].clockReadsBefore, r.clockReadsBefore) << "no pause after a control write";
    }
  }
}

// Each pause lasts a whole millisecond on a clock of fine steps, on one whose
// millisecond counter wraps during the command and on one that jumps in steps
// just short of a millisecond.
struct ClockCase {
  const char* name;
  std::uint32_t tickBase;
  std::chrono::nanoseconds step;
};
constexpr ClockCase kClocks[] = {
    {"fine", 0, 100us}, {"wrapping", 0xFFFFFFFFu - 4, 100us}, {"coarse", 0, 999us}};

TEST(SwitchCommand, EachCommandSendsItsBytesInOrderWithPauses) {
  for (const CommandCase& c : AllCommands()) {
    for (const ClockCase& k : kClocks) {
      SCOPED_TRACE(std::string(c.name) + " on the " + k.name + " clock");
      FakeClock clock;
      clock.tickBase = k.tickBase;
      clock.step = k.step;
      RecordingSwitchPort port(&clock);
      EXPECT_EQ(Send(port, clock, 3, c.command), std::nullopt);
      EXPECT_EQ(Sent(port), Expected(3, c.head, c.tail));  // the zero byte of SelectA too
      EXPECT_EQ(port.opens, 1);
      EXPECT_EQ(port.closes, 1);
      const bool wrapped = port.requests.back().tickAt < port.requests.front().tickAt;
      EXPECT_EQ(wrapped, k.tickBase != 0);
      ExpectPauses(port);
    }
  }
}

TEST(SwitchCommand, APortThatDoesNotOpenSendsNothingAndSaysWhy) {
  for (PortFailure failure : {PortFailure::kAbsent, PortFailure::kNotPermitted, PortFailure::kBusy}) {
    SCOPED_TRACE(static_cast<int>(failure));
    FakeClock clock;
    RecordingSwitchPort port(&clock);
    port.openFailure = failure;
    EXPECT_EQ(Send(port, clock, 1, switch_commands::kSelectB), failure);
    EXPECT_TRUE(port.requests.empty());
    EXPECT_EQ(port.closes, 0);
    EXPECT_EQ(clock.reads, 0);
  }
}

TEST(SwitchCommand, AFailedWriteCutsTheCommandShortAndEachCommandOpensThePortAnew) {
  FakeClock clock;
  RecordingSwitchPort port(&clock);
  port.failWriteNumber = 3;  // the third data byte
  EXPECT_EQ(Send(port, clock, 1, switch_commands::kSelectB), PortFailure::kWriteFailed);
  EXPECT_EQ(port.requests.size(), 3u);
  EXPECT_EQ(port.closes, 1);
  port.failWriteNumber = -1;
  EXPECT_EQ(Send(port, clock, 1, switch_commands::kSelectA), std::nullopt);
  EXPECT_EQ(port.opens, 2);
  EXPECT_EQ(port.closes, 2);
  EXPECT_EQ(port.requests.size(), 23u);
}

}  // namespace
}  // namespace qv
