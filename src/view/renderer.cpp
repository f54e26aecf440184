#include "view/renderer.h"

namespace render {
float PenWidth(int, int) { return 0.0f; }
Argb DrawableColour(Argb colour) { return colour; }
bool DrawsFill(int) { return false; }
bool DrawsOutline(int, int) { return false; }
ClockLayout ComputeClockLayout(const ClockSampleBounds&, float, bool) { return ClockLayout{}; }
float RisingFillTop(int, int, int) { return 0.0f; }
AreaF DateAreaFromBounds(const AreaF&, float) { return AreaF{}; }
AreaF MeasureClock(HWND) { return AreaF{}; }
AreaF MeasureDate() { return AreaF{}; }
void DrawClock(Gdiplus::GpGraphics*, const AreaF&, Gdiplus::GpPen*, const std::wstring&, const std::wstring&, float,
               int, bool) {}
void DrawDate(Gdiplus::GpGraphics*, const AreaF&, const std::wstring&) {}
void PaintClock(HWND, BackBuffer_CL&, bool) {}
void PaintDate(HWND, BackBuffer_CL&) {}
void RenderClock(HWND, BackBuffer_CL&, int, int, const SYSTEMTIME&, bool) {}
void RenderDate(BackBuffer_CL&, int, int, const SYSTEMTIME&) {}
}  // namespace render
