#include "setting/vocabulary.h"

#include "framework/dialog_host.h"
#include "resources/setting/resource.h"

namespace qv {

void ConfigVocabulary::Load(const DialogHost& host, int printerCount) {
  fileName = host.LoadText(IDS_INI_FILE);
  aliasSection = host.LoadText(IDS_SECTION_ALIAS);
  nameSection = host.LoadText(IDS_SECTION_NAME);
  printerKeyPrefix = host.LoadText(IDS_KEY_PRINTER);
  configSection = host.LoadText(IDS_SECTION_CONFIG);
  portCountKey = host.LoadText(IDS_KEY_PORT_COUNT);
  modeKey = host.LoadText(IDS_KEY_MODE);
  ftpPathKey = host.LoadText(IDS_KEY_FTP_PATH);
  selectA = host.LoadText(IDS_VALUE_PA);
  selectB = host.LoadText(IDS_VALUE_PB);
  broadcast = host.LoadText(IDS_VALUE_BROADCAST);
  modeFour = host.LoadText(IDS_MODE_FOUR);
  if (printerCount == 4) {
    selectC = host.LoadText(IDS_VALUE_PC);
    selectD = host.LoadText(IDS_VALUE_PD);
  }
  if (printerCount == 2) {
    ftpOn = host.LoadText(IDS_VALUE_FTP_ON);
    ftpOff = host.LoadText(IDS_VALUE_FTP_OFF);
    modeOnePc = host.LoadText(IDS_MODE_ONE_PC);
    modeTwoPcs = host.LoadText(IDS_MODE_TWO_PCS);
  }
}

}  // namespace qv
