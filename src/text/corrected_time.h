#pragma once
// The time the faces draw when network time is on: Windows' time plus the
// offset the time server measured. Plain arithmetic on plain times; the
// display reads Windows' clock and the clock window aligns its tick with
// the same sum.

#include <windows.h>

#include <cstdint>

namespace correctedtime {

// 100 ns ticks, as FILETIME counts them; positive when the server is ahead.
using Ticks = std::int64_t;
constexpr Ticks kTicksPerSecond = 10000000;

// The time moved by the offset; the time itself when the offset is 0 or
// the sum would leave what SYSTEMTIME can hold.
SYSTEMTIME Shifted(const SYSTEMTIME& time, Ticks offset);

// Whether the clock shows its mark: the offset it adds to Windows' time
// (0 when none is applied) is more than a second either way.
bool ShowsMark(Ticks appliedOffset);

}  // namespace correctedtime
