# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedFile.cmake
# Writes a C++ source whose function qv::<name>() returns the bytes of INPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.
#include <cstddef>
#include <cstdint>
#include <span>

namespace qv {
namespace {
const std::uint8_t kBytes[${size}] = {
    ${bytes}
};
}  // namespace
std::span<const std::uint8_t> ${SYMBOL}() { return kBytes; }
}  // namespace qv
")
