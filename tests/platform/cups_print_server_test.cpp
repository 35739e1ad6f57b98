// The CUPS printer store as the printer chooser sees it, against a print
// server of the test's own: each destination with its state, location and
// description and the default marked; and against a server that accepts
// the connection and never answers, where every call ends after its limit
// as if there were no printers.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/posix/cups_default_destination.h"
#include "platform/posix/cups_printer_store.h"
#include "tests/support/throwaway_print_server.h"

namespace qv::posix {
namespace {

using testing::ThrowawayPrintServer;

// A listening socket that nobody ever reads: the kernel accepts each
// connection into the backlog and the client waits for its answer.
class SilentServer {
 public:
  explicit SilentServer(const std::filesystem::path& path) {
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

TEST(CupsPrintServer, ADestinationShowsItsStateLocationAndDescriptionAndTheDefaultIsMarked) {
  ThrowawayPrintServer server;
  ASSERT_EQ(server.problem(), "");
  ASSERT_TRUE(server.AddPrinter("QV_A"));
  ASSERT_TRUE(server.AddPrinter("QV_B"));
  ASSERT_TRUE(server.SetServerDefault("QV_A"));
  ThrowawayPrintServer::Output("lpadmin -p QV_B -L 'Room 2' -D 'Desk laser' && cupsdisable QV_B");
  std::vector<PrinterDescription> described;
  std::thread([&] { described = CupsPrinterStore().DescribePrinters(); }).join();
  ASSERT_EQ(described.size(), 2u);
  EXPECT_EQ(described[0], (PrinterDescription{"QV_A", "Ready", described[0].type, "file:/dev/null", "", true}));
  EXPECT_EQ(described[1], (PrinterDescription{"QV_B", "Stopped", described[1].type, "Room 2", "Desk laser", false}));
}

TEST(CupsPrintServer, AServerThatNeverAnswersIsNoServerAfterTheLimit) {
  ThrowawayPrintServer environment;  // the throwaway home and client folders
  ASSERT_EQ(environment.problem(), "");
  const std::filesystem::path socketPath = environment.home() / "silent.sock";
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
