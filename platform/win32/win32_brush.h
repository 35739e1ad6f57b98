// The solid brush that the progress control frames itself with, over a GDI
// brush handle that this object owns and deletes.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/progress_control_class.h"

namespace qv::win32 {

class Win32Brush final : public PlatformBrush {
 public:
  explicit Win32Brush(HBRUSH handle) : handle_(handle) {}
  ~Win32Brush() override {
    if (handle_) DeleteObject(handle_);
  }
  HBRUSH Handle() const { return handle_; }

 private:
  HBRUSH handle_;
};

std::unique_ptr<PlatformBrush> MakeSolidBrush(std::uint32_t colour);

}  // namespace qv::win32
