#include "data/placement.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <tuple>

#include "comlib/last_value.h"
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
FontKey ClockFontKey() {
  const AppSaveData_CL& clock = ClockData();
  return FontKeyOf(clock.font_family, clock.font_bold, clock.font_italic, clock.font_em_height);
}
FontKey DateFontKey() {
  const DateSaveData_CL& date = DateData();
  return FontKeyOf(date.font_family, date.font_bold, date.font_italic, date.font_em_height);
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

ShapeKey DateShapeKey() {
  const DateSaveData_CL& date = DateData();
  return ShapeKey(DateFontKey(), date.border_frame_scale, date.date_format);
}

}  // namespace

const textmeasure::ResolvedFont& ClockFont() { return KeptFontFor(KeptMeasures().clockFont, ClockFontKey()); }

const textmeasure::ResolvedFont& DateFont() { return KeptFontFor(KeptMeasures().dateFont, DateFontKey()); }

void ReleaseKeptFonts() {
  Kept& kept = KeptMeasures();
  kept.clockFont.Forget();
  kept.dateFont.Forget();
  kept.clockLayout.Forget();
  kept.dateWindow.Forget();
  kept.dateInk.Forget();
}

layout::ClockLayout MeasureClock() {
  const AppSaveData_CL& clock = ClockData();
  const ShapeKey key(ClockFontKey(), clock.border_frame_scale, clock.disp_second != 0);
  return KeptMeasures().clockLayout.Get(key, [&clock] {
    const float penWidth = layout::PenWidth(clock.font_em_height, clock.border_frame_scale);
    const textmeasure::ResolvedFont& font = ClockFont();
    return layout::ComputeClockLayout(textmeasure::MeasureClockSamples(font.get(), penWidth), penWidth,
                                      font.get().emSize, clock.disp_second != 0);
  });
}

SIZE MeasureDate() {
  const DateSaveData_CL& date = DateData();
  return KeptMeasures().dateWindow.Get(DateShapeKey(), [&date] {
    const float penWidth = layout::PenWidth(date.font_em_height, date.border_frame_scale);
    const textmeasure::ResolvedFont& font = DateFont();
    const layout::Ink widest = textmeasure::MeasureWidestDate(font.get(), date.date_format, penWidth);
    return layout::DateWindowSize(widest.outlined, penWidth, font.get().emSize);
  });
}

layout::Ink MeasureDateInk(const std::wstring& dateText) {
  return KeptMeasures().dateInk.Get(std::make_tuple(DateShapeKey(), dateText), [&dateText] {
    const DateSaveData_CL& date = DateData();
    return textmeasure::MeasureInk(DateFont().get(), dateText,
                                   layout::PenWidth(date.font_em_height, date.border_frame_scale));
  });
}
