#include "framework/resource_reader.h"

#include <algorithm>

#include "framework/window_constants.h"

namespace qv {
namespace {

// Reads little-endian values from a span; any read past the end marks the
// reader as failed and yields zeros from then on.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  bool ok() const { return ok_; }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return ok_ ? data_.size() - pos_ : 0; }

  std::uint8_t U8() {
    if (!Need(1)) return 0;
    return data_[pos_++];
  }
  std::uint16_t U16() {
    if (!Need(2)) return 0;
    const std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    const std::uint32_t hi = U16();
    return lo | (hi << 16);
  }
  std::int16_t S16() { return static_cast<std::int16_t>(U16()); }

  std::span<const std::uint8_t> Bytes(std::size_t count) {
    if (!Need(count)) return {};
    auto out = data_.subspan(pos_, count);
    pos_ += count;
    return out;
  }

  void AlignTo(std::size_t boundary, std::size_t origin = 0) {
    const std::size_t rel = pos_ - origin;
    const std::size_t pad = (boundary - rel % boundary) % boundary;
    if (pad > 0) Bytes(std::min(pad, remaining()));
  }

  // A NUL-terminated UTF-16 string, as UTF-8.
  std::string WideString() {
    std::u16string wide;
    for (;;) {
      const std::uint16_t c = U16();
      if (!ok_ || c == 0) break;
      wide.push_back(static_cast<char16_t>(c));
    }
    return ToUtf8(wide);
  }

  // A name or ordinal field: 0xFFFF followed by a number, else a string.
  void NameOrOrdinal(std::string& name, std::optional<std::uint16_t>& ordinal) {
    if (remaining() >= 2 && data_[pos_] == 0xFF && data_[pos_ + 1] == 0xFF) {
      U16();
      ordinal = U16();
      name.clear();
    } else {
      ordinal.reset();
      name = WideString();
    }
  }

  static std::string ToUtf8(std::u16string_view wide) {
    std::string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
      std::uint32_t c = wide[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
          wide[i + 1] < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
        ++i;
      }
      if (c < 0x80) {
        out.push_back(static_cast<char>(c));
      } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      }
    }
    return out;
  }

 private:
  bool Need(std::size_t count) {
    if (!ok_ || count > data_.size() - pos_) {
      ok_ = false;
      return false;
    }
    return true;
  }

  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

ControlClass ClassFromAtom(std::uint16_t atom) {
  switch (atom) {
    case 0x80: return ControlClass::Button;
    case 0x81: return ControlClass::Edit;
    case 0x82: return ControlClass::Static;
    case 0x83: return ControlClass::ListBox;
    case 0x84: return ControlClass::ScrollBar;
    case 0x85: return ControlClass::ComboBox;
    default: return ControlClass::Named;
  }
}

ControlClass ClassFromName(const std::string& name) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "button") return ControlClass::Button;
  if (lower == "edit") return ControlClass::Edit;
  if (lower == "static") return ControlClass::Static;
  if (lower == "listbox") return ControlClass::ListBox;
  if (lower == "scrollbar") return ControlClass::ScrollBar;
  if (lower == "combobox") return ControlClass::ComboBox;
  return ControlClass::Named;
}

}  // namespace

const DialogItemTemplate* DialogTemplate::Item(std::uint32_t id) const {
  for (const auto& item : items)
    if (item.id == id) return &item;
  return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> data) {
  ByteReader r(data);
  DialogTemplate t;
  const std::uint16_t first = r.U16();
  const std::uint16_t second = r.U16();
  t.extended = (first == 1 && second == 0xFFFF);
  if (t.extended) {
    t.helpId = r.U32();
    t.exStyle = r.U32();
    t.style = r.U32();
  } else {
    t.style = first | (static_cast<std::uint32_t>(second) << 16);
    t.exStyle = r.U32();
  }
  const std::uint16_t count = r.U16();
  t.x = r.S16();
  t.y = r.S16();
  t.cx = r.S16();
  t.cy = r.S16();
  std::optional<std::uint16_t> ordinal;
  r.NameOrOrdinal(t.menu, ordinal);
  if (ordinal) t.menu = "#" + std::to_string(*ordinal);
  r.NameOrOrdinal(t.className, ordinal);
  if (ordinal) t.className = "#" + std::to_string(*ordinal);
  t.caption = r.WideString();
  if (t.style & kDsSetFont) {
    t.pointSize = r.U16();
    if (t.extended) {
      t.weight = r.U16();
      t.italic = r.U8() != 0;
      t.charset = r.U8();
    }
    t.typeface = r.WideString();
  }
  if (!r.ok()) return std::nullopt;

  for (std::uint16_t i = 0; i < count; ++i) {
    r.AlignTo(4);
    DialogItemTemplate item;
    if (t.extended) {
      item.helpId = r.U32();
      item.exStyle = r.U32();
      item.style = r.U32();
    } else {
      item.style = r.U32();
      item.exStyle = r.U32();
    }
    item.x = r.S16();
    item.y = r.S16();
    item.cx = r.S16();
    item.cy = r.S16();
    item.id = t.extended ? r.U32() : r.U16();
    std::optional<std::uint16_t> classAtom;
    r.NameOrOrdinal(item.className, classAtom);
    item.controlClass = classAtom ? ClassFromAtom(*classAtom) : ClassFromName(item.className);
    if (item.controlClass != ControlClass::Named) item.className.clear();
    r.NameOrOrdinal(item.text, item.textOrdinal);
    const std::uint16_t extra = r.U16();
    const auto bytes = r.Bytes(extra);
    item.creationData.assign(bytes.begin(), bytes.end());
    if (!r.ok()) return std::nullopt;
    t.items.push_back(std::move(item));
  }
  return t;
}

