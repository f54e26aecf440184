#include "view/display.h"

#include <windowsx.h>

#include <algorithm>

#include "comlib/font_family.h"
#include "comlib/unique_handle.h"
#include "data/face_measure.h"
#include "text/clock_tick.h"
#include "text/corrected_time.h"
#include "view/renderer.h"

namespace {

constexpr Face kFaces[kFaceCount] = {Face::kClock, Face::kDate, Face::kZones};
// The monitors are checked in full on the first shown tick and then every
// 8 seconds, and looked at briefly on every tick; the faces are put back on
// top, and shown again where another program hid them, every 1.5 seconds.
constexpr unsigned kDisplayCheckEveryTicks = 16;
constexpr unsigned kTopmostEveryTicks = 3;
// What a group made just now needs besides its place: to be shown, given
// its opacity and drawn.
constexpr unsigned kNewGroupChanges = display::kShowing | display::kClockOpacity | display::kDateOpacity |
                                      display::kZonesOpacity | display::kClockLook | display::kDateLook |
                                      display::kZonesLook;

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

SIZE ClientSize(HWND window) {
  RECT client{};
  if (window == nullptr || !GetClientRect(window, &client)) return SIZE{0, 0};
  return SIZE{client.right, client.bottom};
}

}  // namespace

Display_CL::Display_CL(const Settings_CL& settings)
    : clock_(settings.Clock()), date_(settings.Date()), zones_(settings.Zones()), groups_(1) {
  shown_ = Now();
}

void Display_CL::Attach(Face face, HWND window, BackBuffer_CL* buffer, size_t group) {
  if (group >= groups_.size()) return;
  State(face, group) = FaceState{};
  State(face, group).handle = window;
  State(face, group).buffer = buffer;
}

void Display_CL::Detach(HWND window) {
  for (FaceGroup& group : groups_) {
    for (FaceState& face : group.faces) {
      if (face.handle == window) face = FaceState{};
    }
  }
}

