#pragma once
// Drawing the time and the date as outlined text: each text becomes one
// GDI+ path that is filled and stroked into the window's back buffer, which a
// paint then copies to the window. Where each piece goes comes from the
// layout (text/text_layout.h), measured for the current settings.

#include <windows.h>

#include <string>

#include "comlib/back_buffer.h"
#include "comlib/gdiplus_flat.h"
#include "comlib/window_dpi.h"
#include "data/save_data.h"
#include "text/text_layout.h"

namespace render {

// Drawing styles: fill and outline, outline only, fill only; any other value
// draws like the outline only.
constexpr int kDrawFillAndOutline = 0;
constexpr int kDrawOutlineOnly = 1;
constexpr int kDrawFillOnly = 2;

// White would vanish under the colour key, so it is drawn one step darker.
Argb DrawableColour(Argb colour);
bool DrawsFill(int drawType);
bool DrawsOutline(int drawType, int borderFrameScale);

// Each draws at a DPI: the sizes in the settings are for 96 DPI.
void DrawClock(Gdiplus::GpGraphics* graphics, const layout::ClockLayout& clockLayout, Gdiplus::GpPen* pen,
               const std::wstring& timeText, int second, bool blinkPhase, int dpi);
// Draws the date text with its ink centred in a window of this size.
void DrawDate(Gdiplus::GpGraphics* graphics, SIZE window, const std::wstring& dateText, int dpi);

// The whole WM_PAINT of each window.
void PaintClock(HWND clockWindow, BackBuffer_CL& buffer, bool blinkPhase);
void PaintDate(HWND dateWindow, BackBuffer_CL& buffer);

// What a paint draws, without the window: clears the buffer's
// (0, 0, width, height) and draws the clock at `time` (or the date).
void RenderClock(BackBuffer_CL& buffer, int width, int height, const SYSTEMTIME& time, bool blinkPhase,
                 int dpi = dpi::kBaseDpi);
// The same with the text given: any text in the time text's places.
void RenderClockText(BackBuffer_CL& buffer, int width, int height, const std::wstring& timeText, int second,
                     bool blinkPhase, int dpi = dpi::kBaseDpi);
void RenderDate(BackBuffer_CL& buffer, int width, int height, const SYSTEMTIME& time, int dpi = dpi::kBaseDpi);

}  // namespace render
