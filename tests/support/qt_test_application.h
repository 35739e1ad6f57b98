// The one QApplication of a native test program, on Qt's offscreen platform,
// so that the Qt host's windows can be built and driven without a display.
#pragma once

class QApplication;

namespace qv::testing {

// Made on the first call (named `name`, later names are ignored) and kept
// for the rest of the process; an application made elsewhere is reused.
QApplication& QtTestApplication(const char* name);

}  // namespace qv::testing
