#include "tests/support/szdd.h"

#include <array>
#include <utility>
#include <vector>

namespace qv::testing {
namespace {

constexpr std::string_view kMagic("SZDD\x88\xF0\x27\x33", 8);
constexpr std::size_t kWindow = 4096;
constexpr std::size_t kStart = kWindow - 16;  // where the first byte goes in the window
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
// A match must not reach so far back that its own output overwrites its
// source before it is read.
constexpr std::size_t kMaxDistance = kWindow - kMaxMatch;
constexpr int kChainDepth = 64;

std::uint32_t Hash(std::string_view data, std::size_t at) {
  return (static_cast<unsigned char>(data[at]) << 10 ^ static_cast<unsigned char>(data[at + 1]) << 5 ^
          static_cast<unsigned char>(data[at + 2])) & 0x7FFF;
}

// The 14-byte header: signature, method 'A', the name's missing last
// character (not kept), the expanded length as given.
std::string Header(std::uint32_t expandedLength) {
  std::string header(kMagic);
  header += std::string_view("A\0", 2);
  for (int shift = 0; shift < 32; shift += 8)
    header += static_cast<char>((expandedLength >> shift) & 0xFF);
  return header;
}

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

std::string CompressSzdd(std::string_view data) {
  std::string out = Header(static_cast<std::uint32_t>(data.size()));
  std::vector<long> head(0x8000, -1), previous(data.size(), -1);
  auto insert = [&](std::size_t at) {
    if (at + kMinMatch <= data.size())
      previous[at] = std::exchange(head[Hash(data, at)], static_cast<long>(at));
  };
  for (std::size_t at = 0; at < data.size();) {
    const std::size_t flagAt = out.size();
    out += '\0';
    unsigned char flags = 0;
    for (int bit = 0; bit < 8 && at < data.size(); ++bit) {
      std::size_t bestLength = 0, bestFrom = 0;
      long candidate = at + kMinMatch <= data.size() ? head[Hash(data, at)] : -1;
      for (int depth = 0; candidate >= 0 && depth < kChainDepth;
           ++depth, candidate = previous[candidate]) {
        const auto from = static_cast<std::size_t>(candidate);
        if (at - from > kMaxDistance) break;
        std::size_t length = 0;
        while (length < kMaxMatch && at + length < data.size() &&
               data[from + length] == data[at + length])
          ++length;
        if (length > bestLength) {
          bestLength = length;
          bestFrom = from;
        }
      }
      if (bestLength >= kMinMatch) {
        const std::size_t position = (kStart + bestFrom) % kWindow;
        out += static_cast<char>(position & 0xFF);
        out += static_cast<char>(((position >> 4) & 0xF0) | (bestLength - kMinMatch));
        for (std::size_t i = 0; i < bestLength; ++i) insert(at + i);
        at += bestLength;
      } else {
        flags |= static_cast<unsigned char>(1u << bit);  // a literal byte
        out += data[at];
        insert(at++);
      }
    }
    out[flagAt] = static_cast<char>(flags);
  }
  return out;
}

std::string SzddPack(std::string_view plain, std::optional<std::uint32_t> claimedLength) {
  std::string out = Header(claimedLength.value_or(static_cast<std::uint32_t>(plain.size())));
  for (std::size_t i = 0; i < plain.size(); i += 8) {
    const std::string_view group = plain.substr(i, 8);
    out += static_cast<char>((1u << group.size()) - 1);
    out += group;
  }
  return out;
}

}  // namespace qv::testing
