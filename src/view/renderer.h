#pragma once
// Drawing the time and the date as outlined text: each text becomes one
// GDI+ path that is filled and stroked into the window's back buffer, which a
// paint then copies to the window. The windows keep their size while the
// digits change because the layout is measured from "8" samples.

#include <windows.h>

#include <string>

#include "comlib/back_buffer.h"
#include "comlib/gdiplus_flat.h"
#include "data/save_data.h"

namespace render {

// Drawing styles: fill and outline, outline only, fill only; any other value
// draws like the outline only.
constexpr int kDrawFillAndOutline = 0;
constexpr int kDrawOutlineOnly = 1;
constexpr int kDrawFillOnly = 2;

// Outline (pen) width: em height x scale / 255; 0 when scale <= 0.
float PenWidth(int fontEmHeight, int borderFrameScale);
// White would vanish under the colour key, so it is drawn one step darker.
Argb DrawableColour(Argb colour);
bool DrawsFill(int drawType);
bool DrawsOutline(int drawType, int borderFrameScale);

// Bounds of the growing sample path: "88", "88:", "88:88", "88:88:"
// (seconds only) and the whole path.
struct ClockSampleBounds {
  AreaF digits;           // "88"
  AreaF digitsColon;      // "88:"
  AreaF hourMinute;       // "88:88"
  AreaF hourMinuteColon;  // "88:88:" (seconds only)
  AreaF whole;            // "88:88" or "88:88:88"
};

struct ClockLayout {
  AreaF rects[kClockPartCount];
  int bandTop = 0;
  int bandBottom = 0;
  AreaF area;
};

ClockLayout ComputeClockLayout(const ClockSampleBounds& bounds, float penWidth, bool dispSecond);

// Top of the clip for the rising second colour at this second (0 ... 59).
float RisingFillTop(int bandTop, int bandBottom, int second);


// The date area around the outlined path bounds.
AreaF DateAreaFromBounds(const AreaF& bounds, float penWidth);

// The date is drawn from the area's corner, which the outlined bounds of the
// sample place; those bounds are loose (a pen's miter reach), and where GDI+
// puts no padding before the text they reach past the window's left or top
// edge and the text would be cut there. This is how far the text, whose
// unoutlined bounds are given, moves right and down to stay whole.
Gdiplus::PointF DateTextShift(const AreaF& textBounds, float penWidth);

// Measures the clock with the current settings, stores the layout and band
// in the clock record and returns the clock area.
AreaF MeasureClock(HWND clockWindow);
// The date area, measured from the sample of the current date format so the
// window keeps its size from day to day; empty while the date is not shown.
AreaF MeasureDate();

void DrawClock(Gdiplus::GpGraphics* graphics, const AreaF& area, Gdiplus::GpPen* pen,
               const std::wstring& family, const std::wstring& timeText, float emSize, int second,
               bool blinkPhase);
void DrawDate(Gdiplus::GpGraphics* graphics, const AreaF& area, const std::wstring& dateText);

// The whole WM_PAINT of each window.
void PaintClock(HWND clockWindow, BackBuffer_CL& buffer, bool blinkPhase);
void PaintDate(HWND dateWindow, BackBuffer_CL& buffer);

// What a paint draws, without the window: clears the buffer's
// (0, 0, width, height) and draws the clock at `time` (or the date).
void RenderClock(HWND clockWindow, BackBuffer_CL& buffer, int width, int height, const SYSTEMTIME& time,
                 bool blinkPhase);
void RenderDate(BackBuffer_CL& buffer, int width, int height, const SYSTEMTIME& time);

}  // namespace render
