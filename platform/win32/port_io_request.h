// The Windows port driver's input record for one register write: 9 bytes,
// packed, little-endian whatever the machine. Only the win32 switch port
// speaks it; the rest of the programs see control and data writes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qv::win32 {

inline constexpr std::uint32_t kDataRegister = 0;     // offsets from the port's base address
inline constexpr std::uint32_t kControlRegister = 2;

struct PortIoRequest {
  std::uint32_t port;            // LPT port number 1-3
  std::uint32_t registerOffset;  // kDataRegister or kControlRegister
  std::uint8_t value;

  static constexpr std::size_t kSize = 9;
  std::array<std::uint8_t, kSize> Serialise() const {
    return {static_cast<std::uint8_t>(port),           static_cast<std::uint8_t>(port >> 8),
            static_cast<std::uint8_t>(port >> 16),     static_cast<std::uint8_t>(port >> 24),
            static_cast<std::uint8_t>(registerOffset), static_cast<std::uint8_t>(registerOffset >> 8),
            static_cast<std::uint8_t>(registerOffset >> 16), static_cast<std::uint8_t>(registerOffset >> 24),
            value};
  }
};

}  // namespace qv::win32
