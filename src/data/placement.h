#pragma once
// Where the two windows stand: the clock in a corner of the chosen monitor,
// the date centred on the clock's centre plus an offset; and the fonts and
// measurements of both texts that the settings describe.

#include <windows.h>

#include <string>

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
// area (at its left or top edge when it is larger). The clock's window keeps
// room right of and below its text, so in a right or bottom corner the
// date's offsets would otherwise carry it past the monitor's edge.
POINT KeepOnArea(POINT topLeft, SIZE window, const RECT& area);

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

// The fonts the records describe. Each is resolved when its family, style
// or size changes and kept until then: a paint only looks it up.
const textmeasure::ResolvedFont& ClockFont();
const textmeasure::ResolvedFont& DateFont();
// Lets go of the kept fonts and measurements; must come before the GDI+
// session ends.
void ReleaseKeptFonts();

// The clock's layout for the current settings. Measured again only when a
// setting that shapes the text changes.
layout::ClockLayout MeasureClock();
// The date window's size for the current date format, so that it keeps its
// size from day to day.
SIZE MeasureDate();
// The date text's ink in the date's font and outline, for centring it.
layout::Ink MeasureDateInk(const std::wstring& dateText);
