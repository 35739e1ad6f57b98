// The firmware port table on Windows (run under Wine, as the 32-bit and the
// 64-bit programs): the platform refuses the read of the BIOS data area, the
// program survives the refusal, and a fresh prefix knows no LPT device.
// This is what the installer's port-table double models as "refused".
#include <gtest/gtest.h>

#include "platform/win32/win32_firmware_port_table.h"

namespace qv::win32 {
namespace {

TEST(Win32FirmwarePortTable, TheReadIsRefusedAndTheProgramGoesOnKnowingNoParallelPort) {
  Win32FirmwarePortTable table;
  // Twice: the fault handler of the 32-bit read is removed after each read
  // and must be put in place again.
  EXPECT_EQ(table.ReadBaseAddresses(), std::nullopt);
  EXPECT_EQ(table.ReadBaseAddresses(), std::nullopt);
  EXPECT_EQ(table.CountKnownPorts(), 0);
}

}  // namespace
}  // namespace qv::win32
