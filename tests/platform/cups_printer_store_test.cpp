// The CUPS printer store against a print server of the test's own: the
// destinations as the device list and as the printer chooser sees them
// (state, location, description, the default marked), the default written
// through the Set path's own look-up and read back with lpstat; no server at
// all, and a server that accepts the connection and never answers, where
// every call ends after its limit as if there were no printers.
// libcups reads its environment once per thread, so every use of the store
// runs on a fresh thread after the environment has been set.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/posix/cups_default_destination.h"
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

TEST_F(CupsStoreFixture, ADestinationShowsItsStateLocationAndDescriptionAndTheDefaultIsMarked) {
  ThrowawayPrintServer::Output("lpadmin -p QV_B -L 'Room 2' -D 'Desk laser' && cupsdisable QV_B");
  std::vector<PrinterDescription> described;
  OnFreshThread([&] { described = store.DescribePrinters(); });
  ASSERT_EQ(described.size(), 2u);
  const PrinterDescription a{"QV_A", "Ready", described[0].type, "file:/dev/null", "", true};
  const PrinterDescription b{"QV_B", "Stopped", described[1].type, "Room 2", "Desk laser", false};
  EXPECT_EQ(described[0], a);
  EXPECT_EQ(described[1], b);
}

TEST_F(CupsStoreFixture, WithoutAServerTheListIsEmptyAndTheDefaultStays) {
  server.PointAtNoServer();
  OnFreshThread([&] {
    EXPECT_EQ(ListOf(store), std::vector<Listed>{});
    EXPECT_FALSE(store.WriteDefaultDevice("QV_B,file:/dev/null"));
  });
  EXPECT_EQ(UserOptions(), "");
}

// A listening socket that nobody ever reads: the kernel accepts each
// connection into the backlog and the client waits for its answer.
class SilentServer {
 public:
  explicit SilentServer(const fs::path& path) {
    fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ok_ = fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
          listen(fd_, 64) == 0;
  }
  ~SilentServer() {
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return ok_; }

 private:
  int fd_ = -1;
  bool ok_ = false;
};

TEST(CupsPrintServer, AServerThatNeverAnswersIsNoServerAfterTheLimit) {
  ThrowawayPrintServer environment;  // the throwaway home and client folders
  ASSERT_EQ(environment.problem(), "");
  const fs::path socketPath = environment.home() / "silent.sock";
  SilentServer silent(socketPath);
  ASSERT_TRUE(silent.ok());
  setenv("CUPS_SERVER", socketPath.c_str(), 1);
  const std::chrono::milliseconds limit(300);
  CupsPrinterStore store(limit);
  ASSERT_TRUE(store.OpenDeviceList());
  EXPECT_EQ(store.DeviceCount(), 0u);
  store.CloseDeviceList();
  EXPECT_TRUE(store.DescribePrinters().empty());
  EXPECT_FALSE(store.WriteDefaultDevice("QV_A,file:/dev/null"));
  EXPECT_EQ(CupsDefaultDestination(limit), "");
}

}  // namespace
}  // namespace qv::posix
