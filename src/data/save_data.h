#pragma once
// The settings store: the clock's, the date's and the world clocks'
// settings, one process-wide record each, their keys in the settings file,
// and the data folder. A
// setter stores a value and has its keys written, together with the other
// changes of the moment (comlib/inifile.h); it knows no window. Whoever
// changes a setting then has the change applied to the windows.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "comlib/ini_text.h"

// A colour as GDI+ takes it: 0xAARRGGBB.
using Argb = std::uint32_t;

// Settings sections.
constexpr wchar_t kClockSection[] = L"CLOCK_DISP";
constexpr wchar_t kDateSection[] = L"DATE_DISP";
constexpr wchar_t kZoneSection[] = L"ZONE_DISP";

class AppSaveData_CL {
 public:
  AppSaveData_CL() = default;
  virtual ~AppSaveData_CL() = default;
  AppSaveData_CL(const AppSaveData_CL&) = delete;
  AppSaveData_CL& operator=(const AppSaveData_CL&) = delete;

  // Start-up, from the clock window's creation: the data folder in the
  // user's documents, the log, the settings file, CLOCK_DISP.
  void Initialize();
  // The same with the documents folder given (tests use a folder of their own).
  void InitializeIn(const std::wstring& documentsFolder);

  void LoadClockDisp();
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
  void SetDisplayIndex(int index);

  const std::wstring& DataFolder() const { return dataFolder_; }
  const std::wstring& SettingsPath() const { return settingsPath_; }

  // Persisted in CLOCK_DISP, named after their keys.
  int alpha = 220;
  int blink = 1;
  int disp_index = 0;
  int disp_offset_x = 32;
  int disp_offset_y = 32;
  std::wstring font_family = L"Comic Sans MS";
  int font_bold = 1;
  int font_italic = 1;
  int font_em_height = 128;
  int border_frame_scale = 6;
  Argb font_color1 = 0xFF00FA00;
  Argb font_color2 = 0xFF00C800;
  Argb font_color3 = 0xFFFFFFFF;
  int draw_type = 0;
  int display_index = 0;
  int disp_second = 1;
  int disp_startup_hidden = 0;
  int hour12 = 0;
  int faint_on_hover = 1;
  int hide_on_fullscreen = 1;
  std::wstring hotkey = L"Ctrl+Alt+H";
  std::wstring language = L"auto";

 private:
  // documentsResult tells whether the documents folder was found; when it was
  // not, documentsFolder is the program's own folder and the log says so.
  void InitializeFrom(const std::wstring& documentsFolder, HRESULT documentsResult);
  // The same with the data folder itself given.
  void InitializeDataFolder(const std::wstring& dataFolder, HRESULT documentsResult);

  std::wstring dataFolder_;
  std::wstring settingsPath_;
};

class DateSaveData_CL {
 public:
  DateSaveData_CL() = default;
  virtual ~DateSaveData_CL() = default;
  DateSaveData_CL(const DateSaveData_CL&) = delete;
  DateSaveData_CL& operator=(const DateSaveData_CL&) = delete;

  void LoadDateDisp();
  void SaveDateDisp() const;
  // Writes the key of one field.
  void SaveField(int DateSaveData_CL::*field) const;

  void SetDateFontEmHeight(int size);
  // Family and styles reach the file with the next SaveDateDisp.
  void SetDateFont(const std::wstring& family, int bold, int italic);
  void SaveDateColors() const;

  // Persisted in DATE_DISP, named after their keys.
  int show_date = 1;
  int hide_clock = 0;
  int alpha = 203;
  int offset_x = 103;
  int offset_y = 61;
  int date_format = 1;
  int draw_type = 0;
  int faint_on_hover = 1;
  int disp_startup_hidden = 0;
  std::wstring font_family = L"Comic Sans MS";
  int font_bold = 1;
  int font_italic = 0;
  int font_em_height = 56;
  int border_frame_scale = 10;
  Argb font_color1 = 0xFF1F7839;
  Argb font_color3 = 0xFFFFFFFF;
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
  ZoneSaveData_CL() = default;
  virtual ~ZoneSaveData_CL() = default;
  ZoneSaveData_CL(const ZoneSaveData_CL&) = delete;
  ZoneSaveData_CL& operator=(const ZoneSaveData_CL&) = delete;

  void LoadZoneDisp();
  // The place numbered index + 1 (zoneN, labelN, showN); setting one has
  // its keys written with the other changes of the moment.
  PlaceSetting Place(int index) const;
  void SetPlace(int index, const PlaceSetting& place);
  void SaveOffsets() const;

  // Persisted in ZONE_DISP, named after their keys.
  std::wstring zone1, zone2, zone3, zone4;
  std::wstring label1, label2, label3, label4;
  int show1 = 0, show2 = 0, show3 = 0, show4 = 0;
  // The lines' centre from the centre of the date (of the clock when the
  // date is off), and their top from its bottom edge, in pixels at 96 DPI.
  int offset_x = 0;
  int offset_y = 0;
};

// A persisted value as a snapshot keeps it.
struct StoredValue {
  int number = 0;
  Argb colour = 0;
  std::wstring text;
};

// Every persisted value of the records, and what the settings file held
// for each of their keys, as they stood when taken.
class SettingsSnapshot {
 public:
  static SettingsSnapshot Take();
  // Puts every value back into the records; writes nothing.
  void Restore() const;
  // Puts back in one write what the file held for each key: a key that was
  // missing is removed again. When the file could not be read as the
  // snapshot was taken (another program held it), nothing is removed: each
  // key whose value a load would not give is written with the value in
  // effect then. True when the file holds it all.
  bool PutBackInFile() const;

  using Value = StoredValue;

 private:
  std::vector<Value> clock_;
  std::vector<Value> date_;
  std::vector<Value> zones_;
  inistore::Changes stored_;
  bool fileRead_ = true;
};

// The program's records.
AppSaveData_CL& ClockData();
DateSaveData_CL& DateData();
ZoneSaveData_CL& ZoneData();

namespace settings {

// The opacity under the mouse: a fifth of alpha at the centre of an ellipse
// over the upper part of the window, rising to alpha at its rim; alpha
// outside it.
int FadedAlpha(int alpha, POINT cursor, const RECT& window);

// Writes in one step each key of the sections whose value a load of the
// file would not give the record, so that the file says what the faces
// show. True when the file holds it all.
bool SaveRecords();

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

// The base folder of the data folder: the documents folder when it is known
// (not empty); otherwise the program's own folder if canWrite says its data
// folder can be written, else the local application data folder under the
// same test, else the program's folder all the same (writes are then lost).
std::wstring ChooseDataBase(const std::wstring& documents, const std::wstring& programFolder,
                           const std::wstring& localAppData, bool (*canWrite)(const std::wstring& base));

// A key of a section as a load treats it: ranged keys are held to
// lowest ... highest.
struct KeyRange {
  const wchar_t* key;
  bool ranged;
  int lowest;
  int highest;
};
std::vector<KeyRange> LoadRanges(const wchar_t* section);

}  // namespace settings
