// WinMain of the Windows installer: the real dialog host and the kernel32,
// LZ expansion, firmware-table, window-class and shell services. The
// application object makes its frame brush when it is constructed, before
// WinMain runs.
#include <windows.h>

#include "framework/win32/win32_host.h"
#include "installer/install_app.h"
#include "installer/win32/progress_control.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_firmware_port_table.h"
#include "platform/win32/win32_installer_file_system.h"
#include "platform/win32/win32_profile_store.h"
#include "platform/win32/win32_shell_program_group.h"

namespace {
qv::CInstallApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  qv::win32::Win32Host host(instance);
  qv::win32::Win32ProfileStore profile;
  qv::win32::Win32InstallerFileSystem files;
  qv::win32::Win32FirmwarePortTable portTable;
  qv::win32::Win32ProgressControlClass progressClass(instance);
  qv::win32::Win32ShellProgramGroup shell;
  qv::win32::Win32Clock clock;
  return theApp.Run(host, qv::InstallerServices{profile, files, portTable, progressClass, shell, clock});
}
