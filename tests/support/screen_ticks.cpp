#include "support/screen_ticks.h"

#include <algorithm>
#include <cmath>

#include "support/screen_pixels.h"

namespace screenticks {

namespace {

using namespace testing_support;

constexpr double kSecondMs = 1000.0;
// FNV-1a, a digest enough to tell two pictures apart.
constexpr std::uint64_t kDigestStart = 14695981039346656037ull;
constexpr std::uint64_t kDigestPrime = 1099511628211ull;

double WallClockMs() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  return static_cast<double>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 1e4;
}

bool IsClockInk(std::uint32_t colour) {
  return colour == kClockFill || colour == kClockRise || colour == kClockOutline;
}

}  // namespace

std::vector<ScreenSample> WatchClock(HWND clock, DWORD durationMs) {
  RECT window{};
  GetWindowRect(clock, &window);
  // The right quarter of the ink holds the seconds' digits and no colon.
  const RECT ink = ScreenInk(clock);
  const int secondsLeft = ink.right - (ink.right - ink.left) / 4 - window.left;
  std::vector<ScreenSample> samples;
  const double end = WallClockMs() + durationMs;
  while (samples.empty() || samples.back().readByMs < end) {
    ScreenSample sample;
    sample.readFromMs = WallClockMs();
    const ScreenPixels pixels = CaptureScreen(window);
    sample.readByMs = WallClockMs();
    sample.seconds = kDigestStart;
    for (int y = 0; y < pixels.height; ++y) {
      for (int x = 0; x < pixels.width; ++x) {
        const std::uint32_t colour = pixels.At(x, y);
        if (IsClockInk(colour)) ++sample.ink;
        if (x >= secondsLeft) sample.seconds = (sample.seconds ^ colour) * kDigestPrime;
      }
    }
    samples.push_back(sample);
    // A breath between reads: the program draws through the same servers.
    Sleep(1);
  }
  return samples;
}

std::vector<double> SecondLagsMs(const std::vector<ScreenSample>& samples) {
  std::vector<double> lags;
  if (samples.size() < 2) return lags;
  for (double second = std::ceil(samples.front().readByMs / kSecondMs) * kSecondMs;
       second + kSecondMs <= samples.back().readFromMs; second += kSecondMs) {
    double lag = kSecondMs;
    for (size_t i = 1; i < samples.size() && lag == kSecondMs; ++i) {
      // A change that a read done before the second began saw is not its:
      // drawn too early, or the last second's.
      if (samples[i].seconds == samples[i - 1].seconds || samples[i].readByMs < second) continue;
      const double changedAt = (samples[i - 1].readFromMs + samples[i].readByMs) / 2.0;
      if (changedAt < second + kSecondMs) lag = std::max(0.0, changedAt - second);
    }
    lags.push_back(lag);
  }
  return lags;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace screenticks
