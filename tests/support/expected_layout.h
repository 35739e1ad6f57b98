// The expected layout of a program's dialogs and string table, as the
// user sees them, and the comparison of a compiled template with it. Each
// program's tests hold its tables; the native tests check the compiled .res,
// the Wine tests the resources inside the real executable.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/resource_reader.h"
#include "framework/window_constants.h"

namespace qv::expected {

// Custom: a control of a window class of the program's own (`className`).
enum class Kind { Icon, Bitmap, GroupBox, AutoRadio, Text, CentredText, Edit, PushButton, DefPushButton, Custom };

struct ControlRow {
  int id;
  Kind kind;
  const char* text;  // for icons and bitmaps: unused (the resource id is in `resource`)
  int x, y, cx, cy;
  bool group;
  bool tab;
  int resource = 0;
  const char* className = nullptr;  // Custom only
  std::uint32_t style = 0;          // when not 0: the whole style, exactly
};

struct DialogLayout {
  int id;
  const char* caption;
  int cx, cy;
  const char* font;
  int pointSize;
  std::uint32_t style;
  std::uint32_t exStyle;
  std::vector<ControlRow> controls;
};

struct StringRow {
  unsigned id;
  const char* text;
};

// Everything expected of a program's resources.
struct ExpectedResources {
  std::vector<const DialogLayout*> dialogs;
  const std::vector<StringRow>* strings = nullptr;
  unsigned icon = 0;
  std::vector<unsigned> bitmaps;
};

// The raw bytes of one resource, from a compiled .res or from an executable.
using ResourceFinder = std::function<std::optional<std::span<const std::uint8_t>>(ResourceType, unsigned id)>;

// Compares the resources with the documentation: the dialogs, every string,
// an icon with images and bitmaps with content. Returns the differences, one
// line each (empty when they agree).
std::vector<std::string> CompareResources(const ResourceFinder& find, const ExpectedResources& expected);

}  // namespace qv::expected
