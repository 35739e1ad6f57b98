#include "tests/support/png_writer.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace qv::testing {
namespace {

std::uint32_t Crc32(const std::string& data, std::size_t from) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < data.size(); ++i)
    crc = table[(crc ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void PutBig32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void Chunk(std::string& out, const char* type, const std::string& body) {
  PutBig32(out, static_cast<std::uint32_t>(body.size()));
  const std::size_t start = out.size();
  out.append(type, 4);
  out += body;
  PutBig32(out, Crc32(out, start));
}

// The rows, each after its filter byte (none), as a zlib stream of stored
// deflate blocks.
std::string Zlib(int width, int height, const std::vector<std::uint8_t>& rgb) {
  std::string raw;
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(rgb.data()) + y * row, row);
  }
  std::string zlib = "\x78\x01";
  for (std::size_t pos = 0;; pos += 65535) {
    const std::size_t len = std::min<std::size_t>(65535, raw.size() - pos);
    const bool last = pos + len == raw.size();
    zlib.push_back(last ? 1 : 0);
    for (std::size_t byte : {len & 0xFF, len >> 8, ~len & 0xFF, (~len >> 8) & 0xFF})
      zlib.push_back(static_cast<char>(byte));
    zlib.append(raw, pos, len);
    if (last) break;
  }
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBig32(zlib, (b << 16) | a);
  return zlib;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgb) {
  std::string header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  std::string png = "\x89PNG\r\n\x1a\n";
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", Zlib(width, height, rgb));
  Chunk(png, "IEND", "");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(png.data(), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out);
}

}  // namespace qv::testing
