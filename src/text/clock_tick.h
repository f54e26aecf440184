#pragma once
// When the clock ticks: on the wall clock's half seconds, so that a new
// second shows as it begins and the colons blink with the seconds. Plain
// arithmetic on the milliseconds into the current second; the clock window
// reads the time and arms its timer.

#include <windows.h>

namespace clocktick {

constexpr UINT kTickMs = 500;

// How long a tick that came just before a half second waits for it: a tick
// meant for second n must not draw second n - 1 again. 0 for a tick that
// came on time or late.
UINT EarlyByMs(UINT msIntoSecond);

// The timer's delay from now to just past the next half second. Armed
// afresh whenever a tick strays, it brings the ticks back to the wall clock
// however late the last one came.
UINT DelayToNextTickMs(UINT msIntoSecond);

// True when a tick came no later than a few milliseconds after a half
// second: a timer that keeps its period keeps to the wall clock then, and
// arming it again on every tick would cost a round trip to Wine's server.
bool IsOnTime(UINT msIntoSecond);

// The blink phase at this moment: the colons show in the first half of each
// second, with the new second, and are blank in the second half.
bool BlinkPhaseAt(UINT msIntoSecond);

}  // namespace clocktick
