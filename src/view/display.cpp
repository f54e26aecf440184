#include "view/display.h"

#include <windowsx.h>

#include "app_ids.h"
#include "comlib/font_family.h"
#include "comlib/full_screen.h"
#include "comlib/log_file.h"
#include "comlib/unique_handle.h"
#include "data/face_measure.h"
#include "text/clock_tick.h"
#include "text/corrected_time.h"
#include "view/renderer.h"

namespace {

constexpr Face kFaces[kFaceCount] = {Face::kClock, Face::kDate, Face::kZones};
// From the lowest to the highest: the clock lies above the date where both
// overlap, the date above the world clocks.
constexpr Face kBottomToTop[kFaceCount] = {Face::kZones, Face::kDate, Face::kClock};
constexpr UINT kRaiseFlags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
// The monitors are checked on the first shown tick and then every 8
// seconds; the faces are put back on top, and shown again where another
// program hid them, every 1.5 seconds.
constexpr unsigned kDisplayCheckEveryTicks = 16;
constexpr unsigned kTopmostEveryTicks = 3;
// Between leaving and re-entering the topmost band, so the faces land on its top.
constexpr DWORD kTopmostSettleMs = 100;

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

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return SameDay(a, b) && a.wHour == b.wHour && a.wMinute == b.wMinute;
}

}  // namespace

Display_CL::Display_CL(const Settings_CL& settings)
    : clock_(settings.Clock()), date_(settings.Date()), zones_(settings.Zones()) {
  shown_ = Now();
}

void Display_CL::Attach(Face face, HWND window, BackBuffer_CL* buffer) {
  State(face) = FaceState{};
  State(face).handle = window;
  State(face).buffer = buffer;
}

void Display_CL::Detach(HWND window) {
  for (FaceState& face : faces_) {
    if (face.handle == window) face = FaceState{};
  }
}

bool Display_CL::Shown(Face face) const {
  if (OutOfSight()) return false;
  switch (face) {
    case Face::kClock:
      return date_.hide_clock == 0;
    case Face::kDate:
      return date_.show_date != 0;
    case Face::kZones:
      return world_.Any();
  }
  return false;
}

int Display_CL::Alpha(Face face) const { return face == Face::kClock ? clock_.alpha : date_.alpha; }

bool Display_CL::Fades(Face face) const {
  // The world clocks fade as the date does.
  return Shown(face) && (face == Face::kClock ? clock_.faint_on_hover : date_.faint_on_hover) != 0;
}

int Display_CL::Opacity(Face face) const { return FadedOpacity(Window(face), Alpha(face), Fades(face)); }

void Display_CL::ApplyOpacity(Face face) {
  FaceState& state = State(face);
  if (state.handle != nullptr && Shown(face)) state.alpha.Apply(state.handle, Opacity(face));
}

void Display_CL::Apply(unsigned changes) {
  using namespace display;
  if (changes & kZonesPlace) world_.Resolve(zones_);
  if (changes & kClockPlace) PlaceClock();
  // Each face stands by the one it follows, and a face about to show is placed first.
  if (changes & (kClockPlace | kDatePlace | kShowing)) PlaceDate();
  if (changes & (kClockPlace | kDatePlace | kZonesPlace | kShowing)) PlaceZones();
  // A layered window shows nothing until it has its opacity.
  if (changes & (kClockOpacity | kShowing)) ApplyOpacity(Face::kClock);
  if (changes & (kDateOpacity | kShowing)) ApplyOpacity(Face::kDate);
  if (changes & (kDateOpacity | kZonesOpacity | kShowing)) ApplyOpacity(Face::kZones);
  if (changes & kShowing) {
    for (const Face face : kFaces) ShowOrHide(face);
  }
  if (changes & kClockLook) Repaint(Face::kClock);
  if (changes & kDateLook) Repaint(Face::kDate);
  // The lines share the date's look and the clock's 12-hour setting.
  if (changes & (kClockLook | kDateLook | kZonesLook)) Repaint(Face::kZones);
  if (changes & (kShowing | kClockPlace | kDatePlace | kZonesPlace)) RaiseAll(kRaiseFlags);
}

void Display_CL::Start(bool hidden) {
  hidden_ = hidden;
  Apply(display::kEverything);
}

