// main of the native installer: Qt's application object, then the program
// with the Qt host and the Linux services.
#include <QApplication>

#include "installer/linux/linux_installer_program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("setup"));
  return qv::RunLinuxInstaller();
}
