// The names of the switch's own queues in the printer chooser, from device
// URIs as a print server hands them over, well-formed or not.
#include "platform/posix/switch_queue_name.h"

#include <gtest/gtest.h>

namespace qv::posix {
namespace {

TEST(SwitchQueueName, NamesThePrinterAndThePortOfTheUri) {
  struct Case {
    const char* uri;
    std::optional<std::string> name;
  };
  const Case cases[] = {
      {"qv27-518:/dev/parport0?printer=A", "Printer A on QV27-518 switch (LPT1)"},
      {"qv27-518:/dev/parport1?printer=B&settle=20", "Printer B on QV27-518 switch (LPT2)"},
      {"qv27-518:/dev/parport0?settle=5&printer=Broadcast", "Printers A and B at once on QV27-518 switch (LPT1)"},
      {"qv27-518:/dev/parport0?printer=C", "QV27-518 switch (LPT1)"},
      {"qv27-518:/dev/parport0?printer=a", "QV27-518 switch (LPT1)"},
      {"qv27-518:/dev/parport0?printerX=A", "QV27-518 switch (LPT1)"},
      {"qv27-518:/dev/parport?printer=A", "Printer A on QV27-518 switch"},
      {"qv27-518:/dev/parport99999999999999999999?printer=A", "Printer A on QV27-518 switch"},
      {"qv27-518:/dev/parport0x?printer=A", "Printer A on QV27-518 switch"},
      {"qv27-518:/etc/passwd?printer=B", "Printer B on QV27-518 switch"},
      {"qv27-518:", "QV27-518 switch"},
      {"file:/dev/null", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uri);
    EXPECT_EQ(SwitchQueueName(c.uri), c.name);
  }
}

}  // namespace
}  // namespace qv::posix
