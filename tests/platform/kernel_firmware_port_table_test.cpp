// The linux port table: the BIOS words from a memory device, else the
// standard base addresses among the kernel's first three parallel ports.
#include <gtest/gtest.h>

#include "platform/posix/kernel_firmware_port_table.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

TEST(KernelFirmwarePortTable, ReadsTheThreeWordsAt0x408) {
  TempDir dir;
  std::string memory(0x500, '\xEE');
  memory.replace(0x408, 6, std::string("\x78\x03\xBC\x03\x00\x00", 6));
  WriteFileBytes(dir / "mem", memory);
  posix::KernelFirmwarePortTable table(dir / "mem", dir / "none");
  const auto words = table.ReadBaseAddresses();
  ASSERT_TRUE(words.has_value());
  EXPECT_EQ(*words, (std::array<std::uint16_t, 3>{0x378, 0x3BC, 0}));

  WriteFileBytes(dir / "short", std::string(0x40A, '\0'));
  EXPECT_FALSE(posix::KernelFirmwarePortTable(dir / "short", dir / "none").ReadBaseAddresses());
  EXPECT_FALSE(posix::KernelFirmwarePortTable(dir / "absent", dir / "none").ReadBaseAddresses());
}

TEST(KernelFirmwarePortTable, CountsStandardAddressesAmongTheFirstThreePorts) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> ports;  // folder, base-addr contents
    int expected;
  } cases[] = {
      {"no parport driver", {}, 0},
      {"one port", {{"parport0", "888\t-1\n"}}, 1},
      {"all three standard", {{"parport0", "956\t-1\n"}, {"parport1", "888\t1912\n"}, {"parport2", "632\t-1\n"}}, 3},
      {"a PCI card's address", {{"parport0", "888\t-1\n"}, {"parport1", "53248\t53256\n"}}, 1},
      {"only LPT1 to LPT3 count, in number order",
       {{"parport10", "888\t-1\n"}, {"parport0", "632\t-1\n"}, {"parport1", "0\n"}, {"parport2", "0\n"}},
       1},
      {"unreadable entry", {{"parport0", "garbage"}, {"other", "888"}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir root;
    for (const auto& [folder, contents] : c.ports) {
      fs::create_directories(root / folder);
      WriteFileBytes(root / folder / "base-addr", contents);
    }
    EXPECT_EQ(posix::KernelFirmwarePortTable(root / "no-mem", root.path()).CountKnownPorts(), c.expected);
  }
}

}  // namespace
}  // namespace qv::testing
