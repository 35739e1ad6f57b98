// The native setup in process, as main() runs it, for the scenarios' Qt
// driver and the sample medium's test: a throwaway home of the run's own,
// and the program started from a medium folder of the test's, on a clock
// that moves on whenever it is read, so that no pause waits in real time.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "tests/support/qt_program_driver.h"
#include "tests/support/temp_dir.h"

class QWidget;

namespace qv {
class Clock;
}

namespace qv::testing {

// HOME points at a fresh folder (drive C: to setup), the XDG folders follow
// it, and no print server answers; all as it was again afterwards.
class ThrowawayHome {
 public:
  ThrowawayHome();
  ~ThrowawayHome();
  const std::filesystem::path& path() const { return dir_.path(); }
  std::filesystem::path operator/(std::string_view name) const { return dir_ / name; }

 private:
  TempDir dir_;
  std::filesystem::path workingDirectory_ = std::filesystem::current_path();
  std::map<std::string, std::string> saved_;
};

// Runs setup from `medium`: each message box goes to `boxes`, the main
// dialog to `ready` once its start-up is done, every other window to the
// next of `others`. Its exit code.
int RunNativeSetup(const std::filesystem::path& medium, Clock& clock, MessageBoxAnswers& boxes,
                   const std::function<void(QWidget*)>& ready,
                   std::deque<std::function<void(QWidget*)>>* others = nullptr);

// The ports setup finds on this machine.
int NativePortCount();

}  // namespace qv::testing
