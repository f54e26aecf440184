#pragma once
// Where the two windows stand: the clock in a corner of the chosen monitor,
// the date centred on the clock's centre plus an offset; and putting both
// back after the monitors change.

#include <windows.h>

#include "comlib/multi_screen.h"
#include "data/save_data.h"
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

// What the display check remembers from one check to the next.
struct DisplayCheckState {
  bool onPrimaryFallback = false;
};

// The fonts the records describe. Each is resolved when its family, style
// or size changes and kept until then: a paint only looks it up.
const textmeasure::ResolvedFont& ClockFont();
const textmeasure::ResolvedFont& DateFont();
// Lets go of the kept fonts and measurements; must come before the GDI+
// session ends.
void ReleaseKeptFonts();

// The clock's layout for the current settings, also kept in the clock
// record (layout_rects, band_top, band_bottom). Measured again only when a
// setting that shapes the text changes.
layout::ClockLayout MeasureClock();
// The date window's size for the current date format, so that it keeps its
// size from day to day; empty while the date is not shown.
SIZE MeasureDate();
// The date text's ink in the date's font and outline, for centring it.
layout::Ink MeasureDateInk(const std::wstring& dateText);

// Applied to the program's windows and records.
void PlaceClockWindow();
void PlaceDateWindow();
void RestoreDisplayLayout();
// Shows or hides the clock and the date to match the hidden flag and the
// settings, and re-places a shown date.
void SyncVisibility();
// The monitor rectangle the clock is placed on.
RECT ClockMonitorArea();
// The same for one of the two windows.
void SyncClockVisibility();
void SyncDateVisibility();
// Re-places the clock when the monitors changed under it; the fallback to
// the primary display is logged once each time it begins.
void CheckDisplayChange(DisplayCheckState& state);
