// CTwoPrinterDlg: the dialog that the setting program shows, for a switch
// with two printer ports and the two mode groups. It loads the stored
// configuration when it opens.
#pragma once

#include "setting/set_request.h"
#include "setting/setting_dlg.h"

namespace qv {

class CTwoPrinterDlg : public CSettingDlg {
 public:
  CTwoPrinterDlg(DialogHost& host, const SettingServices& services);

 protected:
  bool OnInitDialog() override { return LoadSettings() != 0; }
  int LoadSettings();
  // Set: reads the request, asks about Broadcast to unlike printers, has
  // ApplySettings carry it out and says how it went. The dialog stays open.
  void OnOK() override;
  SetRequest ReadSetRequest() const;

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
