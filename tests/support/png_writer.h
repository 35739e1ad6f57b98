// Writes screenshots as PNG files (uncompressed deflate blocks: large, but
// any viewer opens them and nothing beyond the standard library is needed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::testing {

// rgb: width * height pixels, 3 bytes each, top row first.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace qv::testing
