// The launcher of the linux build: the command line is split by the Windows
// rules and the program started directly with posix_spawnp (no shell, so
// nothing in the line is interpreted beyond the splitting), found on PATH
// when its name has no '/'. A line that as a whole names an executable file
// is started as that one path, blanks and all, as the file chooser fills it
// in; otherwise an unquoted path with blanks is found by trying ever longer
// runs of its words, as Windows does. The program is not waited for.
#pragma once

#include "platform/launcher.h"

namespace qv::posix {

class SpawnLauncher final : public Launcher {
 public:
  // A blank line, or a program that cannot be started, starts nothing and
  // says nothing. Each started program gets a detached thread that waits
  // for it, so that it leaves no zombie behind whenever it ends, without
  // a SIGCHLD handler that would fight the host's own.
  void Start(std::string_view commandLine) override;
};

}  // namespace qv::posix
