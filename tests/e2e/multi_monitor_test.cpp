// Drives the built Horavel.exe on monitors that come and go for real. These
// tests run on the Xvnc display of multi_monitor_test.sh (ctest's
// multi_monitor_tests) and are skipped elsewhere.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app_ids.h"
#include "support/program_counts.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_layout.h"
#include "support/screen_pixels.h"
#include "support/screen_ticks.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// Wine reports a new layout within a few dozen milliseconds of the X server.
constexpr DWORD kMonitorsTimeoutMs = 5000;
constexpr DWORD kDrawTimeoutMs = 10000;
// Wine sends no WM_DISPLAYCHANGE for a layout changed by the X server: the
// program looks at the monitors on each tick, and a group of faces comes
// or goes within a second.
constexpr DWORD kFollowTimeoutMs = 1000;
constexpr DWORD kWatchMs = 10000;
constexpr int kPlugCycles = 50;
constexpr int kBottomRight = 3;
// The ink stands 32 pixels from the corner; narrower digits leave more.
constexpr LONG kCornerReachPx = 64;
// Resident memory a run may gain without a leak: heap growth and caches.
constexpr long long kMemoryNoiseBytes = 4 * 1024 * 1024;
constexpr long kHandleNoise = 16;
constexpr wchar_t kGroupClockClass[] = L"HoravelGroupClockClass";

// Of different sizes, so that each corner is a monitor's own, and a monitor
// is told by its size wherever the layout puts it.
constexpr SIZE kLarge{1280, 800};
constexpr SIZE kMiddle{1024, 768};
constexpr SIZE kSmall{800, 600};

// Monitors of these sizes side by side from the origin, in this order.
std::vector<RECT> SideBySide(const std::vector<SIZE>& sizes) {
  std::vector<RECT> monitors;
  LONG left = 0;
  for (const SIZE& size : sizes) {
    monitors.push_back(RECT{left, 0, left + size.cx, size.cy});
    left += size.cx;
  }
  return monitors;
}

class MultiMonitor : public ProgramTest {
 protected:
  void SetUp() override {
    if (ScreenLayout::Port() == 0) GTEST_SKIP() << "needs the display of multi_monitor_test.sh";
    ProgramTest::SetUp();
    SetProgramSetting(L"CLOCK_DISP", L"disp_index", kBottomRight);
  }

  // Lays the monitors out and waits until Wine reports them.
  void Lay(const std::vector<RECT>& monitors) {
    ASSERT_TRUE(layout_.Set(monitors)) << layout_.Error();
    ASSERT_TRUE(WaitForMonitors(monitors, kMonitorsTimeoutMs)) << MonitorRects().size() << " monitors reported";
  }

  // The clocks of the groups on other monitors than the chosen one.
  std::vector<HWND> GroupClocks() const { return FindTopLevelWindows(L"Horavel", program_.Id(), kGroupClockClass); }

  ScreenLayout layout_;
};

// Whether the clock's ink on the screen stands wholly on the monitor, by
// its bottom-right corner.
bool InCorner(HWND clock, const RECT& monitor, RECT* ink) {
  *ink = ScreenInk(clock);
  RECT inside{};
  return IntersectRect(&inside, ink, &monitor) && EqualRect(&inside, ink) &&
         monitor.right - ink->right <= kCornerReachPx && monitor.bottom - ink->bottom <= kCornerReachPx;
}

::testing::AssertionResult InkReachesCorner(HWND clock, const RECT& monitor, DWORD timeoutMs) {
  RECT ink{};
  if (WaitUntil([&] { return InCorner(clock, monitor, &ink); }, timeoutMs)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "ink at " << ink.left << "," << ink.top << "," << ink.right << ","
                                       << ink.bottom << ", monitor " << monitor.left << "," << monitor.top << ","
                                       << monitor.right << "," << monitor.bottom;
}

// Whether each monitor shows one clock in its corner: the first monitor
// the program's own clock, each other one a group's.
bool ClocksInCorners(HWND clock, const std::vector<HWND>& groupClocks, const std::vector<RECT>& monitors) {
  RECT ink{};
  if (groupClocks.size() + 1 != monitors.size() || !InCorner(clock, monitors[0], &ink)) return false;
  for (size_t monitor = 1; monitor < monitors.size(); ++monitor) {
    if (std::none_of(groupClocks.begin(), groupClocks.end(),
                     [&](HWND group) { return InCorner(group, monitors[monitor], &ink); })) {
      return false;
    }
  }
  return true;
}

}  // namespace

