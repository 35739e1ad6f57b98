#include "tests/support/throwaway_print_server.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
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

std::string Find(const std::string& tool) {
  for (const char* folder : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/usr/local/sbin/"}) {
    if (access((folder + tool).c_str(), X_OK) == 0) return folder + tool;
  }
  return {};
}

}  // namespace

ThrowawayPrintServer::ThrowawayPrintServer() {
  const fs::path server = dir_ / "server";
  clientRoot_ = dir_ / "client";
  home_ = dir_ / "home";
  for (const char* sub : {"state", "cache", "spool", "tmp", "log"}) fs::create_directories(server / sub);
  fs::create_directories(clientRoot_);
  fs::create_directories(home_);
  // cupsd refuses a world-writable temporary folder.
  fs::permissions(server / "tmp", fs::perms::owner_all);
  const std::string socket = (dir_ / "cups.sock").string();
  WriteFileBytes(server / "cupsd.conf",
                 "Listen " + socket +
                     "\nLogLevel warn\nBrowsing No\n<Location />\n  Order allow,deny\n  Allow all\n"
                     "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                     "</Policy>\n");
  WriteFileBytes(server / "cups-files.conf",
                 "ServerRoot " + server.string() + "\nStateDir " + (server / "state").string() +
                     "\nCacheDir " + (server / "cache").string() +
                     "\nDataDir /usr/share/cups\nServerBin /usr/lib/cups\nRequestRoot " +
                     (server / "spool").string() + "\nTempDir " + (server / "tmp").string() +
                     "\nAccessLog " + (server / "log/access_log").string() + "\nErrorLog " +
                     (server / "log/error_log").string() + "\nPageLog " +
                     (server / "log/page_log").string() + "\nFileDevice Yes\nPrintcap " +
                     (server / "printcap").string() + "\n");

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

  const std::string cupsd = Find("cupsd");
  if (cupsd.empty()) {
    problem_ = "cupsd is not installed (package cups-daemon)";
    return;
  }
  const std::string config = (server / "cupsd.conf").string(), files = (server / "cups-files.conf").string();
  std::vector<std::string> args{cupsd, "-f", "-c", config, "-s", files};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string log = (server / "log/cupsd.out").string();
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const int error = posix_spawn(&cupsd_, cupsd.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    cupsd_ = -1;
    problem_ = "cupsd could not be started";
    return;
  }
  // A bounded wait for the socket to appear: it is how cupsd says it is up.
  for (int round = 0; round < 3000 && !fs::exists(socket); ++round) {
    if (waitpid(cupsd_, nullptr, WNOHANG) == cupsd_) {
      cupsd_ = -1;
      problem_ = "cupsd ended at once: " + ReadFileBytes(log) + ReadFileBytes(server / "log/error_log");
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
  for (const auto& [name, value] : savedEnvironment_) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
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
