// The progress control on Windows: the window class "Percent" that dialog
// 101 names, and its window procedure, which paints the bar that
// ComputeProgressGeometry describes with GDI. The class object owns the blue
// frame brush, made with it and deleted with it; it must outlive every
// control of the class.
#pragma once

#include <windows.h>

#include "installer/progress_control_class.h"

namespace qv::win32 {

class Win32ProgressControlClass final : public ProgressControlClass {
 public:
  static constexpr const char* kClassName = "Percent";
  explicit Win32ProgressControlClass(HINSTANCE instance);
  ~Win32ProgressControlClass() override;
  Win32ProgressControlClass(const Win32ProgressControlClass&) = delete;
  Win32ProgressControlClass& operator=(const Win32ProgressControlClass&) = delete;

  bool Register(const ProgressCounters& counters) override;

  // What the window procedure paints from: nothing before Register.
  const ProgressCounters* Counters() const { return counters_; }
  HBRUSH FrameBrush() const { return frame_; }

 private:
  HINSTANCE instance_;
  HBRUSH frame_;
  const ProgressCounters* counters_ = nullptr;
};

LRESULT CALLBACK ProgressCtlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qv::win32
