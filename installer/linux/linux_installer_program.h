// The native installer once Qt is up: the Qt host over the embedded installer
// resources with the "Percent" control registered, and the Linux services
// (file system over the home, kernel port list, freedesktop menus, the
// monotonic clock). main() calls it; the end-to-end test runs it in process
// with an observer on the host, its own medium path and a stepping clock.
#pragma once

#include <functional>

namespace qv {

class Clock;
class InstallerFileSystem;

namespace qt {
class QtDialogHost;
}

struct LinuxInstallerOptions {
  // Sees the host before the dialog opens.
  std::function<void(qt::QtDialogHost&)> prepare;
  // The current user's file system and the real clock when not given.
  InstallerFileSystem* files = nullptr;
  Clock* clock = nullptr;
};

int RunLinuxInstaller(const LinuxInstallerOptions& options = {});

}  // namespace qv
