// The platform's LZ file format (SZDD) for tests and benchmarks: the file
// system double expands it as the LZ library does, and the contracts build
// compressed fixtures (well-formed or damaged) in memory with it.
#pragma once

#include <cstdint>
#include <optional>
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

// The whole compressed file for `data`: LZSS data in a 4096-byte window
// that starts filled with spaces, as Windows' LZ library expands it. Unlike
// Debian's mscompress it is right for inputs of any length, and it uses
// matches of every length up to 18 at every distance the window allows, so
// the expander's edge cases get exercised.
std::string CompressSzdd(std::string_view data);

// A compressed file of `plain` (every byte a literal) whose header gives
// `claimedLength`, by default the true one.
std::string SzddPack(std::string_view plain, std::optional<std::uint32_t> claimedLength = {});

}  // namespace qv::testing
