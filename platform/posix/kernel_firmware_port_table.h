// The firmware's parallel-port table on Linux: the BIOS data area through
// /dev/mem at 0x408 where that is readable (for root on a PC with legacy
// memory access), and otherwise the base addresses that the kernel's
// parport driver lists under /proc/sys/dev/parport, in LPT order. Nothing
// readable counts no ports. The two places are injectable for tests.
#pragma once

#include <filesystem>

#include "platform/firmware_port_table.h"

namespace qv::posix {

class KernelFirmwarePortTable final : public FirmwarePortTable {
 public:
  explicit KernelFirmwarePortTable(std::filesystem::path memoryDevice = "/dev/mem",
                                   std::filesystem::path parportRoot = "/proc/sys/dev/parport");

  // The three words at 0x408 of the memory device; nothing when it cannot
  // be read.
  std::optional<std::array<std::uint16_t, 3>> ReadBaseAddresses() override;
  // How many of the kernel's first three parallel ports (parport0 to 2, the
  // order the BIOS gives LPT1 to LPT3) sit at a standard base address.
  int CountKnownPorts() override;

 private:
  std::filesystem::path memoryDevice_;
  std::filesystem::path parportRoot_;
};

}  // namespace qv::posix
