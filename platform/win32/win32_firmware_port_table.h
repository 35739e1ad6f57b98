// The firmware port table on Windows: the BIOS data area read through
// selector 0x40, guarded against the access fault of NT-family systems, and
// the LPT devices the system knows as the fallback count.
#pragma once

#include "platform/firmware_port_table.h"

namespace qv::win32 {

class Win32FirmwarePortTable final : public FirmwarePortTable {
 public:
  std::optional<std::array<std::uint16_t, 3>> ReadBaseAddresses() override;
  int CountKnownPorts() override;
};

}  // namespace qv::win32
