#include "data/save_data.h"

#include <cmath>
#include <iterator>

#include "comlib/inifile.h"
#include "data/setting_table.h"

namespace {

using namespace settingtable;

constexpr int kOffsetLimit = 1024;
using settings::kFontEmHeightMax;
using settings::kFontEmHeightMin;
using settings::kOutlineScaleMax;

using Clock = AppSaveData_CL;
using Date = DateSaveData_CL;
using Zones = ZoneSaveData_CL;

// CLOCK_DISP, in the order of a load.
const Setting<Clock> kClockSettings[] = {
    Number(L"blink", &Clock::blink, 1),
    Number(L"hour12", &Clock::hour12, 0),
    Number(L"draw_type", &Clock::draw_type, 0),
    // An index that names no monitor is kept: the placement falls back to
    // the primary display until that monitor returns.
    Number(L"display_index", &Clock::display_index, 0),
    // The chosen monitor's identity (data/monitor_choice.h), written with
    // display_index: the monitor is found by it wherever it now stands.
    Text(L"display_id", &Clock::display_id, L""),
    // 1: every monitor shows the faces, each in the chosen corner.
    Number(L"display_all", &Clock::display_all, 0),
    Number(L"disp_index", &Clock::disp_index, 0),
    Ranged(L"disp_offset_x", &Clock::disp_offset_x, 32, -kOffsetLimit, kOffsetLimit),
    Ranged(L"disp_offset_y", &Clock::disp_offset_y, 32, -kOffsetLimit, kOffsetLimit),
    Number(L"alpha", &Clock::alpha, 220),
    Text(L"font_family", &Clock::font_family, L"Comic Sans MS"),
    Number(L"font_bold", &Clock::font_bold, 1),
    Number(L"font_italic", &Clock::font_italic, 1),
    Ranged(L"font_em_height", &Clock::font_em_height, 128, kFontEmHeightMin, kFontEmHeightMax),
    Ranged(L"border_frame_scale", &Clock::border_frame_scale, 6, 0, kOutlineScaleMax),
    Colour(L"font_color1", &Clock::font_color1, 0xFF00FA00),
    Colour(L"font_color2", &Clock::font_color2, 0xFF00C800),
    Colour(L"font_color3", &Clock::font_color3, 0xFFFFFFFF),
    Number(L"disp_startup_hidden", &Clock::disp_startup_hidden, 0),
    Number(L"disp_second", &Clock::disp_second, 1),
    Number(L"faint_on_hover", &Clock::faint_on_hover, 1),
    Number(L"hide_on_fullscreen", &Clock::hide_on_fullscreen, 1),
    // Empty switches the hot key off.
    Text(L"hotkey", &Clock::hotkey, L"Ctrl+Alt+H"),
    // "auto" follows the Windows display language; "ja" or "en" choose.
    Text(L"language", &Clock::language, L"auto"),
};

// DATE_DISP, in the order in which SaveDateDisp writes it.
const Setting<Date> kDateSettings[] = {
    Number(L"show_date", &Date::show_date, 1),
    Number(L"hide_clock", &Date::hide_clock, 0),
    Number(L"alpha", &Date::alpha, 203),
    Ranged(L"offset_x", &Date::offset_x, 103, -kOffsetLimit, kOffsetLimit),
    Ranged(L"offset_y", &Date::offset_y, 61, -kOffsetLimit, kOffsetLimit),
    DateFormat(L"date_format", &Date::date_format, 1),
    Number(L"draw_type", &Date::draw_type, 0),
    Number(L"faint_on_hover", &Date::faint_on_hover, 1),
    Number(L"disp_startup_hidden", &Date::disp_startup_hidden, 0),
    Text(L"font_family", &Date::font_family, L"Comic Sans MS"),
    Number(L"font_bold", &Date::font_bold, 1),
    Number(L"font_italic", &Date::font_italic, 0),
    Ranged(L"font_em_height", &Date::font_em_height, 56, kFontEmHeightMin, kFontEmHeightMax),
    Ranged(L"border_frame_scale", &Date::border_frame_scale, 10, 0, kOutlineScaleMax),
    Colour(L"font_color1", &Date::font_color1, 0xFF1F7839),
    Colour(L"font_color3", &Date::font_color3, 0xFFFFFFFF),
};

// ZONE_DISP: each place's zone, label and switch, then where the lines stand.
const Setting<Zones> kZoneSettings[] = {
    Text(L"zone1", &Zones::zone1, L""),   Label(L"label1", &Zones::label1), Number(L"show1", &Zones::show1, 0),
    Text(L"zone2", &Zones::zone2, L""),   Label(L"label2", &Zones::label2), Number(L"show2", &Zones::show2, 0),
    Text(L"zone3", &Zones::zone3, L""),   Label(L"label3", &Zones::label3), Number(L"show3", &Zones::show3, 0),
    Text(L"zone4", &Zones::zone4, L""),   Label(L"label4", &Zones::label4), Number(L"show4", &Zones::show4, 0),
    Ranged(L"offset_x", &Zones::offset_x, 0, -kOffsetLimit, kOffsetLimit),
    Ranged(L"offset_y", &Zones::offset_y, 0, -kOffsetLimit, kOffsetLimit),
};

// Each place's fields, in the order of its number.
struct PlaceFields {
  std::wstring Zones::*zone;
  std::wstring Zones::*label;
  int Zones::*show;
};
constexpr PlaceFields kPlaceFields[kPlaceCount] = {
    {&Zones::zone1, &Zones::label1, &Zones::show1},
    {&Zones::zone2, &Zones::label2, &Zones::show2},
    {&Zones::zone3, &Zones::label3, &Zones::show3},
    {&Zones::zone4, &Zones::label4, &Zones::show4},
};

}  // namespace

