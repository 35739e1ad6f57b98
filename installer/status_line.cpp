// The status line and the pause that every step of the installer uses.
#include <string>

#include "installer/install_dlg.h"

namespace qv {

Text256 CInstallDlg::FormatWithText(unsigned stringId, std::string_view text) const {
  // The format and the result each live in 256 bytes; the first "%s" takes
  // the text up to its first NUL (there is one text only, so a further "%s"
  // takes nothing), "%%" stands for one percent sign, and anything else is
  // copied as it is.
  const Text256 format(LoadText(stringId));
  const Text256 argument(text);
  std::string result;
  bool used = false;
  const std::string_view f = format.view();
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] == '%' && i + 1 < f.size() && f[i + 1] == 's') {
      if (!used) result += argument.view();
      used = true;
      ++i;
    } else if (f[i] == '%' && i + 1 < f.size() && f[i + 1] == '%') {
      result += '%';
      ++i;
    } else {
      result += f[i];
    }
  }
  return Text256(result);
}

void CInstallDlg::ShowStatus(unsigned stringId) { SetItemText(statusCtrl, LoadText(stringId)); }

void CInstallDlg::ShowStatusFormatted(unsigned stringId, std::string_view text) {
  SetItemText(statusCtrl, FormatWithText(stringId, text).view());
}

void CInstallDlg::ClearStatus() { SetItemText(statusCtrl, ""); }

void CInstallDlg::WaitWithMessages(std::uint32_t ms) {
  Clock& clock = services_.clock;
  const std::uint32_t start = clock.TickCount();
  for (;;) {
    // The unsigned difference stays right when the tick count wraps.
    const std::uint32_t elapsed = clock.TickCount() - start;
    if (elapsed >= ms) return;
    if (!PumpOneMessage()) Host().WaitForMessage(ms - elapsed);
  }
}

bool CInstallDlg::PumpOneMessage() { return CDialog::PumpOneMessage(); }

}  // namespace qv
