// Writes SZDD files for tests and benchmarks: the standard header and LZSS
// data in a 4096-byte window that starts filled with spaces, as Windows'
// LZ library expands it. Unlike Debian's mscompress it is right for inputs
// of any length, and it uses matches of every length up to 18 at every
// distance the window allows, so the expander's edge cases get exercised.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::testing {

// The 14-byte header: signature, method, the name's missing last
// character and the expanded length as given.
std::string SzddHeader(std::uint32_t expandedLength, char method = 'A', char missing = '\0');

// The whole compressed file for `data`.
std::string CompressSzdd(std::string_view data);

}  // namespace qv::testing
