#include "framework/dialog_manager.h"

#include "framework/window_constants.h"

namespace qv::dialog_manager {
namespace {

std::uint32_t ButtonType(const ControlView& c) { return c.style & kBsTypeMask; }
bool Usable(const ControlView& c) { return c.enabled && c.visible; }
bool IsTabStop(const ControlView& c) { return Usable(c) && (c.style & kWsTabStop) != 0; }
bool WantsArrows(const ControlView& c) {
  return c.controlClass == ControlClass::Edit || c.controlClass == ControlClass::ListBox ||
         c.controlClass == ControlClass::ComboBox || c.controlClass == ControlClass::ScrollBar;
}

// The controls [first, end) of the group that control `index` is in: from
// the last control with WS_GROUP at or before it (or the first control) up
// to the next control with WS_GROUP.
std::pair<std::size_t, std::size_t> GroupOf(Controls controls, std::size_t index) {
  std::size_t first = index;
  while (first > 0 && !(controls[first].style & kWsGroup)) --first;
  std::size_t end = first + 1;
  while (end < controls.size() && !(controls[end].style & kWsGroup)) ++end;
  return {first, end};
}

}  // namespace

bool IsPushButton(const ControlView& c) {
  return c.controlClass == ControlClass::Button &&
         (ButtonType(c) == kBsPushButton || ButtonType(c) == kBsDefPushButton);
}
bool IsRadioButton(const ControlView& c) {
  return c.controlClass == ControlClass::Button &&
         (ButtonType(c) == kBsAutoRadioButton || ButtonType(c) == kBsRadioButton);
}
bool IsAutoRadioButton(const ControlView& c) {
  return c.controlClass == ControlClass::Button && ButtonType(c) == kBsAutoRadioButton;
}

std::uint32_t StyleAfterCheck(const ControlView& c, bool checked) {
  if (!IsRadioButton(c)) return c.style;
  return checked ? (c.style | kWsTabStop) : (c.style & ~kWsTabStop);
}

unsigned DefaultId(Controls controls) {
  unsigned id = 0;
  for (const auto& c : controls)
    if (c.controlClass == ControlClass::Button && ButtonType(c) == kBsDefPushButton) id = c.id;
  return id;
}

std::optional<std::size_t> FirstFocus(Controls controls) { return NextTabStop(controls, std::nullopt, false); }

std::optional<std::size_t> NextTabStop(Controls controls, std::optional<std::size_t> from, bool backward) {
  const std::size_t n = controls.size();
  if (n == 0) return std::nullopt;
  if (!from) {
    if (backward) return std::nullopt;
    for (std::size_t i = 0; i < n; ++i)
      if (IsTabStop(controls[i])) return i;
    return std::nullopt;
  }
  for (std::size_t step = 1; step <= n; ++step) {
    const std::size_t i = (*from + (backward ? n - step % n : step)) % n;
    if (IsTabStop(controls[i])) return i;
  }
  return std::nullopt;
}

std::size_t NextInGroup(Controls controls, std::size_t from, bool backward) {
  const auto [first, end] = GroupOf(controls, from);
  const std::size_t size = end - first;
  for (std::size_t step = 1; step < size; ++step) {
    const std::size_t i = first + (from - first + (backward ? size - step : step)) % size;
    if (Usable(controls[i])) return i;
  }
  return from;
}

std::optional<ArrowMove> Arrow(Controls controls, std::size_t from, bool backward) {
  if (WantsArrows(controls[from])) return std::nullopt;
  const std::size_t next = NextInGroup(controls, from, backward);
  const ControlView& target = controls[next];
  // A radio button takes the focus directly; anything else as from Tab.
  if (IsRadioButton(target)) return ArrowMove{next, IsAutoRadioButton(target) && !target.checked, false};
  return ArrowMove{next, false, true};
}

std::vector<std::size_t> RadioMembersToUncheck(Controls controls, std::size_t clicked) {
  std::vector<std::size_t> members;
  const auto [first, end] = GroupOf(controls, clicked);
  for (std::size_t i = first; i < end; ++i)
    if (i != clicked && IsAutoRadioButton(controls[i]) && Usable(controls[i])) members.push_back(i);
  return members;
}

std::optional<std::size_t> DefaultLookAfterFocus(Controls controls, std::size_t focus, unsigned defaultId) {
  if (IsPushButton(controls[focus])) return focus;
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i].id == defaultId && IsPushButton(controls[i])) return i;
  return std::nullopt;
}

std::optional<unsigned> EnterCommand(Controls controls, std::optional<std::size_t> focused, unsigned defaultId) {
  if (focused && IsPushButton(controls[*focused]) && ButtonType(controls[*focused]) == kBsDefPushButton)
    return controls[*focused].id;
  if (defaultId == 0) return static_cast<unsigned>(kIdOk);
  for (const auto& c : controls)
    if (c.id == defaultId && !c.enabled) return std::nullopt;
  return defaultId;
}

std::vector<BoxButton> MessageBoxButtons(unsigned style) {
  switch (style & kMbButtonMask) {
    case kMbOkCancel: return {{kIdOk, "OK"}, {kIdCancel, "Cancel"}};
    case kMbAbortRetryIgnore: return {{kIdAbort, "&Abort"}, {kIdRetry, "&Retry"}, {kIdIgnore, "&Ignore"}};
    case kMbYesNoCancel: return {{kIdYes, "&Yes"}, {kIdNo, "&No"}, {kIdCancel, "Cancel"}};
    case kMbYesNo: return {{kIdYes, "&Yes"}, {kIdNo, "&No"}};
    case kMbRetryCancel: return {{kIdRetry, "&Retry"}, {kIdCancel, "Cancel"}};
    case kMbCancelTryContinue: return {{kIdCancel, "Cancel"}, {kIdTryAgain, "&Try Again"}, {kIdContinue, "&Continue"}};
    default: return {{kIdOk, "OK"}};
  }
}

std::optional<std::size_t> MessageBoxDefault(unsigned style) {
  const std::size_t index = (style >> 8) & 0x3;
  if (index < MessageBoxButtons(style).size()) return index;
  return std::nullopt;
}

int MessageBoxEnterAnswer(unsigned style) {
  const auto index = MessageBoxDefault(style);
  return index ? MessageBoxButtons(style)[*index].id : kIdOk;
}

int MessageBoxEscapeAnswer(unsigned /*style*/) { return kIdCancel; }

}  // namespace qv::dialog_manager
