// The Qt host's driver of the setting program, with what only that host
// has, and the print server that the native setting tests share: one per
// test program, as starting cupsd is the slowest part of a test.
#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "tests/support/program_driver.h"
#include "tests/support/throwaway_print_server.h"

class QMessageBox;
class QWidget;

namespace qv::testing {

ThrowawayPrintServer& SettingPrintServer();

class QtSettingDriver : public ProgramDriver {
 public:
  // The main dialog's widget, while the program runs.
  virtual QWidget* Dialog() = 0;

  // The program's other windows (menus, About, the choosers) go to these in
  // turn; each box is shown to `beforeAnswer` before it is answered.
  std::deque<std::function<void(QWidget*)>> others;
  std::function<void(QMessageBox*)> beforeAnswer;
};

std::unique_ptr<QtSettingDriver> MakeQtSettingDriver();

}  // namespace qv::testing
