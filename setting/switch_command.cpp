#include "setting/switch_command.h"

namespace qv {
namespace {

constexpr std::uint8_t kSelectAHead[] = {0x01, 0x81, 0x02, 0x82, 0x40, 0xC0, 0xBB, 0xC3};
constexpr std::uint8_t kSelectATail[] = {0x24, 0xA4, 0x28, 0xA8, 0x44, 0xC4, 0x2C, 0xAC, 0x00, 0x80};
constexpr std::uint8_t kSelectBHead[] = {0x01, 0x81, 0x02, 0x82, 0x41, 0xC1, 0xBB, 0xC3};
constexpr std::uint8_t kSelectBTail[] = {0x24, 0xA4, 0x28, 0xA8, 0x44, 0xC4, 0x2C, 0xAC, 0x04, 0x84};
constexpr std::uint8_t kBroadcastHead[] = {0x01, 0x81, 0x02, 0x82, 0x42, 0xC2, 0xBB, 0xC3};
constexpr std::uint8_t kBroadcastTail[] = {0x24, 0xA4, 0x28, 0xA8, 0x44, 0xC4, 0x2C, 0xAC, 0x08, 0x88};
constexpr std::uint8_t kTransferOnHead[] = {0x24, 0xA4, 0x42, 0xC2, 0xF3};
constexpr std::uint8_t kTransferOnTail[] = {0x08, 0x88, 0x20, 0xA0, 0x01, 0x81, 0x40, 0xC0, 0x69, 0xE9};
constexpr std::uint8_t kTransferOffHead[] = {0x24, 0xA4, 0x42, 0xC2, 0xE3};
constexpr std::uint8_t kTransferOffTail[] = {0x08, 0x88, 0x20, 0xA0, 0x01, 0x81, 0x40, 0xC0, 0x49, 0xA9};

bool SendSequence(PortSession& session, Clock& clock, std::span<const std::uint8_t> bytes) {
  if (!session.WriteControl(kControlValue)) return false;
  for (std::uint8_t byte : bytes) {
    if (!session.WriteData(byte)) return false;
    BusyWait(clock, kDataBytePause);
  }
  return true;
}

}  // namespace

namespace switch_commands {
const SwitchCommand kSelectA{kSelectAHead, kSelectATail};
const SwitchCommand kSelectB{kSelectBHead, kSelectBTail};
const SwitchCommand kBroadcast{kBroadcastHead, kBroadcastTail};
const SwitchCommand kTransferOn{kTransferOnHead, kTransferOnTail};
const SwitchCommand kTransferOff{kTransferOffHead, kTransferOffTail};
}  // namespace switch_commands

bool WriteCommand(PortSession& session, Clock& clock, const SwitchCommand& command) {
  return SendSequence(session, clock, command.head) && SendSequence(session, clock, command.tail);
}

std::optional<PortFailure> WriteCommandToPort(SwitchPort& switchPort, Clock& clock, std::uint32_t lpt,
                                              std::span<const std::uint8_t> head,
                                              std::span<const std::uint8_t> tail) {
  // A fresh session for every command: no handle outlives it.
  PortOpening opening = switchPort.Open(lpt);
  if (!opening.session) return opening.failure;
  if (!WriteCommand(*opening.session, clock, {head, tail})) return PortFailure::kWriteFailed;
  return std::nullopt;
}

}  // namespace qv
