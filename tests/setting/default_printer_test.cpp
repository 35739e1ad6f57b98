// Which entry of the user's device list becomes the default printer, and
// what the default entry then says.
#include "setting/default_printer.h"

#include <gtest/gtest.h>

#include "tests/support/service_doubles.h"

namespace qv {
namespace {

using testing::FakePrinter;
using testing::FakePrinterStore;

TEST(DefaultPrinter, TheFirstExactlyNamedReadableEntryOfAListThatOpensWins) {
  struct Case {
    const char* what;
    std::vector<FakePrinter> printers;
    std::vector<std::string> written;
    bool listOpens = true, defaultOpens = true;
  };
  const Case cases[] = {
      {"the first of two",
       {{0, "Laser", "winspool,LPT1:"},
        {0, "HP LaserJet", "winspool,LPT2:"},
        {0, "HP LaserJet", "winspool,LPT3:"}},
       {"HP LaserJet,winspool,LPT2:"}},
      {"case differs", {{0, "hp laserjet", "x"}}, {}},
      {"trailing space", {{0, "HP LaserJet ", "x"}}, {}},
      {"prefix only", {{0, "HP Laser", "x"}}, {}},
      {"failed entry, then a good one", {{5, "HP LaserJet", "bad"}, {0, "HP LaserJet", "good"}}, {"HP LaserJet,good"}},
      {"more data than the buffer (234)", {{234, "HP LaserJet", "long"}}, {}},
      {"insufficient buffer (122) still counts", {{122, "HP LaserJet", "partial"}}, {"HP LaserJet,partial"}},
      {"empty list", {}, {}},
      {"the list does not open", {{0, "HP LaserJet", "d"}}, {}, false},
      {"the default does not open", {{0, "HP LaserJet", "d"}}, {}, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePrinterStore store;
    store.printers = c.printers;
    store.listOpens = c.listOpens;
    store.defaultOpens = c.defaultOpens;
    MakeDefaultPrinter(store, "HP LaserJet");
    EXPECT_EQ(store.defaultWrites, c.written);
    EXPECT_EQ(store.openLists, 0) << "the list is closed again";
  }
}

TEST(DefaultPrinter, TheDescriptionEndsAtItsFirstZeroByteAndNeverRunsPastTheBuffer) {
  PrinterDeviceEntry entry;
  const std::string data("winspool,LPT1:\0garbage", 22);
  std::copy(data.begin(), data.end(), entry.data.begin());
  EXPECT_EQ(ComposeDefaultEntry("P", entry), "P,winspool,LPT1:");

  entry.data.fill('d');  // no zero byte anywhere in the 256 bytes
  EXPECT_EQ(ComposeDefaultEntry("P", entry), "P," + std::string(256, 'd'));
  EXPECT_EQ(ComposeDefaultEntry("", PrinterDeviceEntry{}), ",");
}

}  // namespace
}  // namespace qv
