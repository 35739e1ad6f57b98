#include "tests/support/expected_layout.h"

#include <algorithm>

#include "base/text_case.h"

namespace qv::expected {
namespace {

// The window class and the type bits of the style that each kind stands for.
struct KindTraits {
  ControlClass controlClass;
  std::uint32_t style;
};

KindTraits TraitsOf(Kind kind) {
  switch (kind) {
    case Kind::Icon: return {ControlClass::Static, kSsIcon};
    case Kind::Bitmap: return {ControlClass::Static, kSsBitmap};
    case Kind::GroupBox: return {ControlClass::Button, kBsGroupBox};
    case Kind::AutoRadio: return {ControlClass::Button, kBsAutoRadioButton};
    case Kind::Text: return {ControlClass::Static, kSsLeft};
    case Kind::CentredText: return {ControlClass::Static, kSsCenter};
    case Kind::Edit: return {ControlClass::Edit, kEsAutoHScroll};
    case Kind::PushButton: return {ControlClass::Button, kBsPushButton};
    case Kind::DefPushButton: return {ControlClass::Button, kBsDefPushButton};
    case Kind::Custom: break;
  }
  return {ControlClass::Named, 0};
}

std::vector<std::string> CompareWithLayout(const DialogTemplate& actual, const DialogLayout& expected) {
  std::vector<std::string> diffs;
  auto check = [&](bool ok, const std::string& what) {
    if (!ok) diffs.push_back(what);
  };
  check(actual.extended, "not a DIALOGEX template");
  check(actual.caption == expected.caption, "caption '" + actual.caption + "'");
  check(actual.cx == expected.cx && actual.cy == expected.cy,
        "size " + std::to_string(actual.cx) + "x" + std::to_string(actual.cy));
  check(actual.typeface == expected.font && actual.pointSize == expected.pointSize,
        "font " + actual.typeface + " " + std::to_string(actual.pointSize));
  check(actual.style == expected.style, "style " + std::to_string(actual.style));
  check(actual.exStyle == expected.exStyle, "extended style " + std::to_string(actual.exStyle));
  check(actual.items.size() == expected.controls.size(),
        "control count " + std::to_string(actual.items.size()));

  for (std::size_t i = 0; i < std::min(actual.items.size(), expected.controls.size()); ++i) {
    const DialogItemTemplate& a = actual.items[i];
    const ControlRow& e = expected.controls[i];
    const std::string where = "control #" + std::to_string(i) + " (id " + std::to_string(e.id) + "): ";
    check(static_cast<int>(a.id) == e.id, where + "id " + std::to_string(a.id));
    check(a.controlClass == TraitsOf(e.kind).controlClass, where + "class");
    const std::uint32_t typeMask = a.controlClass == ControlClass::Static ? kSsTypeMask : kBsTypeMask;
    if (e.kind == Kind::Custom) {
      // windres writes a class name in upper case; the platform compares
      // class names without regard to case.
      check(EqualsIgnoringCase(a.className, e.className ? e.className : ""),
            where + "class '" + a.className + "'");
    } else if (e.kind == Kind::Edit) {
      check((a.style & (kEsAutoHScroll | kWsBorder)) == (kEsAutoHScroll | kWsBorder),
            where + "edit without border or auto-scroll");
    } else {
      check((a.style & typeMask) == TraitsOf(e.kind).style,
            where + "kind style " + std::to_string(a.style));
    }
    if (e.kind == Kind::Icon || e.kind == Kind::Bitmap) {
      check(a.textOrdinal && *a.textOrdinal == e.resource, where + "image resource");
    } else {
      check(a.text == e.text, where + "text '" + a.text + "'");
    }
    check(a.x == e.x && a.y == e.y && a.cx == e.cx && a.cy == e.cy,
          where + "position " + std::to_string(a.x) + "," + std::to_string(a.y) + " " +
              std::to_string(a.cx) + "x" + std::to_string(a.cy));
    check(((a.style & kWsGroup) != 0) == e.group, where + "group flag");
    check(((a.style & kWsTabStop) != 0) == e.tab, where + "tab stop");
    check((a.style & (kWsChild | kWsVisible)) == (kWsChild | kWsVisible), where + "not a visible child");
    check((a.style & kWsDisabled) == 0, where + "starts disabled");
    if (e.style != 0) check(a.style == e.style, where + "style " + std::to_string(a.style));
  }
  return diffs;
}

}  // namespace

std::vector<std::string> CompareResources(const ResourceFinder& find, const ExpectedResources& expected) {
  std::vector<std::string> diffs;
  for (const DialogLayout* layout : expected.dialogs) {
    const std::string where = "dialog " + std::to_string(layout->id) + ": ";
    const auto bytes = find(ResourceType::Dialog, static_cast<unsigned>(layout->id));
    const auto dialog = bytes ? ParseDialogTemplate(*bytes) : std::nullopt;
    if (!dialog) {
      diffs.push_back(where + "missing");
      continue;
    }
    for (const std::string& diff : CompareWithLayout(*dialog, *layout)) diffs.push_back(where + diff);
  }
  for (const StringRow& row : *expected.strings) {
    // A string table block holds the strings id&~15 to id|15 as resource id/16+1.
    const auto block = find(ResourceType::String, row.id / 16 + 1);
    const auto text = block ? ParseStringTableEntry(*block, row.id) : std::nullopt;
    if (text != row.text) diffs.push_back("string " + std::to_string(row.id) + ": '" + text.value_or("<none>") + "'");
  }
  const auto icon = find(ResourceType::GroupIcon, expected.icon);
  const auto images = icon ? ParseGroupIcon(*icon) : std::nullopt;
  if (!images || images->empty()) diffs.push_back("icon " + std::to_string(expected.icon) + " without images");
  for (unsigned id : expected.bitmaps) {
    const auto bitmap = find(ResourceType::Bitmap, id);
    if (!bitmap || bitmap->size() <= 40) diffs.push_back("bitmap " + std::to_string(id) + " without content");
  }
  return diffs;
}

}  // namespace qv::expected