TEST_F(MultiMonitor, TheChosenMonitorKeepsTheClockWhereverItStandsInTheOrder) {
  ASSERT_NO_FATAL_FAILURE(Lay(SideBySide({kLarge, kMiddle, kSmall})));
  ASSERT_NO_FATAL_FAILURE(Start());
  // The user chooses the second monitor from the menu.
  SendMessageW(clock_, WM_COMMAND, kCommandFirstDisplay + 1, 0);
  EXPECT_TRUE(InkReachesCorner(clock_, SideBySide({kLarge, kMiddle})[1], kDrawTimeoutMs));

  // The first monitor goes: the chosen one now stands first, at the origin.
  ASSERT_NO_FATAL_FAILURE(Lay(SideBySide({kMiddle, kSmall})));
  EXPECT_TRUE(InkReachesCorner(clock_, SideBySide({kMiddle})[0], kDrawTimeoutMs));
  // All three in another order: the chosen one last.
  const std::vector<RECT> reordered = SideBySide({kSmall, kLarge, kMiddle});
  ASSERT_NO_FATAL_FAILURE(Lay(reordered));
  EXPECT_TRUE(InkReachesCorner(clock_, reordered[2], kDrawTimeoutMs));
  // The display page shows it as chosen where it now stands.
  HWND sheet = OpenSettingsSheet(clock_, program_.Id());
  ASSERT_NE(nullptr, sheet);
  EXPECT_EQ(2, SendMessageW(PageControl(ShowPage(program_.Id(), sheet, kClockPage), kMonitorList), CB_GETCURSEL, 0, 0));
  ASSERT_TRUE(PressSheetButton(sheet, clock_, PSBTN_CANCEL));

  // With its monitor unplugged the clock falls back to the primary, and
  // returns once the monitor is plugged back.
  ASSERT_NO_FATAL_FAILURE(Lay(SideBySide({kSmall, kLarge})));
  EXPECT_TRUE(InkReachesCorner(clock_, reordered[0], kDrawTimeoutMs));
  ASSERT_NO_FATAL_FAILURE(Lay(reordered));
  EXPECT_TRUE(InkReachesCorner(clock_, reordered[2], kDrawTimeoutMs));
}

TEST_F(MultiMonitor, EveryMonitorShowsAGroupThatComesAndGoesWithItAndLeavesNothingBehind) {
  const std::vector<RECT> three = SideBySide({kLarge, kMiddle, kSmall});
  const std::vector<RECT> two = SideBySide({kLarge, kMiddle});
  ASSERT_NO_FATAL_FAILURE(Lay(three));
  ASSERT_NO_FATAL_FAILURE(Start());
  SendMessageW(clock_, WM_COMMAND, kCommandEveryDisplay, 0);
  EXPECT_EQ(L"1", ProgramSettingOnceWritten(L"CLOCK_DISP", L"display_all", L"1"));
  EXPECT_TRUE(WaitUntil([&] { return ClocksInCorners(clock_, GroupClocks(), three); }, kDrawTimeoutMs));
  // Every clock keeps to the wall clock's second.
  std::vector<HWND> clocks = GroupClocks();
  clocks.push_back(clock_);
  for (HWND clock : clocks) {
    ::testing::AssertionResult kept = ::testing::AssertionFailure();
    for (int watch = 0; watch < 2 && !kept; ++watch) {
      kept = screenticks::KeepsToTheSecond(screenticks::WatchClock(clock, kWatchMs));
    }
    EXPECT_TRUE(kept);
  }

  // A monitor unplugged takes its group along; plugged back, it has one again.
  ASSERT_NO_FATAL_FAILURE(Lay(two));
  EXPECT_TRUE(WaitUntil([&] { return ClocksInCorners(clock_, GroupClocks(), two); }, kFollowTimeoutMs));
  ASSERT_NO_FATAL_FAILURE(Lay(three));
  EXPECT_TRUE(WaitUntil([&] { return ClocksInCorners(clock_, GroupClocks(), three); }, kFollowTimeoutMs));

  const ProgramCounts before = CountProgram(program_.Id(), clock_);
  for (int cycle = 0; cycle < kPlugCycles; ++cycle) {
    ASSERT_NO_FATAL_FAILURE(Lay(two));
    ASSERT_TRUE(WaitUntil([&] { return GroupClocks().size() == 1; }, kDrawTimeoutMs)) << "cycle " << cycle;
    ASSERT_NO_FATAL_FAILURE(Lay(three));
    ASSERT_TRUE(WaitUntil([&] { return GroupClocks().size() == 2; }, kDrawTimeoutMs)) << "cycle " << cycle;
  }
  RoundTrip(clock_);
  const ProgramCounts after = CountProgram(program_.Id(), clock_);
  EXPECT_EQ(before.windows, after.windows);
  EXPECT_EQ(before.gdiObjects, after.gdiObjects);
  EXPECT_EQ(UnkeptGdiplusObjects(before), UnkeptGdiplusObjects(after));
  EXPECT_LE(after.handles - before.handles, kHandleNoise);
  EXPECT_LE(after.residentBytes - before.residentBytes, kMemoryNoiseBytes);
  EXPECT_TRUE(WaitUntil([&] { return ClocksInCorners(clock_, GroupClocks(), three); }, kDrawTimeoutMs));
}
