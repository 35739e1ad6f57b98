// SZDD expansion over open file descriptors, by libmspack's decompressor.
// The caller owns both descriptors; the input is read from its current
// position (the start of the SZDD header), the output written from its own.
// At most `inputLimit` bytes are read (a file that grows while it is read
// ends where it was), and more than `outputLimit` bytes of output fail the
// expansion: a header's length is all that a file may expand to.
#pragma once

#include <cstdint>

namespace qv::posix {

struct SzddExpansion {
  bool ok = false;             // libmspack reported no read, write or format error
  std::uint64_t written = 0;   // bytes written to the output
};

SzddExpansion ExpandSzdd(int input, int output, std::uint64_t inputLimit, std::uint64_t outputLimit);

}  // namespace qv::posix
