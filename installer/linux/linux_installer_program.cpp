#include "installer/linux/linux_installer_program.h"

#include "framework/qt/qt_host.h"
#include "installer/install_app.h"
#include "installer/installation.h"
#include "installer/installer_resources.h"
#include "installer/linux/progress_control.h"
#include "framework/window_constants.h"
#include "resources/installer/resource.h"
#include "platform/posix/freedesktop_program_group.h"
#include "platform/posix/ini_profile_store.h"
#include "platform/posix/kernel_firmware_port_table.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_installer_file_system.h"
#include "platform/posix/read_once_profile_store.h"
#include "platform/posix/windows_path_profile_store.h"

namespace qv {

int RunLinuxInstaller(const LinuxInstallerOptions& options) {
  static CInstallApp theApp;
  auto resources = ResourceBundle::FromResFile(InstallerResourceBytes());
  if (!resources) return 1;
  qt::QtDialogHost host(std::move(*resources));
  // The path field shows and takes Linux paths, whose letter case matters:
  // it keeps the case the user types.
  host.AdjustTemplates([](int templateId, DialogTemplate& dialogTemplate) {
    if (templateId != IDD_SETUP) return;
    for (DialogItemTemplate& item : dialogTemplate.items)
      if (item.id == IDC_INSTALL_PATH) item.style &= ~kEsUpperCase;
  });
  if (options.prepare) options.prepare(host);

  auto userFiles = posix::PosixInstallerFileSystem::ForCurrentUser();
  InstallerFileSystem& files = options.files ? *options.files : userFiles;
  // The information file is named by a path beside the program, the
  // configuration file by its bare name: both reach the INI engine here.
  // The medium's file is read from the medium once, and only up to the
  // size a medium may carry.
  posix::IniProfileStore ini(posix::IniProfileStore::DefaultDirectory());
  posix::ReadOnceProfileStore once(ini, kLargestInfoFile);
  posix::WindowsPathProfileStore profile(once, userFiles.Paths());
  posix::KernelFirmwarePortTable portTable;
  qt::QtProgressControlClass progressClass(host);
  auto shell = posix::FreedesktopProgramGroup::ForCurrentUser();
  posix::PosixClock realClock;
  Clock& clock = options.clock ? *options.clock : realClock;
  return theApp.Run(host, InstallerServices{profile, files, portTable, progressClass, shell, clock});
}

}  // namespace qv
