#include "tests/support/qt_test_application.h"

#include <QApplication>

#include <string>

namespace qv::testing {

QApplication& QtTestApplication(const char* name) {
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  // Qt keeps argc and argv for the application's whole life.
  static std::string argv0 = name;
  static int argc = 1;
  static char* argv[] = {argv0.data(), nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace qv::testing
