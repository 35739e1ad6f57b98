// CSettingDlg: the setting dialog with everything that does not depend on
// the number of printers: the icon, the configuration vocabulary, the
// printer rows, the port radios, the system-menu About item, painting when
// minimized, what Set ended with and the exit confirmation. CTwoPrinterDlg
// builds the dialog that the program shows on top of it.
#pragma once

#include <array>
#include <string>

#include "framework/dialog.h"
#include "setting/apply_settings.h"
#include "setting/setting_services.h"
#include "setting/vocabulary.h"

namespace qv {

class CSettingDlg : public CDialog {
 public:
  CSettingDlg(DialogHost& host, const SettingServices& services, int templateId,
              CDialog* parent = nullptr);

  // The print-setup chooser's flags: no selection, no page numbers, copies
  // in the device mode, no print-to-file box.
  static constexpr unsigned kPrintSetupFlags = 0x0014000C;
  // The open-file chooser's flags: hide read-only, the path must exist.
  static constexpr unsigned kOpenFileFlags = 0x0804;

  // The controls enabled and disabled together with each mode.
  static constexpr std::array<int, 9> kOnePcGroup = {1007, 1008, 1011, 1014, 1015,
                                                     1018, 1019, 1022, 1023};
  static constexpr std::array<int, 6> kTwoPcGroup = {1012, 1013, 1043, 1044, 1039, 1040};

 protected:
  // The OK command: the success message; the dialog stays open.
  void OnOK() override { ShowSetSuccess(); }
  // The Cancel command (Quit, Escape, the close box): asks before leaving.
  void OnCancel() override;

  // The part of the initialisation that does not depend on the mode groups;
  // `count` is the number of switch printer ports that the layout shows.
  virtual int InitPrinterControls(int count);

  void EnableOnePcGroup(bool enable);
  void EnableTwoPcGroup(bool enable);
  // Lets the user pick a printer for the slot; on OK it is stored and shown.
  void ChangePrinter(int slot);

  // The LPT port (1-3) that the port radios choose; LPT1 when none is checked.
  int CheckedPort() const;
  // What Set ended with: the success message, or the warning that the
  // settings were saved but the switch on LPT `lpt` was not told, or that
  // the configuration file did not take them.
  void ShowSetOutcome(SetOutcome outcome, int lpt);
  void ShowSetSuccess();

  void OnSysCommand(unsigned command);
  void OnAbout();
  void OnPaint();
  IconHandle OnQueryDragIcon() { return dialogIcon; }

  static const MessageTable* ClassMessageTable();
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }

  const SettingServices& Services() const { return services_; }

  IconHandle dialogIcon;
  ConfigVocabulary vocabulary;
  // Control ids of the printer rows: 0-3 the alias edits of ports A-D, 4-7
  // their printer-name fields, 8 the name field of the shared printer.
  std::array<int, 9> controlIds{};
  // Printer device names: 0 printer A, 1 printer B, 2 and 3 printers C and
  // D, 4 the shared printer, kept equal to printer A.
  std::array<std::string, 5> printerNames;

 private:
  SettingServices services_;
};

}  // namespace qv