bool Display_CL::Shown(Face face, size_t group) const {
  if (hidden_ || groups_[group].makingWay) return false;
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

bool Display_CL::Fades(Face face, size_t group) const {
  // The world clocks fade as the date does.
  return Shown(face, group) && (face == Face::kClock ? clock_.faint_on_hover : date_.faint_on_hover) != 0;
}

int Display_CL::Opacity(Face face, size_t group) const {
  return FadedOpacity(Window(face, group), Alpha(face), Fades(face, group));
}

void Display_CL::ApplyOpacity(Face face, size_t group) {
  FaceState& state = State(face, group);
  if (state.handle != nullptr && Shown(face, group)) state.alpha.Apply(state.handle, Opacity(face, group));
}

void Display_CL::Apply(unsigned changes) {
  using namespace display;
  const size_t firstNew = (changes & kClockPlace) ? FollowMonitors() : groups_.size();
  if (changes & kZonesPlace) world_.Resolve(zones_);
  for (size_t group = 0; group < groups_.size(); ++group) {
    ApplyToGroup(group, group >= firstNew ? changes | kNewGroupChanges : changes);
  }
  if (changes & (kShowing | kClockPlace | kDatePlace | kZonesPlace)) RaiseAll();
}

void Display_CL::ApplyToGroup(size_t group, unsigned changes) {
  using namespace display;
  if (changes & kClockPlace) PlaceClock(group);
  // Each face stands by the one it follows, and a face about to show is placed first.
  if (changes & (kClockPlace | kDatePlace | kShowing)) PlaceDate(group);
  if (changes & (kClockPlace | kDatePlace | kZonesPlace | kShowing)) PlaceZones(group);
  // A layered window shows nothing until it has its opacity.
  if (changes & (kClockOpacity | kShowing)) ApplyOpacity(Face::kClock, group);
  if (changes & (kDateOpacity | kShowing)) ApplyOpacity(Face::kDate, group);
  if (changes & (kDateOpacity | kZonesOpacity | kShowing)) ApplyOpacity(Face::kZones, group);
  if (changes & kShowing) {
    for (const Face face : kFaces) ShowOrHide(face, group);
  }
  if (changes & kClockLook) Repaint(Face::kClock, group);
  if (changes & kDateLook) Repaint(Face::kDate, group);
  // The lines share the date's look and the clock's 12-hour setting.
  if (changes & (kClockLook | kDateLook | kZonesLook)) Repaint(Face::kZones, group);
}

void Display_CL::Start(bool hidden) {
  hidden_ = hidden;
  Apply(display::kEverything);
}

void Display_CL::SetHidden(bool hidden) {
  hidden_ = hidden;
  // The tick stops looking while the user hides the program: look again now.
  if (!hidden) {
    for (size_t group = 0; group < groups_.size(); ++group) groups_[group].makingWay = ShouldMakeWay(group);
  }
  Apply(display::kShowing);
  if (!hidden) BringToTop();
}

void Display_CL::Paint(Face face, HWND window, BackBuffer_CL& buffer, size_t group) {
  if (!Shown(face, group)) {
    ValidateRect(window, nullptr);
    return;
  }
  comlib::PaintScope paint(window);
  Render(face, group, window, PictureBuffer(face, group, buffer), paint.dc());
}

void Display_CL::Draw(Face face, size_t group) {
  const FaceState& state = State(face, group);
  if (state.handle == nullptr || state.buffer == nullptr || !Shown(face, group)) return;
  // Straight to the window: a paint message would cost the round trips of
  // invalidating, asking for the update and validating again, each tick.
  const comlib::WindowDC dc(state.handle);
  if (dc) Render(face, group, state.handle, *state.buffer, dc.get());
}

BackBuffer_CL& Display_CL::PictureBuffer(Face face, size_t group, BackBuffer_CL& own) const {
  // Faces of one scale and size show one picture: the first group's buffer
  // holds it for them all, and no other group keeps a copy.
  const FaceState& state = State(face, group);
  const SIZE size = ClientSize(state.handle);
  for (size_t first = 0; first < group; ++first) {
    const FaceState& other = State(face, first);
    const SIZE otherSize = ClientSize(other.handle);
    if (other.buffer != nullptr && other.dpi == state.dpi && otherSize.cx == size.cx && otherSize.cy == size.cy) {
      return *other.buffer;
    }
  }
  return own;
}

void Display_CL::DrawClocks() {
  // Each picture is drawn once and copied to the other clocks that show
  // it: each of Wine's GDI+ fills costs requests to the X server.
  std::vector<const BackBuffer_CL*> drawn;
  for (size_t group = 0; group < groups_.size(); ++group) {
    const FaceState& clock = State(Face::kClock, group);
    if (clock.handle == nullptr || clock.buffer == nullptr || !Shown(Face::kClock, group)) continue;
    const comlib::WindowDC dc(clock.handle);
    if (!dc) continue;
    BackBuffer_CL& buffer = PictureBuffer(Face::kClock, group, *clock.buffer);
    if (std::find(drawn.begin(), drawn.end(), &buffer) == drawn.end()) {
      Render(Face::kClock, group, clock.handle, buffer, dc.get());
      drawn.push_back(&buffer);
      continue;
    }
    ApplyOpacity(Face::kClock, group);
    buffer.CopyTo(dc.get(), buffer.Width(), buffer.Height());
  }
}

void Display_CL::Render(Face face, size_t group, HWND window, BackBuffer_CL& buffer, HDC target) {
  // The clock's fade follows each of its pictures, twice a second.
  if (face == Face::kClock) ApplyOpacity(Face::kClock, group);
  const SIZE size = ClientSize(window);
  // A minimised window has no client area: the picture waits for its return.
  if (size.cx <= 0 || size.cy <= 0) return;
  buffer.Resize(size.cx, size.cy);
  const SYSTEMTIME now = Now();
  const int dpi = Dpi(face, group);
  switch (face) {
    case Face::kClock:
      render::RenderClock(buffer, clock_, size, now, clocktick::BlinkPhaseAt(now.wMilliseconds), dpi,
                          correctedtime::ShowsMark(timeOffset_));
      break;
    case Face::kDate:
      render::RenderDate(buffer, date_, size, now, dpi);
      break;
    case Face::kZones:
      render::RenderZones(buffer, date_, size, ZoneLines(), WidestZoneLines(group), dpi);
      break;
  }
  buffer.CopyTo(target, size.cx, size.cy);
}

std::vector<std::wstring> Display_CL::ZoneLines() {
  return world_.Lines(Now(TimeBase::kUniversal), Now(), clock_.hour12 != 0);
}

std::vector<std::wstring> Display_CL::WidestZoneLines(size_t group) {
  return world_.WidestLines(WidestZonesDigit(date_, Dpi(Face::kZones, group)), clock_.hour12 != 0);
}

void Display_CL::Tick() {
  const SYSTEMTIME now = Now();
  const bool newDay = !SameDay(now, shown_);
  const bool newMinute = !SameMinute(now, shown_);
  shown_ = now;
  if (hidden_) return;
  // The pictures first: the new second shows as it begins on every
  // monitor, whatever the rest of the tick costs.
  DrawClocks();
  // Monitors come and go without a message under Wine: a brief look every
  // tick finds them within half a second.
  if (ticks_++ % kDisplayCheckEveryTicks == 0 || screens_.Changed()) CheckDisplayChange();
  // One monitor a tick: each full-screen check is a few requests to Wine's
  // server, and a film is not missed for a second.
  CheckFullScreen(ticks_ % groups_.size());
  // A new date may be wider or narrower; the lines' day markers change with it.
  if (newDay) {
    Apply(display::kDatePlace);
  } else if (newMinute) {
    for (size_t group = 0; group < groups_.size(); ++group) Repaint(Face::kZones, group);
  }
  for (size_t group = 0; group < groups_.size(); ++group) {
    ApplyOpacity(Face::kDate, group);
    ApplyOpacity(Face::kZones, group);
  }
  if (!sheetOpen_ && ticks_ % kTopmostEveryTicks == 0) KeepOnTop();
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
