#include "text/corrected_time.h"

namespace correctedtime {

namespace {

using Unsigned = std::uint64_t;

// Below a second Windows' own clock is as good as people can tell on a
// face that shows seconds; beyond it the clock says it corrects.
constexpr Ticks kMarkAboveTicks = kTicksPerSecond;

}  // namespace

SYSTEMTIME Shifted(const SYSTEMTIME& time, Ticks offset) {
  if (offset == 0) return time;
  FILETIME file{};
  if (!SystemTimeToFileTime(&time, &file)) return time;
  const Unsigned ticks = (static_cast<Unsigned>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  // Before 1601 or past what a FILETIME holds, nothing is drawn sooner or later.
  if (offset < 0 && ticks < 0 - static_cast<Unsigned>(offset)) return time;
  const Unsigned moved = ticks + static_cast<Unsigned>(offset);
  if (offset > 0 && moved < ticks) return time;
  file.dwHighDateTime = static_cast<DWORD>(moved >> 32);
  file.dwLowDateTime = static_cast<DWORD>(moved);
  SYSTEMTIME shifted{};
  return FileTimeToSystemTime(&file, &shifted) ? shifted : time;
}

bool ShowsMark(Ticks appliedOffset) { return appliedOffset > kMarkAboveTicks || appliedOffset < -kMarkAboveTicks; }

}  // namespace correctedtime
