#include "tests/support/throwaway_print_server.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

bool Installed(const std::string& tool) {
  for (const std::string folder : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/usr/local/sbin/"})
    if (access((folder + tool).c_str(), X_OK) == 0) return true;
  return false;
}

}  // namespace

ThrowawayPrintServer::ThrowawayPrintServer(const PrintServerOptions& options)
    : clientRoot_(dir_ / "client"), home_(dir_ / "home") {
  const fs::path server = dir_ / "server";
  fs::create_directories(clientRoot_);
  fs::create_directories(home_);
  // The backends run as lp and open the spool files inside.
  fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
  const std::string socket = (server / "cups.sock").string();

  for (const char* name : {"CUPS_SERVER", "CUPS_SERVERROOT", "HOME", "LPDEST", "PRINTER", "PATH"}) {
    const char* value = std::getenv(name);
    savedEnvironment_[name] = value ? std::optional<std::string>(value) : std::nullopt;
  }
  setenv("CUPS_SERVER", socket.c_str(), 1);
  setenv("CUPS_SERVERROOT", clientRoot_.c_str(), 1);
  setenv("HOME", home_.c_str(), 1);
  unsetenv("LPDEST");
  unsetenv("PRINTER");
  const char* path = std::getenv("PATH");
  setenv("PATH", (std::string(path ? path : "/usr/bin:/bin") + ":/usr/sbin:/sbin").c_str(), 1);

  if (!Installed("cupsd")) {
    problem_ = "cupsd is not installed (package cups-daemon)";
    return;
  }
  std::vector<std::string> args{"/bin/bash", QV_PRINT_SERVER, server.string(), "--file-device",
                                options.fileDevice ? "yes" : "no"};
  if (!options.serverBin.empty()) args.insert(args.end(), {"--server-bin", options.serverBin.string()});
  for (const std::string& pair : options.environment) args.insert(args.end(), {"--setenv", pair});
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (posix_spawn(&cupsd_, args[0].c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    cupsd_ = -1;
    problem_ = "cupsd could not be started";
    return;
  }
  // A bounded wait for the socket to appear: it is how cupsd says it is up.
  for (int round = 0; round < 3000 && !fs::exists(socket); ++round) {
    if (waitpid(cupsd_, nullptr, WNOHANG) == cupsd_) {
      cupsd_ = -1;
      problem_ = "cupsd ended at once: " + ReadFileBytes(server / "log/cupsd.out") +
                 ReadFileBytes(server / "log/error_log");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!fs::exists(socket)) problem_ = "cupsd did not open its socket";
}

ThrowawayPrintServer::~ThrowawayPrintServer() {
  if (cupsd_ > 0) {
    kill(cupsd_, SIGTERM);
    waitpid(cupsd_, nullptr, 0);
  }
  for (const auto& [name, value] : savedEnvironment_)
    value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
}

bool ThrowawayPrintServer::AddPrinter(const std::string& name) {
  return std::system(("lpadmin -p '" + name + "' -E -v file:/dev/null >/dev/null 2>&1").c_str()) == 0;
}

bool ThrowawayPrintServer::SetServerDefault(const std::string& name) {
  return std::system(("lpadmin -d '" + name + "' >/dev/null 2>&1").c_str()) == 0;
}

void ThrowawayPrintServer::PointAtNoServer() { setenv("CUPS_SERVER", (dir_ / "nobody-listens.sock").c_str(), 1); }

std::string ThrowawayPrintServer::Output(const std::string& command) {
  std::string output;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    std::size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    pclose(pipe);
  }
  return output;
}

}  // namespace qv::testing
