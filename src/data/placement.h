#pragma once
// Where the two windows stand: the clock in a corner of the chosen monitor,
// the date centred on the clock's centre plus an offset; and putting both
// back after the monitors change.

#include <windows.h>

#include "comlib/multi_screen.h"
#include "data/save_data.h"

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

// The clock window's top-left corner for text bounds of textWidth x textHeight.
POINT ClockPosition(const RECT& area, int dispIndex, int offsetX, int offsetY, float textWidth,
                    float textHeight);
// The clock window's size for its measured area (1 pixel of slack).
SIZE ClockSize(const AreaF& area);

// The date window's top-left corner and size around the clock's centre.
POINT DatePosition(POINT clockCentre, int offsetX, int offsetY, const AreaF& dateArea);
SIZE DateSize(const AreaF& dateArea);

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

// Applied to the program's windows and records.
void PlaceClockWindow();
void PlaceDateWindow();
void RestoreDisplayLayout();
// Shows or hides the clock and the date to match the hidden flag and the
// settings, and re-places a shown date.
void SyncVisibility();
// Re-places the clock when the monitors changed under it; the fallback to
// the primary display is logged once each time it begins.
void CheckDisplayChange(DisplayCheckState& state);
