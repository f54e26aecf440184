#include "text/clock_tick.h"

namespace clocktick {

namespace {

constexpr UINT kSecondMs = 2 * kTickMs;
// A timer due exactly on the half second could read the clock a hair
// before it.
constexpr UINT kPastTheTickMs = 1;
// Ticks closer than this to the next half second belong to it: timers
// under Windows fire on the system's 15.6 ms beat, and the clock they read
// moves on the same beat.
constexpr UINT kEarlyWindowMs = 30;
// A tick this late is still the second's own.
constexpr UINT kOnTimeWindowMs = 16;

}  // namespace

UINT EarlyByMs(UINT msIntoSecond) {
  const UINT toNext = kTickMs - msIntoSecond % kTickMs;
  return toNext <= kEarlyWindowMs ? toNext : 0;
}

UINT DelayToNextTickMs(UINT msIntoSecond) { return kTickMs - msIntoSecond % kTickMs + kPastTheTickMs; }

bool IsOnTime(UINT msIntoSecond) { return msIntoSecond % kTickMs < kOnTimeWindowMs; }

bool BlinkPhaseAt(UINT msIntoSecond) { return msIntoSecond % kSecondMs >= kTickMs; }

}  // namespace clocktick
