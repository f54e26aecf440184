#pragma once
// The program's display: its faces (the clock, the date and the world
// clocks) as the settings and the user want them. One place decides for
// every face whether it is shown, where it stands, how opaque it is, when
// it is repainted and which lies on top; the windows only hand it their
// messages. The running program owns the one display and gives it to its
// windows and the settings pages. The display reads the settings and never
// changes them; they know no windows: whoever changes a setting has the
// change applied here.

#include <windows.h>

#include <cstdint>

#include "comlib/back_buffer.h"
#include "comlib/layered_alpha.h"
#include "comlib/multi_screen.h"
#include "comlib/window_dpi.h"
#include "data/settings.h"
#include "data/world_clocks.h"

enum class Face : int { kClock, kDate, kZones };
constexpr int kFaceCount = 3;

namespace display {

// What a change touched. Apply does what each part needs, in one order.
enum Change : unsigned {
  // Hidden by the user, making way, hide_clock, show_date, the places shown.
  kShowing = 1u << 0,
  // The clock's font, size, outline, seconds, corner, offsets or monitor;
  // the date and the world clocks follow the clock.
  kClockPlace = 1u << 1,
  // The date's font, size, outline, format or offsets; the world clocks
  // share the date's font and stand below it.
  kDatePlace = 1u << 2,
  // The places, their labels, their offsets.
  kZonesPlace = 1u << 3,
  // What a face looks like in place: colours, drawing style, blink, 12-hour.
  kClockLook = 1u << 4,
  kDateLook = 1u << 5,
  kZonesLook = 1u << 6,
  // Alpha and the fade under the mouse.
  kClockOpacity = 1u << 7,
  kDateOpacity = 1u << 8,
  kZonesOpacity = 1u << 9,
  kEverything = (1u << 10) - 1,
};

}  // namespace display

// One face's window: its handle, the opacity it was given last, the DPI it
// is drawn at (its monitor's when it was last placed) and what it showed.
struct FaceState {
  HWND handle = nullptr;
  // The window's picture, drawn here and copied to the window.
  BackBuffer_CL* buffer = nullptr;
  LayeredAlpha alpha;
  int dpi = dpi::kBaseDpi;
};

// What the display check remembers from one check to the next.
struct DisplayCheckState {
  bool onPrimaryFallback = false;
};

class Display_CL {
 public:
  explicit Display_CL(const Settings_CL& settings);
  Display_CL(const Display_CL&) = delete;
  Display_CL& operator=(const Display_CL&) = delete;

  // The windows show the faces, each from its picture; a window going away
  // is let go of.
  void Attach(Face face, HWND window, BackBuffer_CL* buffer = nullptr);
  void Detach(HWND window);
  HWND Window(Face face) const { return faces_[Index(face)].handle; }
  int Dpi(Face face) const { return faces_[Index(face)].dpi; }

  // The one rule of what is shown.
  bool Hidden() const { return hidden_; }
  bool OutOfSight() const { return hidden_ || makingWay_; }
  bool Shown(Face face) const;
  // Every face shows as the settings say, or the program starts hidden.
  void Start(bool hidden);
  // The user hides or shows the program; shown again, the faces come to the
  // top of the topmost band.
  void SetHidden(bool hidden);
  void Apply(unsigned changes);

  // The opacity for now: alpha, faded while the cursor is over the face (as
  // the message being handled carried the cursor).
  int Opacity(Face face) const;
  // Gives a shown face its opacity for now.
  void ApplyOpacity(Face face);

  // The whole WM_PAINT of a face's window.
  void Paint(Face face, HWND window, BackBuffer_CL& buffer);
  // Draws a shown face into its window at once, without a paint message.
  void Draw(Face face);

  // The one tick for every face, on the wall clock's half seconds: the new
  // second, the new minute of the world clocks and the new day, the fades
  // under the mouse, another program's full-screen window, the monitors
  // and the faces' place on top.
  void Tick();
  // Not raised while the settings sheet is open: it must stay above.
  void SetSheetOpen(bool open) { sheetOpen_ = open; }

  MultiScreen_CL& Screens() { return screens_; }
  // The monitor rectangle the clock is placed on.
  RECT ClockMonitorArea() const;
  // Enumerates the monitors again and places every face.
  void RestoreLayout();
  // Re-places the clock when the monitors changed under it; the fallback to
  // the primary display is logged once each time it begins.
  void CheckDisplayChange();
  // The installed fonts changed: measure and draw every text afresh.
  void FontsChanged();
  // The system's clock or its time zones changed: the dates and the world
  // clocks are read again.
  void TimeChanged();
  // What every face adds to Windows' time, in 100 ns ticks (the time
  // server's time minus Windows'); 0 draws Windows' own time. The clock
  // shows a mark while it adds more than a second.
  void SetTimeOffset(std::int64_t ticks);
  std::int64_t TimeOffset() const { return timeOffset_; }

  // The world clocks' lines at this moment, and lines as wide as any they
  // can show.
  std::vector<std::wstring> ZoneLines();
  std::vector<std::wstring> WidestZoneLines();

 private:
  enum class TimeBase { kLocal, kUniversal };
  // The time the faces show: every read of the time goes through here.
  SYSTEMTIME Now(TimeBase base = TimeBase::kLocal) const;
  void ReadZoneRules();

  static int Index(Face face) { return static_cast<int>(face); }
  FaceState& State(Face face) { return faces_[Index(face)]; }

  // Renders the face for now into the buffer and copies it to the device context.
  void Render(Face face, HWND window, BackBuffer_CL& buffer, HDC target);
  bool Fades(Face face) const;
  int Alpha(Face face) const;
  void ShowOrHide(Face face);
  void Repaint(Face face);
  // Every shown face to the top of the topmost band, lowest first.
  void RaiseAll(UINT flags);
  void BringToTop();
  // Placing, each face by the one it follows.
  void PlaceClock();
  void PlaceDate();
  void PlaceZones();
  bool ShouldMakeWay() const;
  // True while making way for a full-screen program.
  bool CheckFullScreen();
  // Raises the faces, showing any that another program hid, when that
  // changes anything.
  void KeepOnTop();
  bool OtherWindowAbove(HWND highest) const;

  const AppSaveData_CL& clock_;
  const DateSaveData_CL& date_;
  const ZoneSaveData_CL& zones_;
  FaceState faces_[kFaceCount];
  // The user has hidden the program (every face).
  bool hidden_ = false;
  // Every face makes way for another program's full-screen window; the
  // user's own hidden flag is left as it is.
  bool makingWay_ = false;
  bool sheetOpen_ = false;
  // The clock's monitor area as the last placement or display check found
  // it: the ticks between them compare with it rather than ask again.
  RECT monitorArea_{};
  MultiScreen_CL screens_;
  DisplayCheckState displayCheck_;
  WorldClocks_CL world_;
  // What the faces showed at the last tick: the date and the world clocks
  // change only with these.
  SYSTEMTIME shown_{};
  unsigned ticks_ = 0;
  std::int64_t timeOffset_ = 0;
  // The time zone's rules while an offset is applied, read again with each
  // new offset and each change of the clock or the zone: converting with
  // rules in hand asks the system nothing, tick after tick.
  TIME_ZONE_INFORMATION zoneRules_{};
  bool zoneRulesRead_ = false;
};
