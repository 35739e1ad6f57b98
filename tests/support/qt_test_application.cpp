#include "tests/support/qt_test_application.h"

#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
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

void SaveShot(QWidget* window, const std::string& name) {
  namespace fs = std::filesystem;
  const char* artifacts = std::getenv("QV_ARTIFACTS");
  if (!artifacts || !*artifacts) return;
  fs::create_directories(artifacts);
  window->grab().save(QString::fromStdString((fs::path(artifacts) / ("linux-" + name + ".png")).string()));
}

}  // namespace qv::testing
