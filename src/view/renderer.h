#pragma once
// Drawing the faces as outlined text: each text becomes one GDI+ path that
// is filled and stroked into the window's back buffer, which a paint then
// copies to the window. Where each piece goes comes from the layout
// (text/text_layout.h), measured for the settings given.

#include <windows.h>

#include <string>
#include <vector>

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
void DrawClock(Gdiplus::GpGraphics* graphics, const AppSaveData_CL& clock, const layout::ClockLayout& clockLayout,
               Gdiplus::GpPen* pen, const std::wstring& timeText, int second, bool blinkPhase, int dpi);
// Draws the date text with its ink centred in a window of this size.
void DrawDate(Gdiplus::GpGraphics* graphics, const DateSaveData_CL& date, SIZE window, const std::wstring& dateText,
              int dpi);

// Draws the clock's mark that its time is corrected, a small diamond in
// text/text_layout.h's CorrectionMark, in the rising second's colour with
// the outline.
void DrawCorrectionMark(Gdiplus::GpGraphics* graphics, const AppSaveData_CL& clock,
                        const layout::ClockLayout& clockLayout, Gdiplus::GpPen* pen, int dpi);

// What a paint draws, without the window: clears the buffer's
// (0, 0, width, height) and draws the clock at `time` (or the date, or the
// world clocks' lines); `corrected` adds the clock's mark.
void RenderClock(BackBuffer_CL& buffer, const AppSaveData_CL& clock, SIZE size, const SYSTEMTIME& time,
                 bool blinkPhase, int dpi = dpi::kBaseDpi, bool corrected = false);
// The same with the text given: any text in the time text's places.
void RenderClockText(BackBuffer_CL& buffer, const AppSaveData_CL& clock, SIZE size, const std::wstring& timeText,
                     int second, bool blinkPhase, int dpi = dpi::kBaseDpi, bool corrected = false);
void RenderDate(BackBuffer_CL& buffer, const DateSaveData_CL& date, SIZE size, const SYSTEMTIME& time,
                int dpi = dpi::kBaseDpi);
// The lines in the date's font, colours and drawing style, laid out for the
// widest lines they can show.
void RenderZones(BackBuffer_CL& buffer, const DateSaveData_CL& date, SIZE size, const std::vector<std::wstring>& lines,
                 const std::vector<std::wstring>& widestLines, int dpi = dpi::kBaseDpi);

}  // namespace render
