#include "framework/qt/resource_images.h"

#include <QByteArray>
#include <QPixmap>

#include <cstdint>
#include <span>

namespace qv::qt {
namespace {

void PutU16(QByteArray& out, std::uint32_t v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>((v >> 8) & 0xFF));
}
void PutU32(QByteArray& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
  if (at + 4 > d.size()) return 0;
  return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}
std::uint16_t U16(std::span<const std::uint8_t> d, std::size_t at) {
  if (at + 2 > d.size()) return 0;
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

// One image of a group icon as a .ico file of its own.
QImage IconImage(std::span<const std::uint8_t> image, const IconDirectoryEntry& entry) {
  QByteArray file;
  PutU16(file, 0);
  PutU16(file, 1);  // icon
  PutU16(file, 1);  // one image
  file.append(static_cast<char>(entry.width >= 256 ? 0 : entry.width));
  file.append(static_cast<char>(entry.height >= 256 ? 0 : entry.height));
  file.append(char(0));  // colour count
  file.append(char(0));
  PutU16(file, 1);  // planes
  PutU16(file, static_cast<std::uint32_t>(entry.bitCount));
  PutU32(file, static_cast<std::uint32_t>(image.size()));
  PutU32(file, 6 + 16);
  file.append(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
  QImage result;
  result.loadFromData(file, "ICO");
  return result;
}

}  // namespace

QIcon IconFromResources(const ResourceBundle& resources, unsigned id) {
  QIcon icon;
  const auto group = resources.Find(ResourceType::GroupIcon, id);
  if (!group) return icon;
  const auto entries = ParseGroupIcon(*group);
  if (!entries) return icon;
  for (const auto& entry : *entries) {
    const auto image = resources.Find(ResourceType::Icon, entry.iconId);
    if (!image) continue;
    const QImage decoded = IconImage(*image, entry);
    if (!decoded.isNull()) icon.addPixmap(QPixmap::fromImage(decoded));
  }
  return icon;
}

QImage IconImageFromResources(const ResourceBundle& resources, unsigned id) {
  QImage best;
  const auto group = resources.Find(ResourceType::GroupIcon, id);
  if (!group) return best;
  const auto entries = ParseGroupIcon(*group);
  if (!entries) return best;
  for (const auto& entry : *entries) {
    const auto image = resources.Find(ResourceType::Icon, entry.iconId);
    if (!image) continue;
    QImage decoded = IconImage(*image, entry);
    if (!decoded.isNull() && decoded.width() * decoded.height() > best.width() * best.height())
      best = decoded;
  }
  return best;
}

QImage BitmapFromResources(const ResourceBundle& resources, unsigned id) {
  const auto dib = resources.Find(ResourceType::Bitmap, id);
  if (!dib || dib->size() < 16) return {};
  // The file header that a .bmp file carries before the DIB: the offset of
  // the pixels is the info header, the bit masks and the palette.
  const std::uint32_t headerSize = U32(*dib, 0);
  std::uint32_t bitCount = 0, compression = 0, coloursUsed = 0;
  if (headerSize == 12) {
    bitCount = U16(*dib, 10);
  } else if (headerSize >= 40) {
    bitCount = U16(*dib, 14);
    compression = U32(*dib, 16);
    coloursUsed = U32(*dib, 32);
  } else {
    return {};
  }
  const std::uint32_t entrySize = headerSize == 12 ? 3 : 4;
  std::uint32_t colours = coloursUsed ? coloursUsed : (bitCount <= 8 ? (1u << bitCount) : 0);
  if (colours > 256) return {};
  std::uint32_t masks = (headerSize == 40 && (compression == 3 || compression == 6)) ? 12 : 0;
  const std::uint64_t offset = 14ull + headerSize + masks + colours * entrySize;
  if (offset > dib->size() + 14ull) return {};
  QByteArray file("BM");
  PutU32(file, static_cast<std::uint32_t>(14 + dib->size()));
  PutU32(file, 0);
  PutU32(file, static_cast<std::uint32_t>(offset));
  file.append(reinterpret_cast<const char*>(dib->data()), static_cast<qsizetype>(dib->size()));
  QImage result;
  result.loadFromData(file, "BMP");
  return result;
}

}  // namespace qv::qt
