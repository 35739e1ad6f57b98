#include "platform/posix/spawn_launcher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <system_error>
#include <thread>

#include "platform/posix/command_line_split.h"

extern char** environ;

namespace qv::posix {
namespace {

// The started program should not inherit what this one has set up for
// itself: a blocked signal set or an ignored SIGPIPE.
class CleanSignals {
 public:
  CleanSignals() {
    posix_spawnattr_init(&attributes_);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes_, &defaults);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~CleanSignals() { posix_spawnattr_destroy(&attributes_); }
  CleanSignals(const CleanSignals&) = delete;
  CleanSignals& operator=(const CleanSignals&) = delete;

  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

}  // namespace

void SpawnLauncher::Start(std::string_view commandLine) {
  std::vector<std::string> arguments = SplitCommandLine(commandLine);
  if (arguments.empty() || arguments.front().empty()) return;
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  const CleanSignals attributes;
  pid_t child = 0;
  // A program that cannot be executed makes posix_spawnp fail, and glibc
  // has already collected that child itself.
  if (posix_spawnp(&child, argv[0], nullptr, attributes.get(), argv.data(), environ) != 0) return;
  try {
    std::thread([child] {
      while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the child stays a zombie once it ends, until this
    // program ends; better than not starting it.
  }
}

}  // namespace qv::posix
