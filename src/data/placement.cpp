#include "data/placement.h"

#include <algorithm>
#include <cmath>

namespace {

// A measured float rounded to whole pixels. A measurement that went wrong
// (not a number, or far beyond any screen) must not turn into an undefined
// conversion.
int RoundToInt(float value) {
  constexpr float kLimit = 1.0e9f;
  if (!std::isfinite(value)) return 0;
  if (value > kLimit) return static_cast<int>(kLimit);
  if (value < -kLimit) return -static_cast<int>(kLimit);
  return static_cast<int>(std::lround(value));
}

}  // namespace

namespace placement {

RECT ChooseClockArea(const MultiScreen_CL& screens, int displayIndex, SIZE primarySize) {
  // A single monitor is always the primary display, whatever the saved
  // index says; an index that names no monitor (one was unplugged) falls
  // back to it too, and the saved index is kept for when it returns.
  const size_t count = screens.monitors.size();
  if (count > 1 && static_cast<unsigned>(displayIndex) < count) {
    return screens.monitors[static_cast<size_t>(displayIndex)].info.rcMonitor;
  }
  return RECT{0, 0, primarySize.cx, primarySize.cy};
}

std::vector<RECT> GroupAreas(const MultiScreen_CL& screens, int chosenIndex, bool everyMonitor, SIZE primarySize) {
  std::vector<RECT> areas{ChooseClockArea(screens, chosenIndex, primarySize)};
  const size_t count = screens.monitors.size();
  if (!everyMonitor || count < 2) return areas;
  size_t clockMonitor = 0;
  if (static_cast<unsigned>(chosenIndex) < count) {
    clockMonitor = static_cast<size_t>(chosenIndex);
  } else {
    for (size_t index = 0; index < count; ++index) {
      if (screens.monitors[index].info.dwFlags & MONITORINFOF_PRIMARY) clockMonitor = index;
    }
  }
  for (size_t index = 0; index < count; ++index) {
    if (index != clockMonitor) areas.push_back(screens.monitors[index].info.rcMonitor);
  }
  return areas;
}

POINT ClockPosition(const RECT& area, int dispIndex, int offsetX, int offsetY, const AreaF& ink) {
  // A pixel is inked when its centre lies inside the ink, so the ink's edges
  // round to its first and its past-the-last columns and rows: the visible
  // gap is then the offset.
  const int left = area.left + offsetX - RoundToInt(ink.x);
  const int top = area.top + offsetY - RoundToInt(ink.y);
  const int right = area.right - offsetX - RoundToInt(ink.Right());
  const int bottom = area.bottom - offsetY - RoundToInt(ink.Bottom());
  switch (dispIndex) {
    case kTopLeft:
      return POINT{left, top};
    case kTopRight:
      return POINT{right, top};
    case kBottomLeft:
      return POINT{left, bottom};
    case kBottomRight:
      return POINT{right, bottom};
    default:
      return POINT{area.left, area.top};
  }
}

POINT DatePosition(POINT clockCentre, int offsetX, int offsetY, SIZE dateWindow) {
  return POINT{clockCentre.x + offsetX - dateWindow.cx / 2, clockCentre.y + offsetY - dateWindow.cy / 2};
}

POINT ZonesPosition(const RECT& followed, const RECT& faces, int offsetX, int offsetY, SIZE zonesWindow,
                    const RECT& area) {
  const LONG x = CentreOf(followed).x + offsetX - zonesWindow.cx / 2;
  const LONG below = followed.bottom + offsetY;
  const LONG above = faces.top - offsetY - zonesWindow.cy;
  const bool roomBelow = below + zonesWindow.cy <= area.bottom;
  return POINT{x, !roomBelow && above >= area.top ? above : below};
}

POINT KeepOnArea(POINT topLeft, SIZE window, const RECT& area) {
  const LONG x = std::max(area.left, std::min(topLeft.x, area.right - window.cx));
  const LONG y = std::max(area.top, std::min(topLeft.y, area.bottom - window.cy));
  return POINT{x, y};
}

POINT KeepOnSomeMonitor(POINT topLeft, SIZE window, const std::vector<RECT>& monitors) {
  const RECT placed{topLeft.x, topLeft.y, topLeft.x + window.cx, topLeft.y + window.cy};
  const RECT* best = nullptr;
  long long bestOverlap = -1;
  long long bestDistance = 0;
  for (const RECT& monitor : monitors) {
    RECT overlap{};
    const long long area = IntersectRect(&overlap, &placed, &monitor)
                               ? static_cast<long long>(overlap.right - overlap.left) * (overlap.bottom - overlap.top)
                               : 0;
    if (EqualRect(&overlap, &placed)) return topLeft;
    // Off every monitor: the one whose edge is nearest the window's centre.
    const POINT centre = CentreOf(placed);
    const long long dx = std::max({monitor.left - centre.x, 0L, centre.x - monitor.right});
    const long long dy = std::max({monitor.top - centre.y, 0L, centre.y - monitor.bottom});
    const long long distance = dx * dx + dy * dy;
    if (area > bestOverlap || (area == bestOverlap && distance < bestDistance)) {
      best = &monitor;
      bestOverlap = area;
      bestDistance = distance;
    }
  }
  return best == nullptr ? topLeft : KeepOnArea(topLeft, window, *best);
}

POINT CentreOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

bool FallsBackToPrimary(const MultiScreen_CL& screens, int displayIndex) {
  return static_cast<unsigned>(displayIndex) >= screens.monitors.size();
}

bool ClockNeedsPlacing(const RECT& area, const RECT* clockRect, bool shouldBeVisible, bool visible) {
  if (clockRect == nullptr || (shouldBeVisible && !visible)) return true;
  const POINT centre = CentreOf(*clockRect);
  const bool inside = centre.x >= area.left && centre.x < area.right && centre.y >= area.top && centre.y < area.bottom;
  return !inside;
}

}  // namespace placement
