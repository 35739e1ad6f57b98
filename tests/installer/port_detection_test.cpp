// Counting the parallel ports from the firmware's base-address table, and
// the count that reaches the configuration file.
#include <gtest/gtest.h>

#include "tests/installer/installer_fixture.h"

namespace qv {
namespace {

class PortDetection : public InstallerFixture {};

TEST_F(PortDetection, CountsTheStandardBaseAddresses) {
  using Table = std::array<std::uint16_t, 3>;
  struct Case {
    std::optional<Table> table;  // std::nullopt: the platform refuses the read
    int knownPorts;
    int count;
  };
  const Case cases[] = {
      {Table{0x378, 0, 0}, 0, 1},
      {Table{0x3BC, 0x378, 0x278}, 0, 3},
      {Table{0x378, 0x378, 0}, 0, 2},  // the same address twice counts twice
      {Table{0x278, 0x3BC, 0}, 0, 2},
      {Table{0x2BC, 0xBC00, 0}, 0, 0},  // whole words, standard addresses only
      {Table{0, 0, 0}, 3, 0},           // a table that reads is believed
      {std::nullopt, 0, 0},             // refused: the system's own LPT devices
      {std::nullopt, 2, 2},
  };
  WriteInf("[Configuration]\r\nInitialFile=QV27-518.ini\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.table) + ", known " + std::to_string(c.knownPorts));
    ports.table = c.table;
    ports.knownPorts = c.knownPorts;
    StartDialog();
    dialog->WriteConfiguration();
    EXPECT_EQ(ConfigEntry("PortCount"), std::to_string(c.count));
  }
}

}  // namespace
}  // namespace qv
