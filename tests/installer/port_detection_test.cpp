// Counting the parallel ports from the firmware's base-address table, and
// the count that reaches the configuration file.
#include <gtest/gtest.h>

#include "tests/installer/installer_fixture.h"

namespace qv {
namespace {

struct PortCase {
  std::optional<std::array<std::uint16_t, 3>> table;  // std::nullopt: the platform refuses the read
  int knownPorts;
  int count;
};

void PrintTo(const PortCase& c, std::ostream* os) {
  if (!c.table) {
    *os << "refused, " << c.knownPorts << " known";
    return;
  }
  *os << std::hex << "0x" << (*c.table)[0] << " 0x" << (*c.table)[1] << " 0x" << (*c.table)[2];
}

class PortDetection : public InstallerFixture, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortDetection, CountsTheStandardBaseAddresses) {
  ports.table = GetParam().table;
  ports.knownPorts = GetParam().knownPorts;
  WriteInf("[Configuration]\r\nInitialFile=QV27-518.ini\r\n");
  StartDialog();
  dialog->WriteConfiguration();
  EXPECT_EQ(ConfigEntry("PortCount"), std::to_string(GetParam().count));
}

using Table = std::array<std::uint16_t, 3>;
INSTANTIATE_TEST_SUITE_P(
    Tables, PortDetection,
    ::testing::Values(PortCase{Table{0x378, 0, 0}, 0, 1},
                      PortCase{Table{0x3BC, 0x378, 0x278}, 0, 3},
                      PortCase{Table{0x378, 0x378, 0}, 0, 2},  // the same address twice counts twice
                      PortCase{Table{0x278, 0x3BC, 0}, 0, 2},
                      PortCase{Table{0x2BC, 0xBC00, 0}, 0, 0},  // whole words, standard addresses only
                      PortCase{Table{0, 0, 0}, 3, 0},           // a table that reads is believed
                      PortCase{std::nullopt, 0, 0},              // refused: the system's own LPT devices
                      PortCase{std::nullopt, 2, 2}));

}  // namespace
}  // namespace qv
