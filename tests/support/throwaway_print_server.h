// A print server of a test's own: cupsd on a socket in a temporary folder,
// with printers that print to /dev/null, and the environment that points
// libcups and the CUPS tools at it (CUPS_SERVER, CUPS_SERVERROOT, HOME), so
// that neither the machine's printing nor the real home is ever touched.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace qv::testing {

// How the server differs from the plain one (printers into /dev/null).
struct PrintServerOptions {
  bool fileDevice = true;
  std::filesystem::path serverBin;      // backends of the test's own; empty: the machine's
  std::vector<std::string> environment; // NAME=VALUE for every backend and filter
};

class ThrowawayPrintServer {
 public:
  // Starts cupsd through scripts/print-server and points this process's
  // environment at it; `problem()` says why when it could not be started.
  explicit ThrowawayPrintServer(const PrintServerOptions& options = {});
  // Stops cupsd and gives the environment back.
  ~ThrowawayPrintServer();
  ThrowawayPrintServer(const ThrowawayPrintServer&) = delete;
  ThrowawayPrintServer& operator=(const ThrowawayPrintServer&) = delete;

  const std::string& problem() const { return problem_; }
  // The client side's own folders: libcups keeps a user's lpoptions in one
  // of them (root's in the server-root folder, anybody else's under HOME).
  const std::filesystem::path& clientRoot() const { return clientRoot_; }
  const std::filesystem::path& home() const { return home_; }

  // An enabled printer that prints to /dev/null; false when lpadmin fails.
  bool AddPrinter(const std::string& name);
  // The server's own default destination (lpadmin -d).
  bool SetServerDefault(const std::string& name);
  // Points the environment at a socket where no server listens.
  void PointAtNoServer();

  // A shell command's standard output, run in this process's environment.
  static std::string Output(const std::string& command);

 private:
  TempDir dir_;
  std::filesystem::path clientRoot_, home_;
  std::string problem_;
  pid_t cupsd_ = -1;
  std::map<std::string, std::optional<std::string>> savedEnvironment_;
};

}  // namespace qv::testing
