// The switch port: the kernel-mode port driver through which the setting
// program writes the registers of the parallel port that the switch sits
// on. The device is opened for one command and closed after it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace qv {

// The driver's input record for one register write: 9 bytes, packed, no
// padding. Serialise() gives the bytes that cross into the driver,
// little-endian whatever the machine.
#pragma pack(push, 1)
struct PortIoRequest {
  std::uint32_t port;            // LPT port number 1-3
  std::uint32_t registerOffset;  // 0 data register, 2 control register
  std::uint8_t value;

  static constexpr std::size_t kSize = 9;
  std::array<std::uint8_t, kSize> Serialise() const;
};
#pragma pack(pop)
static_assert(sizeof(PortIoRequest) == PortIoRequest::kSize, "the driver takes exactly 9 bytes");

inline bool operator==(const PortIoRequest& a, const PortIoRequest& b) {
  return a.Serialise() == b.Serialise();
}

inline constexpr std::uint32_t kDataRegister = 0;
inline constexpr std::uint32_t kControlRegister = 2;

// One open session with the port driver; closing it closes the device.
class PortSession {
 public:
  virtual ~PortSession() = default;
  // One register write. What the driver answers is not looked at: a refused
  // request is as good as a done one, the next is sent all the same.
  virtual void Write(const PortIoRequest& request) = 0;
};

class SwitchPort {
 public:
  virtual ~SwitchPort() = default;
  // Opens the driver's device; nullptr when the driver is absent or the
  // device cannot be opened.
  virtual std::unique_ptr<PortSession> Open() = 0;
};

}  // namespace qv
