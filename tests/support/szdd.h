// The platform's LZ file format (SZDD) for tests: the file system double
// expands it as the LZ library does, and the contract builds compressed
// fixtures (well-formed or damaged) in memory with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::testing {

inline constexpr std::size_t kSzddHeaderSize = 14;

// True when the bytes start with the eight-byte signature.
bool HasSzddSignature(std::string_view bytes);
// The expanded length that a whole header gives.
std::uint32_t SzddClaimedLength(std::string_view bytes);
// The data after the header decoded to its end, as the LZ library does,
// without looking at the header's length.
std::string SzddExpand(std::string_view bytes);

// A compressed file of `plain` (every byte a literal) whose header gives
// `claimedLength` and `method`.
std::string SzddPack(std::string_view plain, std::uint32_t claimedLength, char method = 'A');
inline std::string SzddPack(std::string_view plain) {
  return SzddPack(plain, static_cast<std::uint32_t>(plain.size()));
}

}  // namespace qv::testing
