#include "tests/support/szdd.h"

#include <array>

namespace qv::testing {
namespace {

constexpr std::string_view kMagic("SZDD\x88\xF0\x27\x33", 8);

}  // namespace

bool HasSzddSignature(std::string_view bytes) { return bytes.substr(0, kMagic.size()) == kMagic; }

std::uint32_t SzddClaimedLength(std::string_view bytes) {
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<unsigned char>(bytes.at(10 + i));
  return length;
}

std::string SzddExpand(std::string_view bytes) {
  // A 4096-byte ring filled with spaces, written from 4096 - 16; each flag
  // byte announces eight items, low bit first: a set bit a literal byte,
  // a clear bit a 12-bit position and a 4-bit length (plus 3) into the ring.
  std::array<char, 4096> ring;
  ring.fill(' ');
  std::size_t at = ring.size() - 16;
  std::string out;
  std::size_t in = kSzddHeaderSize;
  const auto next = [&](unsigned& value) {
    if (in >= bytes.size()) return false;
    value = static_cast<unsigned char>(bytes[in++]);
    return true;
  };
  for (unsigned flags = 0;;) {
    if (!next(flags)) return out;
    for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
      unsigned first = 0, second = 0;
      if (flags & 1) {
        if (!next(first)) return out;
        out += ring[at] = static_cast<char>(first);
        at = (at + 1) % ring.size();
        continue;
      }
      if (!next(first) || !next(second)) return out;
      std::size_t from = first | ((second & 0xF0u) << 4);
      for (unsigned n = (second & 0x0Fu) + 3; n > 0; --n) {
        out += ring[at] = ring[from];
        from = (from + 1) % ring.size();
        at = (at + 1) % ring.size();
      }
    }
  }
}

std::string SzddPack(std::string_view plain, std::uint32_t claimedLength, char method) {
  std::string out(kMagic);
  out += method;
  out += '\0';
  for (int i = 0; i < 4; ++i) out += static_cast<char>((claimedLength >> (8 * i)) & 0xFF);
  for (std::size_t i = 0; i < plain.size(); i += 8) {
    const std::string_view group = plain.substr(i, 8);
    out += static_cast<char>((1u << group.size()) - 1);
    out += group;
  }
  return out;
}

}  // namespace qv::testing
