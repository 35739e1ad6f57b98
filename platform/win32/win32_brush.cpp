#include "platform/win32/win32_brush.h"

namespace qv::win32 {

std::unique_ptr<PlatformBrush> MakeSolidBrush(std::uint32_t colour) {
  return std::make_unique<Win32Brush>(CreateSolidBrush(colour));
}

}  // namespace qv::win32
