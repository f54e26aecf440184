// How long after the wall clock's second the clock shows it: starts the
// program, reads its seconds from the screen for a while and prints the
// median and the worst lag, in ms.
//
//   second_lag_bench.exe [seconds]     (default 30)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "support/screen_ticks.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

namespace {
constexpr int kDefaultSeconds = 30;
constexpr DWORD kDrawnTimeoutMs = 20000;
}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace testing_support;
  using namespace screenticks;
  const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultSeconds;
  ProgramProcess program;
  const HWND clock = StartAndWait(program);
  if (clock == nullptr || !WaitUntil([&] { return ClockFillOnScreen(clock) > 0; }, kDrawnTimeoutMs)) {
    std::fprintf(stderr, "the clock was not drawn\n");
    return 1;
  }
  const std::vector<double> lags = SecondLagsMs(WatchClock(clock, static_cast<DWORD>(seconds) * 1000));
  if (lags.empty()) return 1;
  std::printf("second_lag_ms_median=%.0f\n", Median(lags));
  std::printf("second_lag_ms_worst=%.0f\n", *std::max_element(lags.begin(), lags.end()));
  return 0;
}
