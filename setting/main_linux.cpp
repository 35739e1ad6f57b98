// main of the native setting program: Qt's application object, then the
// program with the Qt host and the Linux services.
#include <QApplication>

#include "setting/linux_setting_program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("QV27-518"));
  return qv::RunLinuxSettingProgram();
}
