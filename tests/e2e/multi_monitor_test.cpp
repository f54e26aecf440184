// Drives the built Horavel.exe on monitors that come and go for real. These
// tests run on the Xvnc display of multi_monitor_test.sh (ctest's
// multi_monitor_tests) and are skipped elsewhere.

#include <gtest/gtest.h>

#include <vector>

#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_layout.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// Wine reports a new layout within a few dozen milliseconds of the X server.
constexpr DWORD kMonitorsTimeoutMs = 5000;
constexpr DWORD kDrawTimeoutMs = 10000;
// Wine 8 sends no WM_DISPLAYCHANGE for a layout changed by the X server: the
// program finds out at its next look at the monitors, every eight seconds.
constexpr DWORD kFollowTimeoutMs = 20000;
constexpr int kBottomRight = 3;
// The ink stands 32 pixels from the corner; narrower digits leave more.
constexpr LONG kCornerReachPx = 64;

// Side by side and of different sizes, so that each corner is a monitor's own.
constexpr RECT kPrimary{0, 0, 1280, 800};
constexpr RECT kBeside{1280, 0, 2304, 768};

class MultiMonitor : public ProgramTest {
 protected:
  void SetUp() override {
    if (ScreenLayout::Port() == 0) GTEST_SKIP() << "needs the display of multi_monitor_test.sh";
    ProgramTest::SetUp();
  }

  // Lays the monitors out and waits until Wine reports them.
  void Lay(const std::vector<RECT>& monitors) {
    ASSERT_TRUE(layout_.Set(monitors)) << layout_.Error();
    ASSERT_TRUE(WaitForMonitors(monitors, kMonitorsTimeoutMs)) << MonitorRects().size() << " monitors reported";
  }

  ScreenLayout layout_;
};

// Whether the clock's ink on the screen comes to stand wholly on the monitor,
// by its bottom-right corner, before the deadline.
::testing::AssertionResult InkReachesCorner(HWND clock, const RECT& monitor, DWORD timeoutMs) {
  RECT ink{};
  const auto inCorner = [&] {
    ink = ScreenInk(clock);
    RECT inside{};
    return IntersectRect(&inside, &ink, &monitor) && EqualRect(&inside, &ink) &&
           monitor.right - ink.right <= kCornerReachPx && monitor.bottom - ink.bottom <= kCornerReachPx;
  };
  if (WaitUntil(inCorner, timeoutMs)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "ink at " << ink.left << "," << ink.top << "," << ink.right << ","
                                       << ink.bottom << ", monitor " << monitor.left << "," << monitor.top << ","
                                       << monitor.right << "," << monitor.bottom;
}

}  // namespace

TEST_F(MultiMonitor, ALayoutChangeReachesARunningClock) {
  ASSERT_NO_FATAL_FAILURE(Lay({kPrimary, kBeside}));
  SetProgramSetting(L"CLOCK_DISP", L"display_index", 1);
  SetProgramSetting(L"CLOCK_DISP", L"disp_index", kBottomRight);
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_TRUE(InkReachesCorner(clock_, kBeside, kDrawTimeoutMs));

  // With its monitor unplugged the clock falls back to the one left, and
  // returns once the monitor is plugged back.
  ASSERT_NO_FATAL_FAILURE(Lay({kPrimary}));
  EXPECT_TRUE(InkReachesCorner(clock_, kPrimary, kFollowTimeoutMs));
  ASSERT_NO_FATAL_FAILURE(Lay({kPrimary, kBeside}));
  EXPECT_TRUE(InkReachesCorner(clock_, kBeside, kFollowTimeoutMs));
}
