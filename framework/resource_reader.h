// The portable reader of compiled resources (.res files as windres writes
// them, and the raw resource data that the platform hands out): dialog
// templates, string tables, icons and bitmaps. The testing host and the Qt
// host build their controls from the very templates that the Windows
// programs link. Malformed data yields "nothing", never a read past the end.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qv {

enum class ResourceType : std::uint16_t {
  Cursor = 1,
  Bitmap = 2,
  Icon = 3,
  Menu = 4,
  Dialog = 5,
  String = 6,
  GroupIcon = 14,
};

// The predefined window classes that a template names by atom.
enum class ControlClass { Button, Edit, Static, ListBox, ScrollBar, ComboBox, Named };

struct DialogItemTemplate {
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::uint32_t id = 0;
  ControlClass controlClass = ControlClass::Named;
  std::string className;             // only for ControlClass::Named
  std::string text;                  // empty when the text is an ordinal
  std::optional<std::uint16_t> textOrdinal;  // a resource id (icon or bitmap of a static)
  std::vector<std::uint8_t> creationData;
};

struct DialogTemplate {
  bool extended = false;  // DIALOGEX
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string menu;
  std::string className;
  std::string caption;
  // Font, present when the style has DS_SETFONT.
  int pointSize = 0;
  int weight = 0;
  bool italic = false;
  int charset = 0;
  std::string typeface;
  std::vector<DialogItemTemplate> items;

  const DialogItemTemplate* Item(std::uint32_t id) const;
};

// Parses DIALOGEX and classic DIALOG templates. Texts come out as UTF-8.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> data);

// One block of a string table holds the 16 strings id&~15 .. id|15.
std::optional<std::string> ParseStringTableEntry(std::span<const std::uint8_t> block, unsigned id);

// A group-icon directory: the icon images by their resource ids.
struct IconDirectoryEntry {
  int width = 0, height = 0, bitCount = 0;
  std::uint16_t iconId = 0;
};
std::optional<std::vector<IconDirectoryEntry>> ParseGroupIcon(std::span<const std::uint8_t> data);

// A parsed .res file: each resource with a numeric type and id.
class ResourceBundle {
 public:
  static std::optional<ResourceBundle> FromResFile(std::span<const std::uint8_t> bytes);

  std::optional<std::span<const std::uint8_t>> Find(ResourceType type, unsigned id) const;
  std::optional<std::string> String(unsigned id) const;
  std::optional<DialogTemplate> Dialog(unsigned id) const;

 private:
  std::map<std::pair<std::uint16_t, std::uint16_t>, std::vector<std::uint8_t>> resources_;
};

}  // namespace qv
