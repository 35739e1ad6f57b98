// The host contract: cases that every dialog host must pass the way the
// win32 host does under Wine, so that a host kinder than the platform
// cannot hide a fault. Each host adds one HostDriver and one instantiation.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "framework/dialog_host.h"

namespace qv {

// The keys whose handling the dialog manager owns (the drivers map them in
// this order).
enum class Key { Enter, Escape, Tab, Down, Up };

// A host under test and the user's side of it. Every action is taken from
// inside a handler of the open dialog and is handled before it returns.
class HostDriver {
 public:
  virtual ~HostDriver() = default;
  virtual DialogHost& Host() = 0;

  // A mouse click on the button or edit `id`.
  virtual void Click(CDialog& dialog, int id) = 0;
  // The user selects all of edit `id` and types `text` over it.
  virtual void Type(CDialog& dialog, int id, std::string_view text) = 0;
  // The user selects all of edit `id` and pastes `text` over it from the
  // clipboard.
  virtual void Paste(CDialog& dialog, int id, std::string_view text) = 0;
  // A key pressed on the control that has the focus, handled the way the
  // platform's dialog manager does.
  virtual void PressKey(CDialog& dialog, Key key) = 0;
  void PressEnter(CDialog& dialog) { PressKey(dialog, Key::Enter); }
  virtual void SystemCommand(CDialog& dialog, unsigned command) = 0;
  // The notification `code` that control `id` sends its dialog.
  virtual void Notify(CDialog& dialog, int id, unsigned code) = 0;
  // The id of the control that has the focus; 0 when none of the dialog's.
  virtual int FocusedItem(const CDialog& dialog) = 0;
  // From a handler that an open message box's loop dispatched: the user
  // answers the box with the button `answer`.
  virtual void AnswerOpenMessageBox(const CDialog& owner, int answer) = 0;
  // From such a handler: the user presses `key` in the open message box;
  // when the key leaves the box open, the user then presses `otherwise`.
  virtual void PressKeyInOpenMessageBox(const CDialog& owner, Key key, int otherwise) = 0;
  // The same for an open chooser: the user cancels it.
  virtual void CancelOpenChooser(const CDialog& owner) = 0;
};

struct HostUnderTest {
  std::string name;
  std::function<std::unique_ptr<HostDriver>()> make;
};

template <class Driver>
HostUnderTest HostOf(std::string name) {
  return {std::move(name), [] { return std::unique_ptr<HostDriver>(new Driver); }};
}

class HostContract : public ::testing::TestWithParam<HostUnderTest> {
 protected:
  void SetUp() override { driver = GetParam().make(); }
  std::unique_ptr<HostDriver> driver;
};

inline void PrintTo(const HostUnderTest& host, std::ostream* out) { *out << host.name; }
inline std::string HostName(const ::testing::TestParamInfo<HostUnderTest>& info) { return info.param.name; }

}  // namespace qv
