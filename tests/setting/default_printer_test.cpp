// Which entry of the user's device list becomes the default printer, and
// what the default entry then says.
#include "setting/default_printer.h"

#include <gtest/gtest.h>

#include "tests/support/service_doubles.h"

namespace qv {
namespace {

using testing::FakePrinter;
using testing::FakePrinterStore;

TEST(DefaultPrinter, TheFirstExactlyNamedEntryWins) {
  FakePrinterStore store;
  store.printers = {{0, "Laser", "winspool,LPT1:"},
                    {0, "HP LaserJet", "winspool,LPT2:"},
                    {0, "HP LaserJet", "winspool,LPT3:"}};
  MakeDefaultPrinter(store, "HP LaserJet");
  EXPECT_EQ(store.defaultWrites, (std::vector<std::string>{"HP LaserJet,winspool,LPT2:"}));
  EXPECT_EQ(store.openLists, 0) << "the list is closed again";
}

TEST(DefaultPrinter, NamesCompareExactlyAndUnreadableEntriesArePassedOver) {
  struct Case {
    const char* what;
    std::vector<FakePrinter> printers;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {"case differs", {{0, "hp laserjet", "x"}}, {}},
      {"trailing space", {{0, "HP LaserJet ", "x"}}, {}},
      {"prefix only", {{0, "HP Laser", "x"}}, {}},
      {"failed entry, then a good one", {{5, "HP LaserJet", "bad"}, {0, "HP LaserJet", "good"}}, {"HP LaserJet,good"}},
      {"more data than the buffer (234)", {{234, "HP LaserJet", "long"}}, {}},
      {"insufficient buffer (122) still counts", {{122, "HP LaserJet", "partial"}}, {"HP LaserJet,partial"}},
      {"empty list", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePrinterStore store;
    store.printers = c.printers;
    MakeDefaultPrinter(store, "HP LaserJet");
    EXPECT_EQ(store.defaultWrites, c.written);
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

TEST(DefaultPrinter, AListOrDefaultThatCannotBeOpenedChangesNothing) {
  FakePrinterStore closedList;
  closedList.printers = {{0, "P", "d"}};
  closedList.listOpens = false;
  MakeDefaultPrinter(closedList, "P");
  EXPECT_TRUE(closedList.defaultWrites.empty());

  FakePrinterStore closedDefault;
  closedDefault.printers = {{0, "P", "d"}};
  closedDefault.defaultOpens = false;
  MakeDefaultPrinter(closedDefault, "P");
  EXPECT_TRUE(closedDefault.defaultWrites.empty());
}

}  // namespace
}  // namespace qv
