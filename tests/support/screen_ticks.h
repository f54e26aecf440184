#pragma once
// The clock's picture read from the screen in a tight loop and set against
// the wall clock: when its seconds change, and when its colons show. The
// second's lag benchmark reports it; an end-to-end test holds it to bounds.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace screenticks {

struct ScreenSample {
  // The wall clock as the read began and when it was done, ms since 1601.
  double readFromMs = 0.0;
  double readByMs = 0.0;
  // A digest of the seconds digits' picture.
  std::uint64_t seconds = 0;
  // The clock's ink in its whole window, in pixels.
  size_t ink = 0;
};

// Reads the clock's window from the screen again and again for this long.
std::vector<ScreenSample> WatchClock(HWND clock, DWORD durationMs);

// For each wall-clock second that began while watching, how long after its
// start the seconds digits' picture first changed, or 1000 when they did
// not change in it after it began. A change lies between the last read that
// missed it and the first that saw it, and is taken at their middle.
std::vector<double> SecondLagsMs(const std::vector<ScreenSample>& samples);

double Median(std::vector<double> values);

// Each second's picture no later than 20 ms after the second began on the
// median and 40 ms at worst, and, read well inside each half, the colons'
// ink there in the first half and gone in the second.
::testing::AssertionResult KeepsToTheSecond(const std::vector<ScreenSample>& samples);

}  // namespace screenticks
