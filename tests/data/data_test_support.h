#pragma once
// Helpers for the settings tests: putting the process-wide records back as
// they were.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/inifile.h"
#include "comlib/log_file.h"
#include "data/save_data.h"

namespace data_testing {

// The fields of the two records, as they are stored.
#define HORAVEL_CLOCK_FIELDS(X)                                                                              \
  X(alpha) X(blink) X(disp_index) X(disp_offset_x) X(disp_offset_y) X(font_family) X(font_bold)             \
  X(font_italic) X(font_em_height) X(border_frame_scale) X(font_color1) X(font_color2) X(font_color3)       \
  X(draw_type) X(display_index) X(disp_second) X(disp_startup_hidden) X(hour12) X(faint_on_hover)          \
  X(hide_on_fullscreen) X(hotkey) X(language)
#define HORAVEL_DATE_FIELDS(X)                                                                               \
  X(show_date) X(hide_clock) X(alpha) X(offset_x) X(offset_y) X(date_format) X(draw_type) X(faint_on_hover) \
  X(disp_startup_hidden) X(font_family) X(font_bold) X(font_italic) X(font_em_height) X(border_frame_scale) \
  X(font_color1) X(font_color3)
#define HORAVEL_ZONE_FIELDS(X)                                                                               \
  X(zone1) X(zone2) X(zone3) X(zone4) X(label1) X(label2) X(label3) X(label4) X(show1) X(show2) X(show3)     \
  X(show4) X(offset_x) X(offset_y)
#define HORAVEL_COPY_FIELD(name) to.name = from.name;

// Keeps the records, the settings file's path and the log's path, and puts
// them back at the end of a test, so that tests do not leak into each other.
class RecordsGuard {
 public:
  RecordsGuard() : iniPath_(AppIni().Path()), logPath_(AppLog().Path()) {
    Copy(ClockData(), clock_);
    Copy(DateData(), date_);
    Copy(ZoneData(), zones_);
  }

  ~RecordsGuard() {
    Copy(clock_, ClockData());
    Copy(date_, DateData());
    Copy(zones_, ZoneData());
    AppIni().SetPath(iniPath_);
    AppLog().SetPath(logPath_);
  }

  RecordsGuard(const RecordsGuard&) = delete;
  RecordsGuard& operator=(const RecordsGuard&) = delete;

 private:
  static void Copy(const AppSaveData_CL& from, AppSaveData_CL& to) { HORAVEL_CLOCK_FIELDS(HORAVEL_COPY_FIELD) }
  static void Copy(const DateSaveData_CL& from, DateSaveData_CL& to) { HORAVEL_DATE_FIELDS(HORAVEL_COPY_FIELD) }
  static void Copy(const ZoneSaveData_CL& from, ZoneSaveData_CL& to) { HORAVEL_ZONE_FIELDS(HORAVEL_COPY_FIELD) }

  std::wstring iniPath_;
  std::wstring logPath_;
  AppSaveData_CL clock_;
  DateSaveData_CL date_;
  ZoneSaveData_CL zones_;
};

// True when the load holds both font sizes to a range. Until it does, a
// hostile size reaches GDI+ as it is, and Wine's GDI+ dies outlining text
// at huge or negative sizes: nothing can be painted from such a file.
inline bool FontSizesAreRanged() {
  for (const wchar_t* section : {kClockSection, kDateSection}) {
    bool ranged = false;
    for (const settings::KeyRange& rule : settings::LoadRanges(section)) {
      if (std::wstring(rule.key) == L"font_em_height") ranged = rule.ranged;
    }
    if (!ranged) return false;
  }
  return true;
}

}  // namespace data_testing
