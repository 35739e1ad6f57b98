// The progress control on Windows: the window class "Percent" that dialog
// 101 names, and its window procedure, which paints the bar that
// ComputeProgressGeometry describes with GDI.
#pragma once

#include <windows.h>

#include "platform/progress_control_class.h"

namespace qv::win32 {

class Win32ProgressControlClass final : public ProgressControlClass {
 public:
  static constexpr const char* kClassName = "Percent";
  explicit Win32ProgressControlClass(HINSTANCE instance) : instance_(instance) {}
  bool Register(const ProgressCounters& counters, const SolidBrush& frameBrush) override;

 private:
  HINSTANCE instance_;
};

LRESULT CALLBACK ProgressCtlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qv::win32
