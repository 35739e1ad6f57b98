// Texts stored as bytes in the Windows ANSI code page of the PCs they were
// made for (Windows-1252): the Windows programs show them so. Linux menus
// and Qt's controls take UTF-8 only, so such texts are converted on the way
// there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Every byte as its Windows-1252 character in UTF-8; the five bytes that
// code page leaves unassigned become U+FFFD, so that the result is always
// valid UTF-8 and never a C1 control.
inline std::string Windows1252ToUtf8(std::string_view text) {
  // 0x80 to 0x9F; above them the code page is Latin-1, below it ASCII.
  constexpr char16_t kHighControls[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
  };
  std::string out;
  out.reserve(text.size());
  for (const char byte : text) {
    const auto b = static_cast<std::uint8_t>(byte);
    const char16_t c = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t{b};
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace qv
