#include "view/display.h"

#include <windowsx.h>

#include <vector>

#include "app_ids.h"
#include "comlib/log_file.h"
#include "comlib/unique_handle.h"
#include "data/placement.h"
#include "data/save_data.h"

namespace {

// Placing never activates a window: neither takes input, and neither may
// take the focus from the user's window.
constexpr UINT kPlaceFlags = SWP_FRAMECHANGED | SWP_NOACTIVATE;
constexpr UINT kRaiseFlags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;

// The primary display's size as the desktop's device context reports it.
SIZE PrimaryDisplaySize() {
  comlib::WindowDC desktop(GetDesktopWindow());
  if (desktop) {
    const SIZE size{GetDeviceCaps(desktop.get(), HORZRES), GetDeviceCaps(desktop.get(), VERTRES)};
    if (size.cx > 0 && size.cy > 0) return size;
  }
  return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The fade under the cursor for a window, or plain alpha when the window
// cannot be read.
int FadedOpacity(HWND window, int alpha, bool fades) {
  const int opacity = settings::OpacityFrom(alpha);
  if (!fades || window == nullptr) return opacity;
  // Where the cursor was when the message being handled (a tick, mostly)
  // was sent: as good as now for fading, and unlike asking for the cursor,
  // no round trip to Wine's server twice a second.
  const DWORD position = GetMessagePos();
  const POINT cursor{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return opacity;
  return settings::FadedAlpha(opacity, cursor, rect);
}

// The DPI of the monitor that holds most of the rectangle.
int DpiOf(const RECT& rect) {
  const int found = dpi::ForMonitor(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
  return found > 0 ? found : dpi::ForWindow(nullptr);
}

std::vector<RECT> MonitorRects() {
  std::vector<RECT> rects;
  for (const MonitorRecord& monitor : Display().screens.monitors) rects.push_back(monitor.info.rcMonitor);
  return rects;
}

void PlaceClock() {
  DisplayState& state = Display();
  const AppSaveData_CL& clock = ClockData();
  if (state.clock.handle == nullptr) return;
  const RECT area = display::ClockMonitorArea();
  state.monitorArea = area;
  // Sizes and offsets are set for 96 DPI; the clock is drawn at its monitor's.
  const int dpi = DpiOf(area);
  state.clock.dpi = dpi;
  const layout::ClockLayout measured = MeasureClock(dpi);
  const POINT position = placement::ClockPosition(area, clock.disp_index, dpi::Scale(clock.disp_offset_x, dpi),
                                                  dpi::Scale(clock.disp_offset_y, dpi), measured.ink);
  SetWindowPos(state.clock.handle, HWND_TOPMOST, position.x, position.y, measured.window.cx, measured.window.cy,
               kPlaceFlags);
  // The window has moved with the old picture in it; draw the new one now
  // rather than at the next tick.
  if (display::ClockShown()) InvalidateRect(state.clock.handle, nullptr, FALSE);
}

void PlaceDate() {
  DisplayState& state = Display();
  const DateSaveData_CL& date = DateData();
  if (state.date.handle == nullptr || state.clock.handle == nullptr || !display::DateShown()) return;
  RECT clockRect{};
  // Without the clock's rectangle there is no centre to stand on: the date
  // stays where it is rather than jumping to the screen's corner.
  if (!GetWindowRect(state.clock.handle, &clockRect)) return;
  // The offsets go at the clock's scale; the date is drawn at the scale of
  // the monitor its centre lands on.
  const POINT centre = placement::CentreOf(clockRect);
  const POINT offset{dpi::Scale(date.offset_x, state.clock.dpi), dpi::Scale(date.offset_y, state.clock.dpi)};
  const RECT target{centre.x + offset.x, centre.y + offset.y, centre.x + offset.x + 1, centre.y + offset.y + 1};
  state.date.dpi = DpiOf(target);
  const SIZE size = MeasureDate(state.date.dpi);
  POINT position = placement::DatePosition(centre, offset.x, offset.y, size);
  position = placement::KeepOnSomeMonitor(position, size, MonitorRects());
  SetWindowPos(state.date.handle, HWND_TOPMOST, position.x, position.y, size.cx, size.cy, kPlaceFlags);
  InvalidateRect(state.date.handle, nullptr, FALSE);
}

// Shown without taking the focus: neither window ever wants the keyboard.
void ShowOrHide(HWND window, bool shown) {
  if (window == nullptr) return;
  if (!shown) {
    ShowWindow(window, SW_HIDE);
    return;
  }
  ShowWindow(window, SW_SHOWNA);
  // Drawn now, not when the queue next runs dry: an empty window would show.
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void ApplyDateTimers() {
  const HWND date = Display().date.handle;
  if (date == nullptr) return;
  if (display::DateShown()) {
    SetTimer(date, kDateTimerId, kDateTimerMs, nullptr);
  } else {
    KillTimer(date, kDateTimerId);
  }
}

void Repaint(HWND window, bool shown) {
  if (window != nullptr && shown) InvalidateRect(window, nullptr, FALSE);
}

// The clock lies above the date where both overlap.
void RaiseClock() {
  const HWND clock = Display().clock.handle;
  if (clock != nullptr && display::ClockShown()) SetWindowPos(clock, HWND_TOPMOST, 0, 0, 0, 0, kRaiseFlags);
}

}  // namespace

DisplayState& Display() {
  static DisplayState state;
  return state;
}

namespace display {

void Apply(unsigned changes) {
  DisplayState& state = Display();
  if (changes & kClockPlace) PlaceClock();
  // The date stands by the clock, and a date about to show is placed first.
  if (changes & (kClockPlace | kDatePlace | kShowing)) PlaceDate();
  // A layered window shows nothing until it has its opacity.
  if (changes & (kClockOpacity | kShowing)) ApplyClockOpacity();
  if (changes & (kDateOpacity | kShowing)) ApplyDateOpacity();
  if (changes & kShowing) {
    ShowOrHide(state.clock.handle, ClockShown());
    ShowOrHide(state.date.handle, DateShown());
    ApplyDateTimers();
  }
  if (changes & kClockLook) Repaint(state.clock.handle, ClockShown());
  if (changes & kDateLook) Repaint(state.date.handle, DateShown());
  if (changes & (kShowing | kClockPlace | kDatePlace)) RaiseClock();
}

bool OutOfSight() { return Display().hidden || Display().makingWay; }

bool ClockShown() { return !OutOfSight() && DateData().hide_clock == 0; }

bool DateShown() { return !OutOfSight() && DateData().show_date != 0; }

int ClockOpacity() {
  const AppSaveData_CL& clock = ClockData();
  return FadedOpacity(Display().clock.handle, clock.alpha, ClockShown() && clock.faint_on_hover != 0);
}

int DateOpacity() {
  const DateSaveData_CL& date = DateData();
  return FadedOpacity(Display().date.handle, date.alpha, DateShown() && date.faint_on_hover != 0);
}

void ApplyClockOpacity() {
  ShownWindow& clock = Display().clock;
  if (clock.handle != nullptr && ClockShown()) clock.alpha.Apply(clock.handle, ClockOpacity());
}

void ApplyDateOpacity() {
  ShownWindow& date = Display().date;
  if (date.handle != nullptr && DateShown()) date.alpha.Apply(date.handle, DateOpacity());
}

void PassClockTick() {
  const HWND date = Display().date.handle;
  if (date != nullptr && DateData().faint_on_hover) SendMessageW(date, WM_TIMER, kDateFadeTimerId, 0);
}

RECT ClockMonitorArea() {
  return placement::ChooseClockArea(Display().screens, ClockData().display_index, PrimaryDisplaySize());
}

void RestoreDisplayLayout() {
  HORAVEL_LOG(L"ディスプレイレイアウト復元");
  DisplayState& state = Display();
  state.screens.Enumerate();
  // Hidden by the user: placed for its return, but neither shown nor hidden.
  Apply(state.hidden ? kClockPlace : kClockPlace | kShowing);
}

void CheckDisplayChange(DisplayCheckState& check) {
  DisplayState& state = Display();
  const int displayIndex = ClockData().display_index;
  state.screens.Enumerate();

  const bool fallback = placement::FallsBackToPrimary(state.screens, displayIndex);
  if (fallback && !check.onPrimaryFallback) {
    HORAVEL_LOG(L"ディスプレイ %d が見つかりません: プライマリディスプレイに表示します。", displayIndex);
  }
  check.onPrimaryFallback = fallback;
  if (state.clock.handle == nullptr) return;

  RECT clockRect{};
  const bool rectKnown = GetWindowRect(state.clock.handle, &clockRect) != FALSE;
  const RECT area = ClockMonitorArea();
  state.monitorArea = area;
  if (!placement::ClockNeedsPlacing(area, rectKnown ? &clockRect : nullptr, ClockShown(),
                                    IsWindowVisible(state.clock.handle) != FALSE)) {
    return;
  }
  HORAVEL_LOG(L"ディスプレイ構成変更を検出: ポジション更新");
  RestoreDisplayLayout();
}

void FontsChanged() {
  ReleaseKeptFonts();
  Apply(kClockPlace | kDatePlace | kClockLook | kDateLook);
}

void ForgetWindow(HWND window) {
  DisplayState& state = Display();
  if (state.clock.handle == window) state.clock = ShownWindow{};
  if (state.date.handle == window) state.date = ShownWindow{};
}

}  // namespace display
