#pragma once
// Where the faces stand: the clock in a corner of the chosen monitor, the
// date centred on the clock's centre plus an offset, the world clocks below
// the date (or the clock). Plain arithmetic on rectangles.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/multi_screen.h"
#include "text/text_layout.h"

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

// The areas the groups of faces stand in: the clock's own group first, in
// the area ChooseClockArea gives for the chosen monitor (-1: none); then,
// when every monitor shows the faces, each other monitor's whole rectangle
// in the list's order. Falling back, the clock's group stands for the
// primary monitor, which gets no other group.
std::vector<RECT> GroupAreas(const MultiScreen_CL& screens, int chosenIndex, bool everyMonitor, SIZE primarySize);

// The clock window's top-left corner that puts its ink (the outlined ink in
// window coordinates) offsetX and offsetY from the area's chosen corner.
POINT ClockPosition(const RECT& area, int dispIndex, int offsetX, int offsetY, const AreaF& ink);

// The date window's top-left corner: its centre on the clock's centre plus
// the offsets.
POINT DatePosition(POINT clockCentre, int offsetX, int offsetY, SIZE dateWindow);

// The world clocks' top-left corner: their centre offsetX from the centre of
// the face they follow, their top offsetY below its bottom edge. Where the
// area has no room for them there (faces in a bottom corner) but has above
// the faces (the clock and the date together), their bottom stands offsetY
// above the faces' top edge: kept on the area from below, they would lie
// over the date.
POINT ZonesPosition(const RECT& followed, const RECT& faces, int offsetX, int offsetY, SIZE zonesWindow,
                    const RECT& area);

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
