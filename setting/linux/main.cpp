// main of the native setting program: Qt's application object, then the
// program with the Qt host and the Linux services.
#include <QApplication>

#include "setting/linux/linux_setting_program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("QV27-518"));
  // The package's menu entry, so that desktops give the window its icon.
  QApplication::setDesktopFileName(QStringLiteral("org.qv27_518.setting"));
  return qv::RunLinuxSettingProgram();
}
