#pragma once
// Where the two windows stand: the clock in a corner of the chosen monitor,
// the date centred on the clock's centre plus an offset; and the fonts and
// measurements of both texts that the settings describe.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/multi_screen.h"
#include "text/text_layout.h"
#include "text/text_measure.h"

namespace placement {

// Corners of the chosen monitor.
constexpr int kTopLeft = 0;
constexpr int kTopRight = 1;
constexpr int kBottomLeft = 2;
constexpr int kBottomRight = 3;

// The area the clock is placed in: the chosen monitor's whole rectangle when
// there are several monitors and the index names one, otherwise the primary
// display's size from the origin.
RECT ChooseClockArea(const MultiScreen_CL& screens, int displayIndex, SIZE primarySize);

// The clock window's top-left corner that puts its ink (the outlined ink in
// window coordinates) offsetX and offsetY from the area's chosen corner.
POINT ClockPosition(const RECT& area, int dispIndex, int offsetX, int offsetY, const AreaF& ink);

// The date window's top-left corner: its centre on the clock's centre plus
// the offsets.
POINT DatePosition(POINT clockCentre, int offsetX, int offsetY, SIZE dateWindow);

// A window's top-left corner moved just enough for the window to lie on the
// area (at its left or top edge when it is larger).
POINT KeepOnArea(POINT topLeft, SIZE window, const RECT& area);

// The date's top-left corner, kept wholly on some monitor: where it lies
// wholly on one it stays; otherwise it moves onto the monitor it overlaps
// most, or, off every one, the nearest. The clock's window keeps room right
// of and below its text, so in a right or bottom corner the date's offsets
// could otherwise carry it past the monitor's edge. No monitors: unchanged.
POINT KeepOnSomeMonitor(POINT topLeft, SIZE window, const std::vector<RECT>& monitors);

// The centre of a window rectangle, in integer halves.
POINT CentreOf(const RECT& rect);

// True when the saved display number names no monitor: the clock then
// stands on the primary display until that monitor returns.
bool FallsBackToPrimary(const MultiScreen_CL& screens, int displayIndex);

// Whether the display check must place the clock again: its centre lies
// outside the area that the placement chose (the same rectangle, so a
// clock over its monitor's taskbar is where it belongs), its rectangle is
// unknown (null), or it should be visible and is not.
bool ClockNeedsPlacing(const RECT& area, const RECT* clockRect, bool shouldBeVisible, bool visible);

}  // namespace placement

// The fonts the records describe, at a DPI: sizes in the settings are for
// 96 DPI, and each window draws at its monitor's. Each is resolved when its
// family, style or size changes and kept until then: a paint only looks it
// up.
const textmeasure::ResolvedFont& ClockFont(int dpi);
const textmeasure::ResolvedFont& DateFont(int dpi);
// The outline's width at a DPI.
float ClockPenWidth(int dpi);
float DatePenWidth(int dpi);
// Lets go of the kept fonts and measurements: before the GDI+ session ends,
// and when the installed fonts change.
void ReleaseKeptFonts();

// The clock's layout for the current settings at a DPI. Measured again only
// when a setting that shapes the text changes.
layout::ClockLayout MeasureClock(int dpi);
// The date window's size for the current date format, so that it keeps its
// size from day to day.
SIZE MeasureDate(int dpi);
// The date text's ink in the date's font and outline, for centring it.
layout::Ink MeasureDateInk(const std::wstring& dateText, int dpi);
