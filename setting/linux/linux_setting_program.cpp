#include "setting/linux/linux_setting_program.h"

#include <QCoreApplication>

#include "framework/qt/qt_host.h"
#include "platform/posix/cups_default_destination.h"
#include "platform/posix/cups_printer_store.h"
#include "platform/posix/ini_profile_store.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/ppdev_switch_port.h"
#include "platform/posix/spawn_launcher.h"
#include "setting/setting_app.h"
#include "setting/setting_resources.h"

namespace qv {
namespace {

// The print-setup chooser lists the printers that Set can make the default,
// with what the store tells of each.
qt::PrinterChoices ChoicesOf(PrinterStore& store) {
  qt::PrinterChoices choices;
  for (auto& printer : store.DescribePrinters()) {
    if (printer.isDefault) choices.current = printer.name;
    choices.printers.push_back({std::move(printer.name), std::move(printer.status), std::move(printer.type),
                                std::move(printer.where), std::move(printer.comment)});
  }
  // A list without a marked default asks the server for it by name; an
  // empty one (no server, or none that answers) does not wait twice.
  if (choices.current.empty() && !choices.printers.empty()) choices.current = posix::CupsDefaultDestination();
  return choices;
}

}  // namespace

int RunLinuxSettingProgram(const std::function<void(qt::QtDialogHost&)>& prepare) {
  static CSettingApp theApp;
  auto resources = ResourceBundle::FromResFile(SettingResourceBytes());
  if (!resources) return 1;
  posix::CupsPrinterStore printers;
  qt::QtDialogHost host(std::move(*resources), [&printers] { return ChoicesOf(printers); });
  if (prepare) prepare(host);
  posix::IniProfileStore profile(posix::IniProfileStore::DefaultDirectory());
  // While the port is held elsewhere (at most the port's bound), the dialog
  // repaints; the user's clicks wait until Set is over.
  posix::PpdevSwitchPort switchPort([] {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
  });
  posix::SpawnLauncher launcher;
  posix::PosixClock clock;
  return theApp.Run(host, SettingServices{profile, printers, switchPort, launcher, clock});
}

}  // namespace qv
