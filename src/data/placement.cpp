#include "data/placement.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <tuple>

#include "comlib/last_value.h"
#include "comlib/window_dpi.h"
#include "data/save_data.h"

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

namespace {

// What picks a font: family, bold, italic, em height.
using FontKey = std::tuple<std::wstring, int, int, int>;
// What shapes measured text: the font, the outline scale and one more
// setting (seconds shown, the date's format).
using ShapeKey = std::tuple<FontKey, int, int>;

FontKey FontKeyOf(const std::wstring& family, int bold, int italic, int emHeight) {
  return FontKey(family, bold, italic, emHeight);
}
// The em height is the one drawn at this DPI.
FontKey ClockFontKey(int dpi) {
  const AppSaveData_CL& clock = ClockData();
  return FontKeyOf(clock.font_family, clock.font_bold, clock.font_italic, dpi::Scale(clock.font_em_height, dpi));
}
FontKey DateFontKey(int dpi) {
  const DateSaveData_CL& date = DateData();
  return FontKeyOf(date.font_family, date.font_bold, date.font_italic, dpi::Scale(date.font_em_height, dpi));
}

using KeptFont = comlib::LastValue<FontKey, std::unique_ptr<textmeasure::ResolvedFont>>;
struct Kept {
  KeptFont clockFont;
  KeptFont dateFont;
  comlib::LastValue<ShapeKey, layout::ClockLayout> clockLayout;
  comlib::LastValue<ShapeKey, SIZE> dateWindow;
  comlib::LastValue<std::tuple<ShapeKey, std::wstring>, layout::Ink> dateInk;
};
Kept& KeptMeasures() {
  static Kept kept;
  return kept;
}

const textmeasure::ResolvedFont& KeptFontFor(KeptFont& kept, const FontKey& key) {
  return *kept.Get(key, [&key] {
    return std::make_unique<textmeasure::ResolvedFont>(std::get<0>(key), std::get<1>(key), std::get<2>(key),
                                                       std::get<3>(key));
  });
}

ShapeKey DateShapeKey(int dpi) {
  const DateSaveData_CL& date = DateData();
  return ShapeKey(DateFontKey(dpi), date.border_frame_scale, date.date_format);
}

}  // namespace

const textmeasure::ResolvedFont& ClockFont(int dpi) {
  return KeptFontFor(KeptMeasures().clockFont, ClockFontKey(dpi));
}

const textmeasure::ResolvedFont& DateFont(int dpi) { return KeptFontFor(KeptMeasures().dateFont, DateFontKey(dpi)); }

float ClockPenWidth(int dpi) {
  const AppSaveData_CL& clock = ClockData();
  return layout::PenWidth(dpi::Scale(clock.font_em_height, dpi), clock.border_frame_scale);
}

float DatePenWidth(int dpi) {
  const DateSaveData_CL& date = DateData();
  return layout::PenWidth(dpi::Scale(date.font_em_height, dpi), date.border_frame_scale);
}

void ReleaseKeptFonts() {
  Kept& kept = KeptMeasures();
  kept.clockFont.Forget();
  kept.dateFont.Forget();
  kept.clockLayout.Forget();
  kept.dateWindow.Forget();
  kept.dateInk.Forget();
}

layout::ClockLayout MeasureClock(int dpi) {
  const AppSaveData_CL& clock = ClockData();
  const ShapeKey key(ClockFontKey(dpi), clock.border_frame_scale, clock.disp_second != 0);
  return KeptMeasures().clockLayout.Get(key, [&clock, dpi] {
    const float penWidth = ClockPenWidth(dpi);
    const textmeasure::ResolvedFont& font = ClockFont(dpi);
    return layout::ComputeClockLayout(textmeasure::MeasureClockSamples(font.get(), penWidth), penWidth,
                                      font.get().emSize, clock.disp_second != 0);
  });
}

SIZE MeasureDate(int dpi) {
  const DateSaveData_CL& date = DateData();
  return KeptMeasures().dateWindow.Get(DateShapeKey(dpi), [&date, dpi] {
    const float penWidth = DatePenWidth(dpi);
    const textmeasure::ResolvedFont& font = DateFont(dpi);
    const layout::Ink widest = textmeasure::MeasureWidestDate(font.get(), date.date_format, penWidth);
    return layout::DateWindowSize(widest.outlined, penWidth, font.get().emSize);
  });
}

layout::Ink MeasureDateInk(const std::wstring& dateText, int dpi) {
  return KeptMeasures().dateInk.Get(std::make_tuple(DateShapeKey(dpi), dateText), [&dateText, dpi] {
    return textmeasure::MeasureInk(DateFont(dpi).get(), dateText, DatePenWidth(dpi));
  });
}
