#include "installer/win32/progress_control.h"

#include "installer/progress_geometry.h"
#include "platform/win32/win32_brush.h"

namespace qv::win32 {
namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr UINT kCentredTop = TA_CENTER | TA_TOP | TA_NOUPDATECP;
constexpr UINT kOpaqueClipped = ETO_OPAQUE | ETO_CLIPPED;

// What every control of the class draws from; the window class has no room
// of its own for them, and the application object outlives every control.
const ProgressCounters* paintCounters = nullptr;
HBRUSH paintFrame = nullptr;

RECT ToRect(const ProgressRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void SwapColours(HDC dc) {
  const COLORREF background = GetBkColor(dc);
  SetBkColor(dc, SetTextColor(dc, background));
}

int TextHeight(HDC dc) {
  SIZE size{};
  GetTextExtentPoint32A(dc, "X", 1, &size);
  return size.cy;
}

void Paint(HWND window) {
  const ProgressCounters counters = paintCounters ? *paintCounters : ProgressCounters{};
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window, &paint);
  SetBkColor(dc, kGrey);
  SetTextColor(dc, kBlue);
  SetTextAlign(dc, kCentredTop);

  RECT client{};
  GetClientRect(window, &client);
  // The filled part: blue, with the text over it in grey.
  SwapColours(dc);
  const ProgressGeometry g =
      ComputeProgressGeometry(counters.done, counters.total, client.right, client.bottom, TextHeight(dc));
  RECT filled = ToRect(g.filled);
  ExtTextOutA(dc, g.textX, g.textY, kOpaqueClipped, &filled, g.text.c_str(), static_cast<UINT>(g.text.size()),
              nullptr);
  // The rest: grey, with the text in blue, at the same place.
  SwapColours(dc);
  RECT remainder = ToRect(g.remainder);
  ExtTextOutA(dc, g.textX, g.textY, kOpaqueClipped, &remainder, g.text.c_str(), static_cast<UINT>(g.text.size()),
              nullptr);

  // The frame goes around what this paint covers: the whole control when
  // the copy loop asks for a repaint.
  if (paintFrame) FrameRect(dc, &paint.rcPaint, paintFrame);
  EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK ProgressCtlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  Paint(window);
  return 0;
}

bool Win32ProgressControlClass::Register(const ProgressCounters& counters, const SolidBrush& frameBrush) {
  paintCounters = &counters;
  const auto* brush = dynamic_cast<const Win32Brush*>(frameBrush.object.get());
  paintFrame = brush ? brush->Handle() : nullptr;
  WNDCLASSA windowClass{};
  windowClass.style = CS_GLOBALCLASS;
  windowClass.lpfnWndProc = ProgressCtlProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassA(&windowClass) != 0;
}

}  // namespace qv::win32