std::optional<std::string> ParseStringTableEntry(std::span<const std::uint8_t> block, unsigned id) {
  ByteReader r(block);
  const unsigned index = id & 15;
  for (unsigned i = 0; i < 16; ++i) {
    const std::uint16_t length = r.U16();
    const auto chars = r.Bytes(std::size_t{length} * 2);
    if (!r.ok()) return std::nullopt;
    if (i == index) {
      if (length == 0) return std::nullopt;
      std::u16string wide;
      for (std::size_t k = 0; k < length; ++k)
        wide.push_back(static_cast<char16_t>(chars[2 * k] | (chars[2 * k + 1] << 8)));
      return ByteReader::ToUtf8(wide);
    }
  }
  return std::nullopt;
}

std::optional<std::vector<IconDirectoryEntry>> ParseGroupIcon(std::span<const std::uint8_t> data) {
  ByteReader r(data);
  const std::uint16_t reserved = r.U16();
  const std::uint16_t type = r.U16();
  const std::uint16_t count = r.U16();
  if (!r.ok() || reserved != 0 || type != 1) return std::nullopt;
  std::vector<IconDirectoryEntry> entries;
  for (std::uint16_t i = 0; i < count; ++i) {
    IconDirectoryEntry e;
    const std::uint8_t w = r.U8();
    const std::uint8_t h = r.U8();
    e.width = w == 0 ? 256 : w;
    e.height = h == 0 ? 256 : h;
    r.U8();  // colour count
    r.U8();  // reserved
    r.U16();  // planes
    e.bitCount = r.U16();
    r.U32();  // bytes in resource
    e.iconId = r.U16();
    if (!r.ok()) return std::nullopt;
    entries.push_back(e);
  }
  return entries;
}

std::optional<ResourceBundle> ResourceBundle::FromResFile(std::span<const std::uint8_t> bytes) {
  ResourceBundle bundle;
  ByteReader r(bytes);
  while (r.remaining() > 0) {
    const std::size_t start = r.position();
    const std::uint32_t dataSize = r.U32();
    const std::uint32_t headerSize = r.U32();
    std::string typeName, idName;
    std::optional<std::uint16_t> type, id;
    r.NameOrOrdinal(typeName, type);
    r.NameOrOrdinal(idName, id);
    r.AlignTo(4, start);
    r.U32();  // data version
    r.U16();  // memory flags
    r.U16();  // language
    r.U32();  // version
    r.U32();  // characteristics
    if (!r.ok() || headerSize < r.position() - start || headerSize > bytes.size() - start)
      return std::nullopt;
    r.Bytes(start + headerSize - r.position());
    const auto data = r.Bytes(dataSize);
    if (!r.ok()) return std::nullopt;
    r.AlignTo(4, start);
    // The first entry of a .res file is an empty marker; named resources are
    // not used by the programs.
    if (type && id && dataSize > 0)
      bundle.resources_[{*type, *id}] = std::vector<std::uint8_t>(data.begin(), data.end());
  }
  return bundle;
}

std::optional<std::span<const std::uint8_t>> ResourceBundle::Find(ResourceType type, unsigned id) const {
  const auto it = resources_.find({static_cast<std::uint16_t>(type), static_cast<std::uint16_t>(id)});
  if (it == resources_.end()) return std::nullopt;
  return std::span<const std::uint8_t>(it->second);
}

std::optional<std::string> ResourceBundle::String(unsigned id) const {
  const auto block = Find(ResourceType::String, (id >> 4) + 1);
  if (!block) return std::nullopt;
  return ParseStringTableEntry(*block, id);
}

std::optional<DialogTemplate> ResourceBundle::Dialog(unsigned id) const {
  const auto data = Find(ResourceType::Dialog, id);
  if (!data) return std::nullopt;
  return ParseDialogTemplate(*data);
}

}  // namespace qv
