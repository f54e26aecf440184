#pragma once
// Which monitor the clock stands on: the one the user chose, found again by
// what identifies it, wherever it now stands in the system's list. Plain
// functions over plain values.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "comlib/multi_screen.h"

namespace monitor_choice {

// What tells a monitor apart: its device interface name (on Windows the
// monitor's own hardware id; under Wine a number in the order of the
// outputs) and, as a second hint, its rectangle.
struct MonitorIdentity {
  RECT rect{};
  std::wstring name;
};

MonitorIdentity IdentityOf(const MonitorRecord& monitor);
std::vector<MonitorIdentity> IdentitiesOf(const MultiScreen_CL& screens);

// Stored form: the rectangle as four signed decimals, then the name, all
// separated by commas. In the name, blanks, control characters, anything
// beyond ASCII and '%' itself are written as '%' and four hexadecimal digits,
// so any name survives a settings file in any encoding, and the profile
// functions' trimming of blanks and quotes.
std::wstring IdentityText(const MonitorIdentity& identity);

// Reads the stored form back; anything unreadable, a rectangle without area
// included, is no identity.
std::optional<MonitorIdentity> ParseIdentity(const std::wstring& text);

// The stored form of the identity of the monitor at the display number the
// user chose; empty when the number names no monitor.
std::wstring IdentityTextFor(const MultiScreen_CL& screens, int displayIndex);

// The index of the monitor to stand on, or none: the caller then falls back
// to the primary display. Without a stored identity (a file from before it
// was kept, or an unreadable one), the display number decides as it always
// has. With one, the first of these rules that finds a monitor decides:
//   1. the same name and the same rectangle;
//   2. the same name and the same size: moved in the layout;
//   3. the same rectangle: under Wine, a monitor moved in the order takes
//      another's name but keeps its place;
//   4. the only monitor of the stored size: under Wine, one moved both in
//      the order and in place (the primary always stands at the origin, so
//      the others shift when the one there goes);
//   5. the same name and a corner of the stored rectangle: its resolution
//      changed. A shared corner keeps a name that Wine handed to another
//      monitor elsewhere from counting.
// Where name and rectangle point at two monitors of one size (alike monitors
// that swapped places on Windows, or swapped in the order under Wine), the
// name wins: it is right on Windows, where the clock is used.
std::optional<int> ChooseMonitor(const std::vector<MonitorIdentity>& monitors,
                                 const std::optional<MonitorIdentity>& stored, int displayIndex);

}  // namespace monitor_choice
