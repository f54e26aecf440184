// Where each face of the display stands: the clock in its corner of its
// monitor, the date by the clock, the world clocks below the date (or the
// clock), each drawn at the DPI of the monitor it lands on; and the
// monitors followed as they come, go and change.

#include <vector>

#include "comlib/log_file.h"
#include "comlib/unique_handle.h"
#include "data/face_measure.h"
#include "data/placement.h"
#include "view/display.h"

namespace {

// Placing never activates a face: none takes input, and none may take the
// focus from the user's window.
constexpr UINT kPlaceFlags = SWP_FRAMECHANGED | SWP_NOACTIVATE;

// The primary display's size as the desktop's device context reports it.
SIZE PrimaryDisplaySize() {
  comlib::WindowDC desktop(GetDesktopWindow());
  if (desktop) {
    const SIZE size{GetDeviceCaps(desktop.get(), HORZRES), GetDeviceCaps(desktop.get(), VERTRES)};
    if (size.cx > 0 && size.cy > 0) return size;
  }
  return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The DPI of the monitor that holds most of the rectangle.
int DpiOf(const RECT& rect) {
  const int found = dpi::ForMonitor(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
  return found > 0 ? found : dpi::ForWindow(nullptr);
}

RECT PointRect(POINT point) { return RECT{point.x, point.y, point.x + 1, point.y + 1}; }

std::vector<RECT> MonitorRects(const MultiScreen_CL& screens) {
  std::vector<RECT> rects;
  for (const MonitorRecord& monitor : screens.monitors) rects.push_back(monitor.info.rcMonitor);
  return rects;
}

}  // namespace

RECT Display_CL::ClockMonitorArea() const {
  return placement::ChooseClockArea(screens_, clock_.display_index, PrimaryDisplaySize());
}

void Display_CL::PlaceClock() {
  FaceState& clock = State(Face::kClock);
  if (clock.handle == nullptr) return;
  const RECT area = ClockMonitorArea();
  monitorArea_ = area;
  // Sizes and offsets are set for 96 DPI; the clock is drawn at its monitor's.
  clock.dpi = DpiOf(area);
  const layout::ClockLayout measured = MeasureClock(clock_, clock.dpi);
  const POINT position =
      placement::ClockPosition(area, clock_.disp_index, dpi::Scale(clock_.disp_offset_x, clock.dpi),
                               dpi::Scale(clock_.disp_offset_y, clock.dpi), measured.ink);
  SetWindowPos(clock.handle, HWND_TOPMOST, position.x, position.y, measured.window.cx, measured.window.cy,
               kPlaceFlags);
  // The window has moved with the old picture in it; draw the new one now
  // rather than at the next tick.
  Repaint(Face::kClock);
}

void Display_CL::PlaceDate() {
  FaceState& date = State(Face::kDate);
  const HWND clock = Window(Face::kClock);
  if (date.handle == nullptr || clock == nullptr || !Shown(Face::kDate)) return;
  RECT clockRect{};
  // Without the clock's rectangle there is no centre to stand on: the date
  // stays where it is rather than jumping to the screen's corner.
  if (!GetWindowRect(clock, &clockRect)) return;
  // The offsets go at the clock's scale; the date is drawn at the scale of
  // the monitor its centre lands on.
  const int scale = Dpi(Face::kClock);
  const POINT centre = placement::CentreOf(clockRect);
  const POINT offset{dpi::Scale(date_.offset_x, scale), dpi::Scale(date_.offset_y, scale)};
  date.dpi = DpiOf(PointRect(POINT{centre.x + offset.x, centre.y + offset.y}));
  const SIZE size = MeasureDate(date_, date.dpi);
  POINT position = placement::DatePosition(centre, offset.x, offset.y, size);
  position = placement::KeepOnSomeMonitor(position, size, MonitorRects(screens_));
  SetWindowPos(date.handle, HWND_TOPMOST, position.x, position.y, size.cx, size.cy, kPlaceFlags);
  InvalidateRect(date.handle, nullptr, FALSE);
}

void Display_CL::PlaceZones() {
  FaceState& zones = State(Face::kZones);
  // The lines stand below the date, or below the clock when the date is off.
  const HWND followed = Shown(Face::kDate) ? Window(Face::kDate) : Window(Face::kClock);
  if (zones.handle == nullptr || followed == nullptr || !Shown(Face::kZones)) return;
  RECT followedRect{};
  if (!GetWindowRect(followed, &followedRect)) return;
  const int scale = Dpi(Face::kClock);
  const POINT offset{dpi::Scale(zones_.offset_x, scale), dpi::Scale(zones_.offset_y, scale)};
  zones.dpi = DpiOf(PointRect(POINT{placement::CentreOf(followedRect).x + offset.x, followedRect.bottom + offset.y}));
  const ZonesLayout measured = MeasureZones(date_, WidestZoneLines(), zones.dpi);
  POINT position = placement::ZonesPosition(followedRect, offset.x, offset.y, measured.window);
  position = placement::KeepOnSomeMonitor(position, measured.window, MonitorRects(screens_));
  SetWindowPos(zones.handle, HWND_TOPMOST, position.x, position.y, measured.window.cx, measured.window.cy,
               kPlaceFlags);
  InvalidateRect(zones.handle, nullptr, FALSE);
}

void Display_CL::RestoreLayout() {
  HORAVEL_LOG(L"ディスプレイレイアウト復元");
  screens_.Enumerate();
  // Hidden by the user: placed for its return, but neither shown nor hidden.
  Apply(hidden_ ? display::kClockPlace : display::kClockPlace | display::kShowing);
}

void Display_CL::CheckDisplayChange() {
  const int displayIndex = clock_.display_index;
  screens_.Enumerate();

  const bool fallback = placement::FallsBackToPrimary(screens_, displayIndex);
  if (fallback && !displayCheck_.onPrimaryFallback) {
    HORAVEL_LOG(L"ディスプレイ %d が見つかりません: プライマリディスプレイに表示します。", displayIndex);
  }
  displayCheck_.onPrimaryFallback = fallback;
  const HWND clock = Window(Face::kClock);
  if (clock == nullptr) return;

  RECT clockRect{};
  const bool rectKnown = GetWindowRect(clock, &clockRect) != FALSE;
  const RECT area = ClockMonitorArea();
  monitorArea_ = area;
  if (!placement::ClockNeedsPlacing(area, rectKnown ? &clockRect : nullptr, Shown(Face::kClock),
                                    IsWindowVisible(clock) != FALSE)) {
    return;
  }
  HORAVEL_LOG(L"ディスプレイ構成変更を検出: ポジション更新");
  RestoreLayout();
}
