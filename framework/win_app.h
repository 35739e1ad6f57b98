// CWinApp: the application object of a program. Each program defines one
// static object of its own subclass; main (linux) or WinMain (win32) chooses
// the host and the services, hands them over and calls Run, which runs the
// start-up routine InitInstance.
#pragma once

#include "framework/dialog_host.h"

namespace qv {

class CWinApp {
 public:
  virtual ~CWinApp() = default;

  // Runs the start-up routine. When it returns false no message loop
  // follows and the program ends; the exit code is then 0.
  int Run(DialogHost& host);

 protected:
  virtual bool InitInstance() = 0;

  DialogHost& Host() const { return *host_; }
  // The three-dimensional drawing of dialog controls (and the control
  // library behind it) is switched on by the host.
  void Enable3dControls() { host_->PrepareControls(); }

 private:
  DialogHost* host_ = nullptr;
};

}  // namespace qv
