// Driving a native program's Qt windows in process as a user would: the
// controls by their resource ids, buttons by their text, and the message
// boxes answered in the order they come, their texts kept for the checks.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/program_driver.h"

class QMessageBox;
class QString;
class QWidget;

namespace qv::testing {

// The control with the resource id, or null.
QWidget* Control(QWidget* dialog, int id);
// A mouse click on the control; a missing control fails the test.
void Click(QWidget* dialog, int id);
// Replaces an edit field's text key by key, as a user types over it.
void TypeInto(QWidget* dialog, int id, std::string_view text);
// What an edit field or a static text shows.
std::string ControlText(QWidget* dialog, int id);
// Clicks the window's button with the text (without its mnemonic's &).
void PressButton(QWidget* window, const QString& text);

// The answers to the message boxes that a scenario expects, in order.
struct MessageBoxAnswers {
  std::deque<std::function<void(QMessageBox*)>> answers;
  std::vector<BoxSeen> seen;  // every box, as shown

  std::vector<std::string> Texts() const;
  // Expects one more box, answered with `answer` once `first` has seen it.
  void Expect(int answer, std::function<void(QMessageBox*)> first = {});
  // Runs `act`; the boxes it showed. Answers for boxes that did not come
  // are dropped, so that they answer nothing later.
  std::vector<BoxSeen> During(const std::function<void()>& act);

  // Answers `window` when it is a message box (one that none expected is
  // a failure, and is closed with OK); false for any other window.
  bool Answer(QWidget* window);
};

// What a program's host does with each window it shows: a message box goes to
// `boxes`, one that `main` takes (the main dialog) is its, any other goes to
// the next of `others`; a window that none expects fails the test and closes.
std::function<void(QWidget*)> RouteWindows(MessageBoxAnswers& boxes,
                                           std::deque<std::function<void(QWidget*)>>* others,
                                           std::function<bool(QWidget*)> main);

}  // namespace qv::testing
