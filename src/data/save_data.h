#pragma once
// The settings records: the clock's, the date's and the world clocks'
// settings, one record per section of the settings file, each field named
// after its key. A record is made at its defaults over the store it writes
// to; a setter stores a value and has its keys written there, together with
// the other changes of the moment (comlib/inifile.h); it knows no window.
// Whoever changes a setting then has the change applied to the windows. The
// records live in the program's one settings object (data/settings.h).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class Inifile_CL;
namespace settingtable {
template <typename Record>
struct KeyTable;
}

// A colour as GDI+ takes it: 0xAARRGGBB.
using Argb = std::uint32_t;

// Settings sections.
constexpr wchar_t kClockSection[] = L"CLOCK_DISP";
constexpr wchar_t kDateSection[] = L"DATE_DISP";
constexpr wchar_t kZoneSection[] = L"ZONE_DISP";

class AppSaveData_CL {
 public:
  // Every value at its default; the setters write to the store.
  explicit AppSaveData_CL(const Inifile_CL& store);
  AppSaveData_CL(const AppSaveData_CL&) = delete;
  AppSaveData_CL& operator=(const AppSaveData_CL&) = delete;

  // CLOCK_DISP's keys, their defaults and load rules.
  static const settingtable::KeyTable<AppSaveData_CL>& Keys();

  // Writes every CLOCK_DISP key from the record.
  void SaveClockDisp() const;
  // Writes the key of one field.
  void SaveField(int AppSaveData_CL::*field) const;
  void SaveField(std::wstring AppSaveData_CL::*field) const;
  // Writes the display flags and the opacity.
  void SaveClockDispFlags() const;

  void SetClockFontEmHeight(int size);
  void SetClockFont(const std::wstring& family, int bold, int italic);
  void SaveClockColors() const;
  void SetClockDrawType(int drawType);
  // The monitor the user chose: its number in the list now and its
  // identity's stored form, written together.
  void SetDisplay(int index, const std::wstring& identity);

  // Persisted in CLOCK_DISP, named after their keys; their defaults are
  // in the key table.
  int alpha;
  int blink;
  int disp_index;
  int disp_offset_x;
  int disp_offset_y;
  std::wstring font_family;
  int font_bold;
  int font_italic;
  int font_em_height;
  int border_frame_scale;
  Argb font_color1;
  Argb font_color2;
  Argb font_color3;
  int draw_type;
  int display_index;
  std::wstring display_id;
  int display_all;
  int disp_second;
  int disp_startup_hidden;
  int hour12;
  int faint_on_hover;
  int hide_on_fullscreen;
  std::wstring hotkey;
  std::wstring language;

 private:
  const Inifile_CL& store_;
};

class DateSaveData_CL {
 public:
  explicit DateSaveData_CL(const Inifile_CL& store);
  DateSaveData_CL(const DateSaveData_CL&) = delete;
  DateSaveData_CL& operator=(const DateSaveData_CL&) = delete;

  static const settingtable::KeyTable<DateSaveData_CL>& Keys();

  void SaveDateDisp() const;
  // Writes the key of one field.
  void SaveField(int DateSaveData_CL::*field) const;

  void SetDateFontEmHeight(int size);
  // Family and styles reach the file with the next SaveDateDisp.
  void SetDateFont(const std::wstring& family, int bold, int italic);
  void SaveDateColors() const;

  // Persisted in DATE_DISP, named after their keys.
  int show_date;
  int hide_clock;
  int alpha;
  int offset_x;
  int offset_y;
  int date_format;
  int draw_type;
  int faint_on_hover;
  int disp_startup_hidden;
  std::wstring font_family;
  int font_bold;
  int font_italic;
  int font_em_height;
  int border_frame_scale;
  Argb font_color1;
  Argb font_color3;

 private:
  const Inifile_CL& store_;
};

// One place among the world clocks.
struct PlaceSetting {
  // The zone's Windows key name ("Tokyo Standard Time"); empty: none.
  std::wstring zone;
  // What the line shows before the time; empty: the zone's short name.
  std::wstring label;
  int show = 0;

  bool operator==(const PlaceSetting& other) const {
    return zone == other.zone && label == other.label && show == other.show;
  }
};
constexpr int kPlaceCount = 4;

// The world clocks: up to four places, each a Windows time zone, a label and
// whether it shows, and where the lines stand. Nothing is written unless the
// user changes it, so a file without the section stays as it is.
class ZoneSaveData_CL {
 public:
  explicit ZoneSaveData_CL(const Inifile_CL& store);
  ZoneSaveData_CL(const ZoneSaveData_CL&) = delete;
  ZoneSaveData_CL& operator=(const ZoneSaveData_CL&) = delete;

  static const settingtable::KeyTable<ZoneSaveData_CL>& Keys();

  // The place numbered index + 1 (zoneN, labelN, showN); setting one has
  // its keys written with the other changes of the moment.
  PlaceSetting Place(int index) const;
  void SetPlace(int index, const PlaceSetting& place);
  void SaveOffsets() const;

  // Persisted in ZONE_DISP, named after their keys.
  std::wstring zone1, zone2, zone3, zone4;
  std::wstring label1, label2, label3, label4;
  int show1, show2, show3, show4;
  // The lines' centre from the centre of the date (of the clock when the
  // date is off), and their top from its bottom edge, in pixels at 96 DPI.
  int offset_x;
  int offset_y;

 private:
  const Inifile_CL& store_;
};

// A persisted value as a snapshot keeps it.
struct StoredValue {
  int number = 0;
  Argb colour = 0;
  std::wstring text;
};

namespace settings {

// The opacity under the mouse: a fifth of alpha at the centre of an ellipse
// over the upper part of the window, rising to alpha at its rim; alpha
// outside it.
int FadedAlpha(int alpha, POINT cursor, const RECT& window);

// Clamp applied when a value is loaded.
int Clamp(int value, int lowest, int highest);

// An opacity a layered window takes: beyond 0 ... 255 a stored alpha would
// wrap around in the byte.
inline int OpacityFrom(int alpha) { return Clamp(alpha, 0, 255); }

// Font sizes any hand edit means, and no more: the window and its back buffer
// stay a few tens of megabytes, and GDI+ can still outline the text.
constexpr int kFontEmHeightMin = 8;
constexpr int kFontEmHeightMax = 1024;
constexpr int kOutlineScaleMax = 20;

// A key of a section as a load treats it: ranged keys are held to
// lowest ... highest.
struct KeyRange {
  const wchar_t* key;
  bool ranged;
  int lowest;
  int highest;
};

}  // namespace settings
