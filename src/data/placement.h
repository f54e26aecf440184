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

}  // namespace placement

// Applied to the program's windows and records.
void PlaceClockWindow();
void PlaceDateWindow();
void RestoreDisplayLayout();
// Shows or hides the clock and the date to match the hidden flag and the
// settings, and re-places a shown date.
void SyncVisibility();
// The same for one of the two windows.
void SyncClockVisibility();
void SyncDateVisibility();
void CheckDisplayChange();
