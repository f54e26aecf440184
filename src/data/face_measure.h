#pragma once
// The fonts and measurements the settings records describe, at a DPI: sizes
// in the settings are for 96 DPI, and each face draws at its monitor's.
// Each font is resolved when its family, style or size changes and kept
// until then, and each measurement when what shapes it changes: a paint
// only looks them up.

#include <windows.h>

#include <string>
#include <vector>

#include "data/save_data.h"
#include "text/text_layout.h"
#include "text/text_measure.h"

const textmeasure::ResolvedFont& ClockFont(const AppSaveData_CL& clock, int dpi);
const textmeasure::ResolvedFont& DateFont(const DateSaveData_CL& date, int dpi);
// The outline's width at a DPI.
float ClockPenWidth(const AppSaveData_CL& clock, int dpi);
float DatePenWidth(const DateSaveData_CL& date, int dpi);
// Lets go of the kept fonts and measurements: before the GDI+ session ends,
// and when the installed fonts change.
void ReleaseKeptFonts();

// The clock's layout for its settings.
layout::ClockLayout MeasureClock(const AppSaveData_CL& clock, int dpi);
// The date window's size for the date format, so that it keeps its size
// from day to day.
SIZE MeasureDate(const DateSaveData_CL& date, int dpi);
// The date text's ink in the date's font and outline, for centring it.
layout::Ink MeasureDateInk(const DateSaveData_CL& date, const std::wstring& dateText, int dpi);

// The world clocks draw in the date's font, no larger than kZonesLargestEmPx
// at any DPI, in a window no wider than kZonesWidestPx: lines too long for
// it are drawn whole in a smaller font. Four places' lines of long labels at
// a hand-set date size would otherwise make a window GDI+ cannot draw in, or
// a picture of hundreds of megabytes. The width is about a 4K monitor's, more
// than four lines need at any size a screen can show whole; with the em cap
// the picture stays within about 4096 x 1,900 pixels (some 30 MB).
constexpr int kZonesLargestEmPx = 384;
constexpr int kZonesWidestPx = 4096;

// One line under another, each
// line's layout origin `pitch` below the last one's, the first at `origin`
// in a window of `window` that holds the widest lines they can show, drawn
// at `emHeight` with an outline `penWidth` wide.
struct ZonesLayout {
  SIZE window{};
  layout::OriginF origin;
  float pitch = 0.0f;
  int emHeight = 0;
  float penWidth = 0.0f;
};
ZonesLayout MeasureZones(const DateSaveData_CL& date, const std::vector<std::wstring>& widestLines, int dpi);
// The font the lines of that layout draw in.
const textmeasure::ResolvedFont& ZonesFont(const DateSaveData_CL& date, const ZonesLayout& zones);
// The digit whose ink is widest in the world clocks' font: their samples use it.
wchar_t WidestZonesDigit(const DateSaveData_CL& date, int dpi);
