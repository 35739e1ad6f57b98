// The native setting program once Qt is up: the Qt host over the embedded
// setting resources, and the Linux services (configuration directory, CUPS,
// ppdev, posix_spawn, the monotonic clock). main() calls it; the end-to-end
// test runs it in process with an observer on the host.
#pragma once

#include <functional>

namespace qv {

namespace qt {
class QtDialogHost;
}

// Runs the setting program; `prepare` sees the host before the dialog opens.
int RunLinuxSettingProgram(const std::function<void(qt::QtDialogHost&)>& prepare = {});

}  // namespace qv