void Display_CL::SetHidden(bool hidden) {
  hidden_ = hidden;
  // The tick stops looking while the user hides the program: look again now.
  if (!hidden) makingWay_ = ShouldMakeWay();
  Apply(display::kShowing);
  if (!hidden) BringToTop();
}

// Shown without taking the focus: no face ever wants the keyboard.
void Display_CL::ShowOrHide(Face face) {
  const HWND window = Window(face);
  if (window == nullptr) return;
  if (!Shown(face)) {
    ShowWindow(window, SW_HIDE);
    return;
  }
  // A face minimised by some tool comes back to its size.
  ShowWindow(window, IsIconic(window) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
  // Drawn now, not when the queue next runs dry: an empty window would show.
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void Display_CL::Repaint(Face face) {
  const HWND window = Window(face);
  if (window != nullptr && Shown(face)) InvalidateRect(window, nullptr, FALSE);
}

void Display_CL::RaiseAll(UINT flags) {
  for (const Face face : kBottomToTop) {
    if (Window(face) != nullptr && Shown(face)) SetWindowPos(Window(face), HWND_TOPMOST, 0, 0, 0, 0, flags);
  }
}

void Display_CL::BringToTop() {
  bool any = false;
  for (const Face face : kBottomToTop) {
    if (Window(face) == nullptr || !Shown(face)) continue;
    SetWindowPos(Window(face), HWND_NOTOPMOST, 0, 0, 0, 0, kRaiseFlags | SWP_SHOWWINDOW);
    any = true;
  }
  if (!any) return;
  Sleep(kTopmostSettleMs);
  RaiseAll(kRaiseFlags);
}

void Display_CL::Paint(Face face, HWND window, BackBuffer_CL& buffer) {
  if (!Shown(face)) {
    ValidateRect(window, nullptr);
    return;
  }
  comlib::PaintScope paint(window);
  Render(face, window, buffer, paint.dc());
}

void Display_CL::Draw(Face face) {
  const FaceState& state = State(face);
  if (state.handle == nullptr || state.buffer == nullptr || !Shown(face)) return;
  // Straight to the window: a paint message would cost the round trips of
  // invalidating, asking for the update and validating again, each tick.
  const comlib::WindowDC dc(state.handle);
  if (dc) Render(face, state.handle, *state.buffer, dc.get());
}

void Display_CL::Render(Face face, HWND window, BackBuffer_CL& buffer, HDC target) {
  // The clock's fade follows each of its pictures, twice a second.
  if (face == Face::kClock) ApplyOpacity(Face::kClock);
  RECT client{};
  GetClientRect(window, &client);
  const SIZE size{client.right, client.bottom};
  const SYSTEMTIME now = Now();
  const int dpi = Dpi(face);
  switch (face) {
    case Face::kClock:
      render::RenderClock(buffer, clock_, size, now, clocktick::BlinkPhaseAt(now.wMilliseconds), dpi,
                          correctedtime::ShowsMark(timeOffset_));
      break;
    case Face::kDate:
      render::RenderDate(buffer, date_, size, now, dpi);
      break;
    case Face::kZones:
      render::RenderZones(buffer, date_, size, ZoneLines(), WidestZoneLines(), dpi);
      break;
  }
  buffer.CopyTo(target, size.cx, size.cy);
}

std::vector<std::wstring> Display_CL::ZoneLines() {
  return world_.Lines(Now(TimeBase::kUniversal), Now(), clock_.hour12 != 0);
}

std::vector<std::wstring> Display_CL::WidestZoneLines() {
  return world_.WidestLines(WidestZonesDigit(date_, Dpi(Face::kZones)), clock_.hour12 != 0);
}

void Display_CL::Tick() {
  const SYSTEMTIME now = Now();
  const bool newDay = !SameDay(now, shown_);
  const bool newMinute = !SameMinute(now, shown_);
  shown_ = now;
  if (hidden_) return;
  // The picture first: the new second shows as it begins, whatever the
  // rest of the tick costs.
  Draw(Face::kClock);
  if (ticks_++ % kDisplayCheckEveryTicks == 0) CheckDisplayChange();
  // Neither drawn nor raised while a film or a game has the monitor.
  if (CheckFullScreen()) return;
  // A new date may be wider or narrower; the lines' day markers change with it.
  if (newDay) {
    Apply(display::kDatePlace);
  } else if (newMinute) {
    Repaint(Face::kZones);
  }
  ApplyOpacity(Face::kDate);
  ApplyOpacity(Face::kZones);
  if (!sheetOpen_ && ticks_ % kTopmostEveryTicks == 0) KeepOnTop();
}

bool Display_CL::ShouldMakeWay() const {
  if (clock_.hide_on_fullscreen == 0) return false;
  return fullscreen::IsFullScreenProgramOn(IsRectEmpty(&monitorArea_) ? ClockMonitorArea() : monitorArea_);
}

bool Display_CL::CheckFullScreen() {
  const bool makeWay = ShouldMakeWay();
  if (makeWay != makingWay_) {
    makingWay_ = makeWay;
    HORAVEL_LOG(makeWay ? L"全画面表示のアプリを検出: 時計を隠します。" : L"全画面表示が終了: 時計を表示します。");
    Apply(display::kShowing);
  }
  return makeWay;
}

void Display_CL::KeepOnTop() {
  // The highest shown face: a window that comes to the top of the band
  // comes above it first.
  HWND highest = nullptr;
  bool allVisible = true;
  for (const Face face : kBottomToTop) {
    const HWND window = Window(face);
    if (window == nullptr || !Shown(face)) continue;
    highest = window;
    // Read from this process's own copy of the style, no round trip to
    // Wine's server: another program may have hidden the face.
    if (!IsWindowVisible(window)) allVisible = false;
  }
  if (highest == nullptr) return;
  if (!allVisible || OtherWindowAbove(highest)) RaiseAll(kRaiseFlags | SWP_SHOWWINDOW);
}

bool Display_CL::OtherWindowAbove(HWND highest) const {
  // Only worth a raise when a window of another lies above: under Wine a
  // raise is a few dozen requests to the server, and most ticks nothing is.
  for (HWND above = GetWindow(highest, GW_HWNDPREV); above != nullptr; above = GetWindow(above, GW_HWNDPREV)) {
    const bool ours = above == Window(Face::kClock) || above == Window(Face::kDate) || above == Window(Face::kZones);
    if (!ours && IsWindowVisible(above)) return true;
  }
  return false;
}

void Display_CL::FontsChanged() {
  ReleaseKeptFonts();
  comlib::ForgetUnreadableFamilies();
  Apply(display::kClockPlace | display::kDatePlace | display::kClockLook | display::kDateLook);
}

void Display_CL::TimeChanged() {
  ReadZoneRules();
  shown_ = Now();
  world_.ForgetRules();
  Apply(display::kDatePlace | display::kZonesPlace | display::kClockLook);
}

void Display_CL::SetTimeOffset(std::int64_t ticks) {
  if (ticks == timeOffset_) return;
  timeOffset_ = ticks;
  ReadZoneRules();
  // The date may turn, and the world clocks' minutes, with the offset.
  shown_ = Now();
  Apply(display::kDatePlace | display::kClockLook | display::kZonesLook);
}

SYSTEMTIME Display_CL::Now(TimeBase base) const {
  SYSTEMTIME now{};
  // Without an offset, exactly Windows' own reads, and nothing more per tick.
  if (timeOffset_ == 0) {
    base == TimeBase::kLocal ? GetLocalTime(&now) : GetSystemTime(&now);
    return now;
  }
  GetSystemTime(&now);
  const SYSTEMTIME corrected = correctedtime::Shifted(now, timeOffset_);
  if (base == TimeBase::kUniversal) return corrected;
  // The local time by the zone's rules at the corrected moment, not at
  // Windows': the offset may cross a change to or from daylight saving.
  if (zoneRulesRead_ && SystemTimeToTzSpecificLocalTime(&zoneRules_, &corrected, &now)) return now;
  GetLocalTime(&now);
  return correctedtime::Shifted(now, timeOffset_);
}

void Display_CL::ReadZoneRules() {
  zoneRulesRead_ = timeOffset_ != 0 && GetTimeZoneInformation(&zoneRules_) != TIME_ZONE_ID_INVALID;
}
