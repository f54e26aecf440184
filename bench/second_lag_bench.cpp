// How long after the wall clock's second the clock shows it: starts the
// program, reads its seconds from the screen for a while and prints the
// median and the worst lag, in ms. With "every", each clock the program
// shows (one on each monitor, as its settings may ask) is read in turn, its
// figures numbered from 1, the clock on the chosen monitor first.
//
//   second_lag_bench.exe [seconds] [every]     (default 30)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/screen_ticks.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

namespace {
constexpr int kDefaultSeconds = 30;
constexpr DWORD kDrawnTimeoutMs = 20000;
constexpr wchar_t kGroupClockClass[] = L"HoravelGroupClockClass";

// The median and the worst lag of the clock over this long; false when no
// second was seen.
bool PrintLags(HWND clock, int seconds, const char* suffix) {
  using namespace screenticks;
  const std::vector<double> lags = SecondLagsMs(WatchClock(clock, static_cast<DWORD>(seconds) * 1000));
  if (lags.empty()) return false;
  std::printf("second_lag_ms_median%s=%.0f\n", suffix, Median(lags));
  std::printf("second_lag_ms_worst%s=%.0f\n", suffix, *std::max_element(lags.begin(), lags.end()));
  std::fflush(stdout);
  return true;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace testing_support;
  const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultSeconds;
  const bool every = argc > 2 && std::wstring(argv[2]) == L"every";
  ProgramProcess program;
  const HWND clock = StartAndWait(program);
  if (clock == nullptr || !WaitUntil([&] { return ClockFillOnScreen(clock) > 0; }, kDrawnTimeoutMs)) {
    std::fprintf(stderr, "the clock was not drawn\n");
    return 1;
  }
  std::vector<HWND> clocks{clock};
  if (every) {
    for (HWND group : FindTopLevelWindows(L"Horavel", program.Id(), kGroupClockClass)) clocks.push_back(group);
  }
  for (size_t index = 0; index < clocks.size(); ++index) {
    const std::string suffix = every ? "_clock" + std::to_string(index + 1) : std::string();
    if (!WaitUntil([&] { return ClockFillOnScreen(clocks[index]) > 0; }, kDrawnTimeoutMs) ||
        !PrintLags(clocks[index], seconds, suffix.c_str())) {
      std::fprintf(stderr, "clock %zu was not seen\n", index + 1);
      return 1;
    }
  }
  return 0;
}
