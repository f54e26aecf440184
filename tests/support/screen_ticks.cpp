#include "support/screen_ticks.h"

#include <algorithm>
#include <cstdint>
#include <utility>
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

// The least and the most ink the screen showed in [fromMs, toMs).
std::pair<size_t, size_t> InkBetween(const std::vector<ScreenSample>& samples, double fromMs, double toMs) {
  std::pair<size_t, size_t> range{SIZE_MAX, 0};
  for (const ScreenSample& sample : samples) {
    if (sample.readFromMs < fromMs || sample.readByMs >= toMs) continue;
    range = {std::min(range.first, sample.ink), std::max(range.second, sample.ink)};
  }
  return range;
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

// Each second's picture no later than 20 ms after the second began on the
// median and 40 ms at worst, and, read well inside each half, the colons'
// ink there in the first half and gone in the second.
::testing::AssertionResult KeepsToTheSecond(const std::vector<ScreenSample>& samples) {
  const std::vector<double> lags = SecondLagsMs(samples);
  if (lags.size() < 8) return ::testing::AssertionFailure() << "only " << lags.size() << " seconds seen";
  const double worst = *std::max_element(lags.begin(), lags.end());
  if (Median(lags) > 20.0 || worst > 40.0) {
    return ::testing::AssertionFailure() << "median " << Median(lags) << " ms, worst " << worst << " ms";
  }
  for (double second = std::ceil(samples.front().readByMs / 1000) * 1000; second + 1000 <= samples.back().readFromMs;
       second += 1000) {
    if (InkBetween(samples, second + 40, second + 500).first <= InkBetween(samples, second + 540, second + 1000).second) {
      return ::testing::AssertionFailure() << "the colons did not follow the half second";
    }
  }
  return ::testing::AssertionSuccess();
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace screenticks
