// Counting the PC's parallel ports from the firmware's base-address table.
#include "installer/install_dlg.h"
#include "resources/installer/resource.h"

namespace qv {

int CInstallDlg::DetectParallelPorts(std::int32_t& count) {
  ShowStatus(IDS_CHECKING_PORTS);
  count = 0;
  if (const auto table = services_.portTable.ReadBaseAddresses()) {
    // A port counts by its standard base address, wherever it stands.
    for (const std::uint16_t base : *table)
      if (base == 0x378 || base == 0x3BC || base == 0x278) ++count;
  } else {
    // The platform refused the read (as every NT-family Windows does): the
    // ports that the system itself knows are the best count there is.
    count = services_.portTable.CountKnownPorts();
  }
  WaitWithMessages(kPauseMs);
  ClearStatus();
  return 1;
}

}  // namespace qv
