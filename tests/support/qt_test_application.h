// The one QApplication of a native test program, on Qt's offscreen platform,
// so that the Qt host's windows can be built and driven without a display;
// and the pictures of those windows that the tests leave for people to see.
#pragma once

#include <string>

class QApplication;
class QWidget;

namespace qv::testing {

// Made on the first call (named `name`, later names are ignored) and kept
// for the rest of the process; an application made elsewhere is reused.
QApplication& QtTestApplication(const char* name);

// Saves a picture of the window as linux-<name>.png in the folder that
// QV_ARTIFACTS names; nothing when it names none.
void SaveShot(QWidget* window, const std::string& name);

}  // namespace qv::testing
