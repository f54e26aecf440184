#pragma once
// Helpers for the settings and placement tests: putting the process-wide
// records back as they were, and plain windows to place and fade.

#include <windows.h>

#include <string>
#include <vector>

#include "comlib/inifile.h"
#include "comlib/log_file.h"
#include "data/save_data.h"

namespace data_testing {

// The plain fields of the two records: run-time state and settings.
#define HORAVEL_CLOCK_FIELDS(X)                                                                              \
  X(hwnd) X(hidden) X(band_top) X(band_bottom) X(alpha) X(blink) X(disp_index) X(disp_offset_x)             \
  X(disp_offset_y) X(font_family) X(font_bold) X(font_italic) X(font_em_height) X(border_frame_scale)       \
  X(font_color1) X(font_color2) X(font_color3) X(draw_type) X(display_index) X(disp_second)                 \
  X(disp_startup_hidden) X(hour12) X(faint_on_hover)
#define HORAVEL_DATE_FIELDS(X)                                                                               \
  X(hwnd) X(clock_hwnd) X(show_date) X(hide_clock) X(alpha) X(offset_x) X(offset_y) X(date_format)         \
  X(draw_type) X(faint_on_hover) X(disp_startup_hidden) X(font_family) X(font_bold) X(font_italic)         \
  X(font_em_height) X(border_frame_scale) X(font_color1) X(font_color3)
#define HORAVEL_COPY_FIELD(name) to.name = from.name;

// Keeps the records, the settings file's path and the log's path, and puts
// them back at the end of a test, so that tests do not leak into each other.
class RecordsGuard {
 public:
  RecordsGuard() : iniPath_(AppIni().Path()), logPath_(AppLog().Path()) {
    Copy(ClockData(), clock_);
    Copy(DateData(), date_);
  }

  ~RecordsGuard() {
    Copy(clock_, ClockData());
    Copy(date_, DateData());
    ClockData().clock_font.reset();
    DateData().date_font.reset();
    AppIni().SetPath(iniPath_);
    AppLog().SetPath(logPath_);
  }

  RecordsGuard(const RecordsGuard&) = delete;
  RecordsGuard& operator=(const RecordsGuard&) = delete;

 private:
  static void Copy(const AppSaveData_CL& from, AppSaveData_CL& to) {
    HORAVEL_CLOCK_FIELDS(HORAVEL_COPY_FIELD)
    to.screens.primary = from.screens.primary;
    to.screens.monitors = from.screens.monitors;
  }
  static void Copy(const DateSaveData_CL& from, DateSaveData_CL& to) { HORAVEL_DATE_FIELDS(HORAVEL_COPY_FIELD) }

  std::wstring iniPath_;
  std::wstring logPath_;
  AppSaveData_CL clock_;
  DateSaveData_CL date_;
};

// A borderless, visible, topmost window that does not take the focus.
class TestWindow {
 public:
  TestWindow(int x, int y, int width, int height, DWORD extraExStyle = 0)
      : window_(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | extraExStyle, L"STATIC",
                                L"placement test", WS_POPUP, x, y, width, height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {
    // Shown without activation: Wine waits for a window manager when an
    // activated window goes away.
    if (window_) ShowWindow(window_, SW_SHOWNOACTIVATE);
  }
  ~TestWindow() {
    if (window_) DestroyWindow(window_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND get() const { return window_; }
  RECT Rect() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return rect;
  }

 private:
  HWND window_;
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

// True when `upper` lies above `lower` in the z-order.
inline bool IsAbove(HWND upper, HWND lower) {
  for (HWND next = GetWindow(upper, GW_HWNDNEXT); next != nullptr; next = GetWindow(next, GW_HWNDNEXT)) {
    if (next == lower) return true;
  }
  return false;
}

}  // namespace data_testing
