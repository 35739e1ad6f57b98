// The firmware's table of parallel-port base addresses: the three 16-bit
// words of LPT1, LPT2 and LPT3 in the PC BIOS data area (0x408, 0x40A,
// 0x40C). The installer counts the ports from them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace qv {

class FirmwarePortTable {
 public:
  virtual ~FirmwarePortTable() = default;

  // The three words in the order LPT1, LPT2, LPT3; std::nullopt when the
  // platform refuses the read.
  virtual std::optional<std::array<std::uint16_t, 3>> ReadBaseAddresses() = 0;
  // How many of LPT1 to LPT3 the system itself knows, for when the table
  // cannot be read.
  virtual int CountKnownPorts() = 0;
};

}  // namespace qv
