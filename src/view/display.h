#pragma once
// The program's display: its faces (the clock, the date and the world
// clocks) as the settings and the user want them, in one group on the
// chosen monitor or a group on every monitor. One place decides for every
// face whether it is shown, where it stands, how opaque it is, when it is
// repainted and which lies on top; the windows only hand it their
// messages. The running program owns the one display and gives it to its
// windows and the settings pages. The display reads the settings and never
// changes them; they know no windows: whoever changes a setting has the
// change applied here.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

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
  // The clock's font, size, outline, seconds, corner, offsets or monitor,
  // the monitors themselves, or a group on every monitor: groups are made
  // or taken down as the monitors say. The date and the world clocks
  // follow the clock.
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

// The faces on one monitor, placed, shown and made way for together. The
// first group is the clock's own, on the chosen monitor; the others stand
// on the other monitors while every monitor shows the faces.
struct FaceGroup {
  FaceState faces[kFaceCount];
  // The area its clock is placed in, as the last placement found it.
  RECT area{};
  // Making way for another program's full-screen window on this monitor.
  bool makingWay = false;
};

// Makes and takes down the windows of the groups after the first, whose
// windows the program makes at its start. The display asks as monitors
// come and go; the windows attach themselves to their group.
class GroupWindows {
 public:
  virtual ~GroupWindows() = default;
  // False when the windows could not be made.
  virtual bool Make(size_t group) = 0;
  virtual void TakeDown(size_t group) = 0;
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

  // Where the windows of the groups after the first come from; without
  // them, only the clock's own group shows.
  void SetGroupWindows(GroupWindows* windows) { groupWindows_ = windows; }
  // The groups after the first go, before the platform does.
  void TakeDownGroups();
  size_t GroupCount() const { return groups_.size(); }

  // The windows show the faces, each from its picture; a window going away
  // is let go of. Group 0 is the clock's own.
  void Attach(Face face, HWND window, BackBuffer_CL* buffer = nullptr, size_t group = 0);
  void Detach(HWND window);
  HWND Window(Face face, size_t group = 0) const { return State(face, group).handle; }
  int Dpi(Face face, size_t group = 0) const { return State(face, group).dpi; }

  // The one rule of what is shown.
  bool Hidden() const { return hidden_; }
  bool Shown(Face face, size_t group = 0) const;
  // Every face shows as the settings say, or the program starts hidden.
  void Start(bool hidden);
  // The user hides or shows the program, every group of it; shown again,
  // the faces come to the top of the topmost band.
  void SetHidden(bool hidden);
  void Apply(unsigned changes);

  // The opacity for now: alpha, faded while the cursor is over the face (as
  // the message being handled carried the cursor).
  int Opacity(Face face, size_t group = 0) const;
  // Gives a shown face its opacity for now.
  void ApplyOpacity(Face face, size_t group = 0);

  // The whole WM_PAINT of a face's window.
  void Paint(Face face, HWND window, BackBuffer_CL& buffer, size_t group = 0);
  // Draws a shown face into its window at once, without a paint message.
  void Draw(Face face, size_t group = 0);

  // The one tick for every face of every group, on the wall clock's half
  // seconds: the new second, the new minute of the world clocks and the new
  // day, the fades under the mouse, another program's full-screen window,
  // the monitors and the faces' place on top.
  void Tick();
  // Not raised while the settings sheet is open: it must stay above.
  void SetSheetOpen(bool open) { sheetOpen_ = open; }

  const MultiScreen_CL& Screens() const { return screens_; }
  MultiScreen_CL& Screens() { return screens_; }
  // The monitor the user chose, found in the list by its identity; none
  // when it is not there.
  std::optional<int> ChosenMonitor() const;
  // The monitor rectangle the clock is placed on.
  RECT ClockMonitorArea() const;
  // Enumerates the monitors again, follows them with the groups and places
  // every face.
  void RestoreLayout();
  // Enumerates the monitors and places the faces again where the monitors
  // changed or a clock is not where it belongs; the fallback to the primary
  // display is logged once each time it begins.
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
  // can show at a group's scale.
  std::vector<std::wstring> ZoneLines();
  std::vector<std::wstring> WidestZoneLines(size_t group = 0);

 private:
  enum class TimeBase { kLocal, kUniversal };
  // The time the faces show: every read of the time goes through here.
  SYSTEMTIME Now(TimeBase base = TimeBase::kLocal) const;
  void ReadZoneRules();

  static int Index(Face face) { return static_cast<int>(face); }
  const FaceState& State(Face face, size_t group) const { return groups_[group].faces[Index(face)]; }
  FaceState& State(Face face, size_t group) { return groups_[group].faces[Index(face)]; }

  // What a change means for one group's faces.
  void ApplyToGroup(size_t group, unsigned changes);
  // Makes or takes down groups until there is one for each area the
  // monitors give, and gives each its area; the first new group's index.
  size_t FollowMonitors();
  // Every shown clock, the new second's picture drawn once for each scale.
  void DrawClocks();
  // Where a face's picture is drawn: its own buffer, or the one of the
  // first group whose face has its scale and size.
  BackBuffer_CL& PictureBuffer(Face face, size_t group, BackBuffer_CL& own) const;
  // Renders the face for now into the buffer and copies it to the device context.
  void Render(Face face, size_t group, HWND window, BackBuffer_CL& buffer, HDC target);
  bool Fades(Face face, size_t group) const;
  int Alpha(Face face) const;
  void ShowOrHide(Face face, size_t group);
  void Repaint(Face face, size_t group);
  // Every shown face to the top of the topmost band, lowest first, group
  // by group.
  void RaiseAll(UINT extraFlags = 0);
  void BringToTop();
  // Placing, each face by the one it follows.
  void PlaceClock(size_t group);
  void PlaceDate(size_t group);
  void PlaceZones(size_t group);
  bool ShouldMakeWay(size_t group) const;
  // Whether the group makes way for a full-screen program on its monitor,
  // showing or hiding it when that changes.
  void CheckFullScreen(size_t group);
  // Raises the faces, showing any that another program hid, when that
  // changes anything.
  void KeepOnTop();
  bool OtherWindowAbove(HWND highest) const;
  bool IsFaceWindow(HWND window) const;

  const AppSaveData_CL& clock_;
  const DateSaveData_CL& date_;
  const ZoneSaveData_CL& zones_;
  std::vector<FaceGroup> groups_;
  GroupWindows* groupWindows_ = nullptr;
  // The user has hidden the program (every face).
  bool hidden_ = false;
  bool sheetOpen_ = false;
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
