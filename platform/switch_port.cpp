#include "platform/switch_port.h"

namespace qv {

std::array<std::uint8_t, PortIoRequest::kSize> PortIoRequest::Serialise() const {
  return {static_cast<std::uint8_t>(port),
          static_cast<std::uint8_t>(port >> 8),
          static_cast<std::uint8_t>(port >> 16),
          static_cast<std::uint8_t>(port >> 24),
          static_cast<std::uint8_t>(registerOffset),
          static_cast<std::uint8_t>(registerOffset >> 8),
          static_cast<std::uint8_t>(registerOffset >> 16),
          static_cast<std::uint8_t>(registerOffset >> 24),
          value};
}

}  // namespace qv
