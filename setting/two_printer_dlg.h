// CTwoPrinterDlg: the dialog that the setting program shows, for a switch
// with two printer ports and the two mode groups. It loads the stored
// configuration when it opens.
#pragma once

#include "setting/setting_dlg.h"

namespace qv {

class CTwoPrinterDlg : public CSettingDlg {
 public:
  CTwoPrinterDlg(DialogHost& host, const SettingServices& services);

 protected:
  bool OnInitDialog() override { return LoadSettings() != 0; }
  int LoadSettings();
  // Set: saves, makes the printer the default, sends the switch its command,
  // starts the file-transfer program where asked and reports success. The
  // dialog stays open.
  void OnOK() override;

  void OnOnePcMode();
  void OnTwoPcsMode();
  void OnChangePrinterA();
  void OnChangePrinterB();
  void OnChangeSharedPrinter();
  void OnBrowse();

  static const MessageTable* ClassMessageTable();
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

}  // namespace qv
