// Where each face of the display stands: each group's clock in its corner
// of its monitor, the date by the clock, the world clocks below the date
// (or the clock), each drawn at the DPI of the monitor it lands on; and the
// monitors followed as they come, go and change, with a group made for
// each new one and taken down with each one gone.

#include <vector>

#include "comlib/log_file.h"
#include "comlib/unique_handle.h"
#include "data/face_measure.h"
#include "data/monitor_choice.h"
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

std::optional<int> Display_CL::ChosenMonitor() const {
  return monitor_choice::ChooseMonitor(monitor_choice::IdentitiesOf(screens_),
                                       monitor_choice::ParseIdentity(clock_.display_id), clock_.display_index);
}

RECT Display_CL::ClockMonitorArea() const {
  return placement::ChooseClockArea(screens_, ChosenMonitor().value_or(-1), PrimaryDisplaySize());
}

size_t Display_CL::FollowMonitors() {
  const std::vector<RECT> areas = placement::GroupAreas(screens_, ChosenMonitor().value_or(-1),
                                                        clock_.display_all != 0 && groupWindows_ != nullptr,
                                                        PrimaryDisplaySize());
  while (groups_.size() > areas.size()) {
    groupWindows_->TakeDown(groups_.size() - 1);
    groups_.pop_back();
  }
  const size_t firstNew = groups_.size();
  while (groups_.size() < areas.size()) {
    groups_.emplace_back();
    if (!groupWindows_->Make(groups_.size() - 1)) {
      HORAVEL_LOG(L"ディスプレイ %d の時計を作れませんでした。", static_cast<int>(groups_.size()));
      groupWindows_->TakeDown(groups_.size() - 1);
      groups_.pop_back();
      break;
    }
  }
  for (size_t group = 0; group < groups_.size(); ++group) groups_[group].area = areas[group];
  return firstNew;
}

void Display_CL::TakeDownGroups() {
  while (groups_.size() > 1) {
    groupWindows_->TakeDown(groups_.size() - 1);
    groups_.pop_back();
  }
}

void Display_CL::PlaceClock(size_t group) {
  FaceState& clock = State(Face::kClock, group);
  if (clock.handle == nullptr) return;
  const RECT area = groups_[group].area;
  // Sizes and offsets are set for 96 DPI; each clock is drawn at its monitor's.
  clock.dpi = DpiOf(area);
  const layout::ClockLayout measured = MeasureClock(clock_, clock.dpi);
  const POINT position =
      placement::ClockPosition(area, clock_.disp_index, dpi::Scale(clock_.disp_offset_x, clock.dpi),
                               dpi::Scale(clock_.disp_offset_y, clock.dpi), measured.ink);
  SetWindowPos(clock.handle, HWND_TOPMOST, position.x, position.y, measured.window.cx, measured.window.cy,
               kPlaceFlags);
  // The window has moved with the old picture in it; draw the new one now
  // rather than at the next tick.
  Repaint(Face::kClock, group);
}

void Display_CL::PlaceDate(size_t group) {
  FaceState& date = State(Face::kDate, group);
  const HWND clock = Window(Face::kClock, group);
  if (date.handle == nullptr || clock == nullptr || !Shown(Face::kDate, group)) return;
  RECT clockRect{};
  // Without the clock's rectangle there is no centre to stand on: the date
  // stays where it is rather than jumping to the screen's corner.
  if (!GetWindowRect(clock, &clockRect)) return;
  // The offsets go at the clock's scale; the date is drawn at the scale of
  // the monitor its centre lands on.
  const int scale = Dpi(Face::kClock, group);
  const POINT centre = placement::CentreOf(clockRect);
  const POINT offset{dpi::Scale(date_.offset_x, scale), dpi::Scale(date_.offset_y, scale)};
  date.dpi = DpiOf(PointRect(POINT{centre.x + offset.x, centre.y + offset.y}));
  const SIZE size = MeasureDate(date_, date.dpi);
  POINT position = placement::DatePosition(centre, offset.x, offset.y, size);
  position = placement::KeepOnSomeMonitor(position, size, MonitorRects(screens_));
  SetWindowPos(date.handle, HWND_TOPMOST, position.x, position.y, size.cx, size.cy, kPlaceFlags);
  InvalidateRect(date.handle, nullptr, FALSE);
}

void Display_CL::PlaceZones(size_t group) {
  FaceState& zones = State(Face::kZones, group);
  // The lines stand below the date, or below the clock when the date is off.
  const HWND followed = Shown(Face::kDate, group) ? Window(Face::kDate, group) : Window(Face::kClock, group);
  if (zones.handle == nullptr || followed == nullptr || !Shown(Face::kZones, group)) return;
  RECT followedRect{};
  if (!GetWindowRect(followed, &followedRect)) return;
  const int scale = Dpi(Face::kClock, group);
  const POINT offset{dpi::Scale(zones_.offset_x, scale), dpi::Scale(zones_.offset_y, scale)};
  zones.dpi = DpiOf(PointRect(POINT{placement::CentreOf(followedRect).x + offset.x, followedRect.bottom + offset.y}));
  const ZonesLayout measured = MeasureZones(date_, WidestZoneLines(group), zones.dpi);
  RECT faces = followedRect;
  RECT clockRect{};
  if (Shown(Face::kClock, group) && GetWindowRect(Window(Face::kClock, group), &clockRect)) {
    UnionRect(&faces, &followedRect, &clockRect);
  }
  POINT position =
      placement::ZonesPosition(followedRect, faces, offset.x, offset.y, measured.window, groups_[group].area);
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
  const bool monitorsChanged = screens_.Enumerate();
  const std::optional<int> chosen = ChosenMonitor();
  if (!chosen && !displayCheck_.onPrimaryFallback) {
    HORAVEL_LOG(L"ディスプレイ %d が見つかりません: プライマリディスプレイに表示します。", clock_.display_index);
  }
  displayCheck_.onPrimaryFallback = !chosen;

  bool needsPlacing = monitorsChanged;
  for (size_t group = 0; group < groups_.size() && !needsPlacing; ++group) {
    const HWND clock = Window(Face::kClock, group);
    if (clock == nullptr) continue;
    RECT clockRect{};
    const bool rectKnown = GetWindowRect(clock, &clockRect) != FALSE;
    needsPlacing = placement::ClockNeedsPlacing(groups_[group].area, rectKnown ? &clockRect : nullptr,
                                                Shown(Face::kClock, group), IsWindowVisible(clock) != FALSE);
  }
  if (!needsPlacing) return;
  HORAVEL_LOG(L"ディスプレイ構成変更を検出: ポジション更新");
  RestoreLayout();
}
