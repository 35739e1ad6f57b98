// The commands that the switch understands, and the one way they are sent:
// a control write, the head bytes, a control write, the tail bytes, each
// data byte followed by the pause that the switch needs. The setting program
// and the print backend both send through here.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/clock.h"
#include "platform/switch_port.h"

namespace qv {

// A command: two byte sequences of explicit length. 0x00 is a byte like any
// other; nothing here is a terminated string.
struct SwitchCommand {
  std::span<const std::uint8_t> head;
  std::span<const std::uint8_t> tail;
};

namespace switch_commands {
// Selection, in the mode "1 PC to 2 Printers" (head 8, tail 10 bytes).
extern const SwitchCommand kSelectA;
extern const SwitchCommand kSelectB;
extern const SwitchCommand kBroadcast;
// File transfer, in the mode "2 PCs to 1 Printer" (head 5, tail 10 bytes).
extern const SwitchCommand kTransferOn;
extern const SwitchCommand kTransferOff;
}  // namespace switch_commands

// The switch needs at least a millisecond after each data byte.
inline constexpr std::chrono::milliseconds kDataBytePause{1};
// What the control register is set to before each sequence.
inline constexpr std::uint8_t kControlValue = 0x0C;

// Writes the command over a session that is already open. False when a
// write failed: a half-sent command means nothing to the switch, so the
// rest is not sent out of context.
bool WriteCommand(PortSession& session, Clock& clock, const SwitchCommand& command);

// Opens LPT `lpt`, writes the command and closes the port again. Nothing
// when the command went out whole, else why it did not.
std::optional<PortFailure> WriteCommandToPort(SwitchPort& switchPort, Clock& clock, std::uint32_t lpt,
                                              std::span<const std::uint8_t> head,
                                              std::span<const std::uint8_t> tail);

}  // namespace qv
