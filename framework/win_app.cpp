#include "framework/win_app.h"

namespace qv {

int CWinApp::Run(DialogHost& host) {
  host_ = &host;
  InitInstance();
  // Dialog programs end when their start-up routine returns: the modal
  // dialog's own loop was the program's only message loop.
  host_ = nullptr;
  return 0;
}

}  // namespace qv
