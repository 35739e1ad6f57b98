// WinMain of the Windows setting program: the real dialog host and the
// kernel32, registry, port-driver and WinExec services.
#include <windows.h>

#include "framework/win32/win32_host.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_launcher.h"
#include "platform/win32/win32_printer_store.h"
#include "platform/win32/win32_profile_store.h"
#include "platform/win32/win32_switch_port.h"
#include "setting/setting_app.h"

namespace {
qv::CSettingApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  qv::win32::Win32Host host(instance);
  qv::win32::Win32ProfileStore profile;
  qv::win32::Win32PrinterStore printers;
  qv::win32::Win32PortDriver portDriver;
  qv::win32::Win32SwitchPort switchPort(portDriver);
  qv::win32::Win32Launcher launcher;
  qv::win32::Win32Clock clock;
  return theApp.Run(host, qv::SettingServices{profile, printers, switchPort, launcher, clock});
}
