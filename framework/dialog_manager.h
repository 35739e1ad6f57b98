// The Windows dialog manager's rules, for the hosts that must imitate them
// (Qt, testing): where the focus starts, what Tab, the arrow keys and Enter
// do, which members of a radio set a click unchecks, and the buttons,
// default and Escape answer of a message box. The hosts keep the controls;
// these functions only decide, from a view of them at that moment. Each
// rule is pinned by the host contract, with the win32 host under Wine as
// the reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "framework/resource_reader.h"

namespace qv::dialog_manager {

// One control as the dialog manager sees it now, in template order.
struct ControlView {
  unsigned id = 0;
  ControlClass controlClass = ControlClass::Named;
  // The control's current style: a radio button's tab stop follows its
  // check, and a push button carries the default look (BS_DEFPUSHBUTTON)
  // while the dialog manager gives it that.
  std::uint32_t style = 0;
  bool enabled = true;
  bool visible = true;
  bool checked = false;
};
using Controls = std::span<const ControlView>;

bool IsPushButton(const ControlView& control);
bool IsRadioButton(const ControlView& control);
bool IsAutoRadioButton(const ControlView& control);

// The style that a button has after its check changed: a radio button is a
// tab stop exactly while it is checked (the platform's BM_SETCHECK).
std::uint32_t StyleAfterCheck(const ControlView& control, bool checked);

// The default id of a dialog from its template: the last push button with
// BS_DEFPUSHBUTTON (the platform takes the look away from earlier ones), 0
// when there is none.
unsigned DefaultId(Controls controls);

// The control that gets the focus when the dialog's initialisation asks for
// the platform's choice: the first visible, enabled tab stop.
std::optional<std::size_t> FirstFocus(Controls controls);

// Tab (or Shift+Tab): the next visible, enabled tab stop after `from`
// (before it), round the dialog; from no control, the first (none).
std::optional<std::size_t> NextTabStop(Controls controls, std::optional<std::size_t> from, bool backward);

// The next (previous) visible, enabled control of the group of `from`, round
// the group; `from` itself when there is no other.
std::size_t NextInGroup(Controls controls, std::size_t from, bool backward);

// What an arrow key on the focused control `from` does.
struct ArrowMove {
  std::size_t focus;  // the control that gets the focus
  bool click;         // an unchecked automatic radio button is clicked
  bool byKeyboard;    // the focus moves as Tab moves it (the default look follows)
};
// No move where the control keeps the arrow keys for itself (an edit).
std::optional<ArrowMove> Arrow(Controls controls, std::size_t from, bool backward);

// The members of the radio set of `clicked` whose check a click on it takes
// away: the other visible, enabled automatic radio buttons of its group.
std::vector<std::size_t> RadioMembersToUncheck(Controls controls, std::size_t clicked);

// The push button that wears the default look once the keyboard moved the
// focus to `focus`: that control when it is a push button, else the button
// of the default id; none when neither is a push button.
std::optional<std::size_t> DefaultLookAfterFocus(Controls controls, std::size_t focus, unsigned defaultId);

// The command that Enter sends, or none: the focused control's own id when
// it wears the default look; else the default id while its button is
// enabled (or no control has that id); IDOK in a dialog without one.
std::optional<unsigned> EnterCommand(Controls controls, std::optional<std::size_t> focused, unsigned defaultId);

// A message box's buttons, in the platform's order, with their ids and texts.
struct BoxButton {
  int id;
  std::string_view text;
};
std::vector<BoxButton> MessageBoxButtons(unsigned style);
// The index of the default button, which has the focus and answers Enter;
// none when the style names a button that the box does not have.
std::optional<std::size_t> MessageBoxDefault(unsigned style);
// The answer of Enter pressed straight away: the default button's id, IDOK
// in a box without a default button.
int MessageBoxEnterAnswer(unsigned style);
// The answer of Escape (and the close box): IDCANCEL, whatever the
// buttons, as the platform's box ends on the Cancel command.
int MessageBoxEscapeAnswer(unsigned style);

}  // namespace qv::dialog_manager