AppSaveData_CL::AppSaveData_CL(const Inifile_CL& store) : store_(store) { SetDefaults(*this); }

const KeyTable<Clock>& AppSaveData_CL::Keys() {
  static const KeyTable<Clock> table{kClockSection, {std::begin(kClockSettings), std::end(kClockSettings)}};
  return table;
}

void AppSaveData_CL::SaveClockDisp() const { WriteSection(*this, store_); }

void AppSaveData_CL::SaveField(int Clock::*field) const { WriteFields(*this, store_, field); }

void AppSaveData_CL::SaveField(std::wstring Clock::*field) const { WriteFields(*this, store_, field); }

void AppSaveData_CL::SaveClockDispFlags() const {
  WriteFields(*this, store_, &Clock::disp_startup_hidden, &Clock::disp_second, &Clock::blink, &Clock::hour12,
              &Clock::faint_on_hover, &Clock::alpha);
}

void AppSaveData_CL::SetClockFontEmHeight(int size) {
  font_em_height = settings::Clamp(size, kFontEmHeightMin, kFontEmHeightMax);
  WriteFields(*this, store_, &Clock::font_em_height);
}

void AppSaveData_CL::SetClockFont(const std::wstring& family, int bold, int italic) {
  font_family = family;
  font_bold = bold;
  font_italic = italic;
  WriteFields(*this, store_, &Clock::font_family, &Clock::font_bold, &Clock::font_italic);
  SetClockFontEmHeight(font_em_height);
}

void AppSaveData_CL::SaveClockColors() const {
  WriteFields(*this, store_, &Clock::font_color1, &Clock::font_color2, &Clock::font_color3);
}

void AppSaveData_CL::SetClockDrawType(int drawType) {
  draw_type = drawType;
  WriteFields(*this, store_, &Clock::draw_type);
}

void AppSaveData_CL::SetDisplay(int index, const std::wstring& identity) {
  display_index = index;
  display_id = identity;
  WriteFields(*this, store_, &Clock::display_index, &Clock::display_id);
}

DateSaveData_CL::DateSaveData_CL(const Inifile_CL& store) : store_(store) { SetDefaults(*this); }

const KeyTable<Date>& DateSaveData_CL::Keys() {
  static const KeyTable<Date> table{kDateSection, {std::begin(kDateSettings), std::end(kDateSettings)}};
  return table;
}

void DateSaveData_CL::SaveDateDisp() const { WriteSection(*this, store_); }

void DateSaveData_CL::SaveField(int Date::*field) const { WriteFields(*this, store_, field); }

void DateSaveData_CL::SetDateFontEmHeight(int size) {
  font_em_height = settings::Clamp(size, kFontEmHeightMin, kFontEmHeightMax);
  WriteFields(*this, store_, &Date::font_em_height);
}

void DateSaveData_CL::SetDateFont(const std::wstring& family, int bold, int italic) {
  font_family = family;
  font_bold = bold;
  font_italic = italic;
}

void DateSaveData_CL::SaveDateColors() const { WriteFields(*this, store_, &Date::font_color1, &Date::font_color3); }

ZoneSaveData_CL::ZoneSaveData_CL(const Inifile_CL& store) : store_(store) { SetDefaults(*this); }

const KeyTable<Zones>& ZoneSaveData_CL::Keys() {
  static const KeyTable<Zones> table{kZoneSection, {std::begin(kZoneSettings), std::end(kZoneSettings)}};
  return table;
}

PlaceSetting ZoneSaveData_CL::Place(int index) const {
  if (index < 0 || index >= kPlaceCount) return PlaceSetting{};
  const PlaceFields& fields = kPlaceFields[index];
  return PlaceSetting{this->*fields.zone, this->*fields.label, this->*fields.show};
}

void ZoneSaveData_CL::SetPlace(int index, const PlaceSetting& place) {
  if (index < 0 || index >= kPlaceCount) return;
  const PlaceFields& fields = kPlaceFields[index];
  this->*fields.zone = place.zone;
  this->*fields.label = place.label;
  this->*fields.show = place.show;
  WriteFields(*this, store_, fields.zone, fields.label, fields.show);
}

void ZoneSaveData_CL::SaveOffsets() const { WriteFields(*this, store_, &Zones::offset_x, &Zones::offset_y); }

namespace settings {

int FadedAlpha(int alpha, POINT cursor, const RECT& window) {
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  // The ellipse is half as wide again as the window and centred at 30 % of
  // its height.
  const double semiAxisY = height * 0.6 * 0.5;
  const double semiAxisX = (width / 2) * 1.5;
  if (semiAxisX <= 0.0 || semiAxisY <= 0.0) return alpha;
  const int centreX = (window.left + window.right) / 2;
  const int centreY = static_cast<int>(window.top + semiAxisY);
  const double dx = static_cast<double>(cursor.x) - centreX;
  const double dy = static_cast<double>(cursor.y) - centreY;
  const double q = dx * dx / (semiAxisX * semiAxisX) + dy * dy / (semiAxisY * semiAxisY);
  if (q > 1.0) return alpha;
  const float share = static_cast<float>(std::sqrt(q)) * 0.8f + 0.2f;
  return static_cast<int>(share * static_cast<float>(alpha));
}

int Clamp(int value, int lowest, int highest) {
  if (value < lowest) return lowest;
  if (value > highest) return highest;
  return value;
}

}  // namespace settings
