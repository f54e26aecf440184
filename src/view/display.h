#pragma once
// The program's two windows as the settings and the user want them: whether
// each is shown, where it stands, how opaque it is, the date's timers and
// which of them lies on top. The settings store knows no windows; whoever
// changes a setting, or the user's wish to hide the program, has the change
// applied here, once.

#include <windows.h>

#include "comlib/layered_alpha.h"
#include "comlib/multi_screen.h"
#include "comlib/window_dpi.h"

// One of the two windows: its handle, the opacity it was given last, and
// the DPI it is drawn at, its monitor's when it was last placed.
struct ShownWindow {
  HWND handle = nullptr;
  LayeredAlpha alpha;
  int dpi = dpi::kBaseDpi;
};

// What the program keeps at run time beside its settings.
struct DisplayState {
  ShownWindow clock;
  ShownWindow date;
  // The user has hidden the program (clock and date).
  bool hidden = false;
  // Both windows make way for another program's full-screen window; the
  // user's own hidden flag is left as it is.
  bool makingWay = false;
  // The clock's monitor area as the last placement or display check found
  // it: the ticks between them compare with it rather than ask again.
  RECT monitorArea{};
  MultiScreen_CL screens;
};

// The program's one display state.
DisplayState& Display();

// What the display check remembers from one check to the next.
struct DisplayCheckState {
  bool onPrimaryFallback = false;
};

namespace display {

// What a change touched. Apply does what each part needs, in one order.
enum Change : unsigned {
  // Hidden by the user, making way, hide_clock, show_date; also the date's
  // timer, which runs while the date shows.
  kShowing = 1u << 0,
  // The clock's font, size, outline, seconds, corner, offsets or monitor;
  // the date follows the clock.
  kClockPlace = 1u << 1,
  // The date's font, size, outline, format or offsets.
  kDatePlace = 1u << 2,
  // What the clock looks like in place: colours, drawing style, blink, 12-hour.
  kClockLook = 1u << 3,
  kDateLook = 1u << 4,
  // Alpha and the fade under the mouse.
  kClockOpacity = 1u << 5,
  kDateOpacity = 1u << 6,
  kEverything = (1u << 7) - 1,
};
void Apply(unsigned changes);

// The one rule of what is shown.
bool OutOfSight();
bool ClockShown();
bool DateShown();

// The opacity for now: alpha, faded while the cursor is over the window (as
// the message being handled carried the cursor).
int ClockOpacity();
int DateOpacity();
// Gives a shown window its opacity for now: the fade, twice a second.
void ApplyClockOpacity();
void ApplyDateOpacity();

// The clock's tick, passed on to the date window for its fade under the
// mouse (and an early look at the day).
void PassClockTick();

// The monitor rectangle the clock is placed on.
RECT ClockMonitorArea();
// Enumerates the monitors again and places both windows.
void RestoreDisplayLayout();
// Re-places the clock when the monitors changed under it; the fallback to
// the primary display is logged once each time it begins.
void CheckDisplayChange(DisplayCheckState& state);

// A window that is going away.
void ForgetWindow(HWND window);

// The installed fonts changed: measure and draw both texts afresh.
void FontsChanged();

}  // namespace display
