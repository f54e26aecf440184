#include "data/face_measure.h"

#include <algorithm>
#include <memory>
#include <tuple>

#include "comlib/last_value.h"
#include "comlib/window_dpi.h"

namespace {

// What picks a font: family, bold, italic, em height.
using FontKey = std::tuple<std::wstring, int, int, int>;
// What shapes measured text: the font, the outline scale and one more
// setting (seconds shown, the date's format).
using ShapeKey = std::tuple<FontKey, int, int>;

// The em height is the one drawn at this DPI.
FontKey ClockFontKey(const AppSaveData_CL& clock, int dpi) {
  return FontKey(clock.font_family, clock.font_bold, clock.font_italic, dpi::Scale(clock.font_em_height, dpi));
}
FontKey DateFontKey(const DateSaveData_CL& date, int dpi) {
  return FontKey(date.font_family, date.font_bold, date.font_italic, dpi::Scale(date.font_em_height, dpi));
}
int ZonesEmHeight(const DateSaveData_CL& date, int dpi) {
  return std::min(dpi::Scale(date.font_em_height, dpi), kZonesLargestEmPx);
}
FontKey ZonesFontKey(const DateSaveData_CL& date, int emHeight) {
  return FontKey(date.font_family, date.font_bold, date.font_italic, emHeight);
}

using KeptFont = comlib::LastValue<FontKey, std::unique_ptr<textmeasure::ResolvedFont>>;
// Process-wide, as the fonts they hold: every face of the one display draws
// with them, and they go before the GDI+ session does.
struct Kept {
  KeptFont clockFont;
  KeptFont dateFont;
  KeptFont zonesFont;
  comlib::LastValue<ShapeKey, layout::ClockLayout> clockLayout;
  comlib::LastValue<ShapeKey, SIZE> dateWindow;
  comlib::LastValue<std::tuple<ShapeKey, std::wstring>, layout::Ink> dateInk;
  comlib::LastValue<std::tuple<ShapeKey, std::vector<std::wstring>>, ZonesLayout> zones;
  comlib::LastValue<FontKey, wchar_t> widestDigit;
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

ShapeKey DateShapeKey(const DateSaveData_CL& date, int dpi) {
  return ShapeKey(DateFontKey(date, dpi), date.border_frame_scale, date.date_format);
}

}  // namespace

const textmeasure::ResolvedFont& ClockFont(const AppSaveData_CL& clock, int dpi) {
  return KeptFontFor(KeptMeasures().clockFont, ClockFontKey(clock, dpi));
}

const textmeasure::ResolvedFont& DateFont(const DateSaveData_CL& date, int dpi) {
  return KeptFontFor(KeptMeasures().dateFont, DateFontKey(date, dpi));
}

float ClockPenWidth(const AppSaveData_CL& clock, int dpi) {
  return layout::PenWidth(dpi::Scale(clock.font_em_height, dpi), clock.border_frame_scale);
}

float DatePenWidth(const DateSaveData_CL& date, int dpi) {
  return layout::PenWidth(dpi::Scale(date.font_em_height, dpi), date.border_frame_scale);
}

void ReleaseKeptFonts() {
  Kept& kept = KeptMeasures();
  kept.clockFont.Forget();
  kept.dateFont.Forget();
  kept.zonesFont.Forget();
  kept.clockLayout.Forget();
  kept.dateWindow.Forget();
  kept.dateInk.Forget();
  kept.zones.Forget();
  kept.widestDigit.Forget();
}

layout::ClockLayout MeasureClock(const AppSaveData_CL& clock, int dpi) {
  const ShapeKey key(ClockFontKey(clock, dpi), clock.border_frame_scale, clock.disp_second != 0);
  return KeptMeasures().clockLayout.Get(key, [&clock, dpi] {
    const float penWidth = ClockPenWidth(clock, dpi);
    const textmeasure::ResolvedFont& font = ClockFont(clock, dpi);
    return layout::ComputeClockLayout(textmeasure::MeasureClockSamples(font.get(), penWidth), penWidth,
                                      font.get().emSize, clock.disp_second != 0);
  });
}

SIZE MeasureDate(const DateSaveData_CL& date, int dpi) {
  return KeptMeasures().dateWindow.Get(DateShapeKey(date, dpi), [&date, dpi] {
    const float penWidth = DatePenWidth(date, dpi);
    const textmeasure::ResolvedFont& font = DateFont(date, dpi);
    const layout::Ink widest = textmeasure::MeasureWidestDate(font.get(), date.date_format, penWidth);
    return layout::DateWindowSize(widest.outlined, penWidth, font.get().emSize);
  });
}

layout::Ink MeasureDateInk(const DateSaveData_CL& date, const std::wstring& dateText, int dpi) {
  return KeptMeasures().dateInk.Get(std::make_tuple(DateShapeKey(date, dpi), dateText), [&date, &dateText, dpi] {
    return textmeasure::MeasureInk(DateFont(date, dpi).get(), dateText, DatePenWidth(date, dpi));
  });
}

namespace {

const textmeasure::ResolvedFont& ZonesFontAt(const DateSaveData_CL& date, int emHeight) {
  return KeptFontFor(KeptMeasures().zonesFont, ZonesFontKey(date, emHeight));
}

ZonesLayout LayOutZones(const DateSaveData_CL& date, const std::vector<std::wstring>& widestLines, int emHeight) {
  ZonesLayout zones;
  zones.emHeight = emHeight;
  zones.penWidth = layout::PenWidth(emHeight, date.border_frame_scale);
  const textmeasure::TextFont& font = ZonesFontAt(date, emHeight).get();
  zones.pitch = textmeasure::LineSpacing(font);
  AreaF lines;
  for (size_t line = 0; line < widestLines.size(); ++line) {
    AreaF ink = textmeasure::MeasureInk(font, widestLines[line], zones.penWidth).outlined;
    ink.y += zones.pitch * static_cast<float>(line);
    lines = layout::Enclosing(lines, ink);
  }
  zones.window = layout::DateWindowSize(lines, zones.penWidth, font.emSize);
  zones.origin = layout::CentredOrigin(lines, zones.window);
  return zones;
}

}  // namespace

const textmeasure::ResolvedFont& ZonesFont(const DateSaveData_CL& date, const ZonesLayout& zones) {
  return ZonesFontAt(date, zones.emHeight);
}

wchar_t WidestZonesDigit(const DateSaveData_CL& date, int dpi) {
  const int emHeight = ZonesEmHeight(date, dpi);
  return KeptMeasures().widestDigit.Get(ZonesFontKey(date, emHeight), [&date, emHeight] {
    return textmeasure::WidestDigit(ZonesFontAt(date, emHeight).get());
  });
}

ZonesLayout MeasureZones(const DateSaveData_CL& date, const std::vector<std::wstring>& widestLines, int dpi) {
  const int emHeight = ZonesEmHeight(date, dpi);
  const auto key = std::make_tuple(ShapeKey(ZonesFontKey(date, emHeight), date.border_frame_scale, 0), widestLines);
  return KeptMeasures().zones.Get(key, [&date, &widestLines, emHeight] {
    ZonesLayout zones = LayOutZones(date, widestLines, emHeight);
    // Measured again in the smaller font, rather than scaled: what is drawn
    // is what was measured.
    const int fitted = layout::EmHeightToFit(emHeight, zones.window.cx, kZonesWidestPx);
    if (fitted != emHeight) zones = LayOutZones(date, widestLines, fitted);
    // A font need not measure exactly in proportion to its size: what is
    // still over comes off both margins alike.
    const LONG over = zones.window.cx - kZonesWidestPx;
    if (over > 0) {
      zones.origin.x -= static_cast<float>(over) / 2.0f;
      zones.window.cx = kZonesWidestPx;
    }
    return zones;
  });
}
