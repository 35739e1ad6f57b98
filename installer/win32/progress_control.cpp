#include "installer/win32/progress_control.h"

#include "installer/progress_geometry.h"

namespace qv::win32 {
namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr UINT kCentredTop = TA_CENTER | TA_TOP | TA_NOUPDATECP;
constexpr UINT kOpaqueClipped = ETO_OPAQUE | ETO_CLIPPED;

// The registration that every control of the class paints from: the class
// has no extra bytes to find it through.
const Win32ProgressControlClass* registration = nullptr;

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
  const ProgressCounters counters =
      registration && registration->Counters() ? *registration->Counters() : ProgressCounters{};
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
  if (registration && registration->FrameBrush()) FrameRect(dc, &paint.rcPaint, registration->FrameBrush());
  EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK ProgressCtlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  Paint(window);
  return 0;
}

Win32ProgressControlClass::Win32ProgressControlClass(HINSTANCE instance)
    : instance_(instance), frame_(CreateSolidBrush(kBlue)) {}

Win32ProgressControlClass::~Win32ProgressControlClass() {
  if (registration == this) registration = nullptr;
  if (frame_) DeleteObject(frame_);
}

bool Win32ProgressControlClass::Register(const ProgressCounters& counters) {
  counters_ = &counters;
  registration = this;
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
