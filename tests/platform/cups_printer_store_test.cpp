// The CUPS printer store against a print server of the test's own: the
// destinations as the device list, the default written through the Set
// path's own look-up and read back with lpstat, and no server at all.
// libcups reads its environment once per thread, so every use of the store
// runs on a fresh thread after the environment has been set.
#include <gtest/gtest.h>

#include <thread>

#include "platform/posix/cups_printer_store.h"
#include "setting/default_printer.h"
#include "tests/support/throwaway_print_server.h"

namespace qv::posix {
namespace {

namespace fs = std::filesystem;
using testing::ThrowawayPrintServer;

template <class Work>
void OnFreshThread(Work work) {
  std::thread(work).join();
}

struct Listed {
  long status;
  std::string name, data;
  friend bool operator==(const Listed&, const Listed&) = default;
};
void PrintTo(const Listed& l, std::ostream* out) { *out << l.status << " " << l.name << " " << l.data; }

std::vector<Listed> ListOf(PrinterStore& store) {
  std::vector<Listed> list;
  if (!store.OpenDeviceList()) return {{-1, "(the list did not open)", ""}};
  for (unsigned i = 0; i < store.DeviceCount(); ++i) {
    const PrinterDeviceEntry entry = store.Device(i);
    list.push_back({entry.status, std::string(entry.name.view()),
                    reinterpret_cast<const char*>(entry.data.data())});
  }
  store.CloseDeviceList();
  return list;
}

std::string UserDefault() { return ThrowawayPrintServer::Output("lpstat -d 2>&1"); }

struct CupsStoreFixture : ::testing::Test {
  ThrowawayPrintServer server;
  CupsPrinterStore store;

  void SetUp() override {
    ASSERT_EQ(server.problem(), "");
    ASSERT_TRUE(server.AddPrinter("QV_A"));
    ASSERT_TRUE(server.AddPrinter("QV_B"));
    ASSERT_TRUE(server.SetServerDefault("QV_A"));
  }

  // What lpstat says for a user without lpoptions: the server's own default.
  std::string ServerDefault() {
    const fs::path elsewhere = server.home() / "elsewhere";
    fs::create_directories(elsewhere);
    return ThrowawayPrintServer::Output("CUPS_SERVERROOT='" + elsewhere.string() + "' HOME='" +
                                        elsewhere.string() + "' lpstat -d 2>&1");
  }

  // The user's lpoptions, wherever libcups keeps them for this user.
  std::string UserOptions() {
    return testing::ReadFileBytes(server.clientRoot() / "lpoptions") +
           testing::ReadFileBytes(server.home() / ".cups/lpoptions");
  }
};

TEST_F(CupsStoreFixture, ListsEachDestinationWithItsDeviceUri) {
  OnFreshThread([&] {
    EXPECT_EQ(ListOf(store), (std::vector<Listed>{{0, "QV_A", "file:/dev/null"}, {0, "QV_B", "file:/dev/null"}}));
    ASSERT_TRUE(store.OpenDeviceList());
    EXPECT_EQ(store.Device(2).status, 259);
    store.CloseDeviceList();
  });
}

// A bare name, as a chooser hands it over, works as well as a whole entry.
// CUPS allows commas in names: the whole entry finds "QV,C", where the text
// before the first comma would have found "QV". An entry of no destination
// changes nothing.
TEST_F(CupsStoreFixture, SetMakesThePrinterTheUsersDefaultAndLeavesTheServersAlone) {
  EXPECT_EQ(UserDefault(), "system default destination: QV_A\n");
  OnFreshThread([&] { MakeDefaultPrinter(store, "QV_B"); });
  EXPECT_EQ(UserDefault(), "system default destination: QV_B\n");
  EXPECT_NE(UserOptions().find("Default QV_B"), std::string::npos) << UserOptions();
  EXPECT_EQ(ServerDefault(), "system default destination: QV_A\n");

  OnFreshThread([&] { EXPECT_TRUE(store.WriteDefaultDevice("QV_A")); });
  EXPECT_EQ(UserDefault(), "system default destination: QV_A\n");

  ASSERT_TRUE(server.AddPrinter("QV"));
  ASSERT_TRUE(server.AddPrinter("QV,C"));
  OnFreshThread([&] { MakeDefaultPrinter(store, "QV,C"); });
  EXPECT_EQ(UserDefault(), "system default destination: QV,C\n");

  for (const char* value : {"QV_C,file:/dev/null", "qv_a,file:/dev/null", "", ",file:/dev/null"}) {
    SCOPED_TRACE(value);
    OnFreshThread([&] { EXPECT_FALSE(store.WriteDefaultDevice(value)); });
    EXPECT_EQ(UserDefault(), "system default destination: QV,C\n");
  }
}

TEST_F(CupsStoreFixture, WithoutAServerTheListIsEmptyAndTheDefaultStays) {
  server.PointAtNoServer();
  OnFreshThread([&] {
    EXPECT_EQ(ListOf(store), std::vector<Listed>{});
    EXPECT_FALSE(store.WriteDefaultDevice("QV_B,file:/dev/null"));
  });
  EXPECT_EQ(UserOptions(), "");
}

}  // namespace
}  // namespace qv::posix
