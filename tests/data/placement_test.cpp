#include "data/placement.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/window_checks.h"

namespace {

bool SamePoint(POINT expected, POINT actual) { return expected.x == actual.x && expected.y == actual.y; }
bool SameRect(const RECT& expected, const RECT& actual) { return EqualRect(&expected, &actual) != FALSE; }

}  // namespace

TEST(Placement, TheClockAreaIsTheChosenMonitorOnlyWhenThereAreSeveral) {
  const MultiScreen_CL two = testing_support::TwoMonitors();
  const SIZE primary{1280, 1024};
  // The whole monitor, taskbar included.
  EXPECT_TRUE(SameRect(RECT{1920, 0, 3200, 1024}, placement::ChooseClockArea(two, 1, primary)));
  EXPECT_TRUE(SameRect(RECT{0, 0, 1920, 1080}, placement::ChooseClockArea(two, 0, primary)));
  // An index that names no monitor, negative ones included: the primary display.
  for (const int index : {2, 5, -1}) {
    EXPECT_TRUE(SameRect(RECT{0, 0, 1280, 1024}, placement::ChooseClockArea(two, index, primary))) << index;
  }
  // With a single monitor the list is not used at all.
  MultiScreen_CL one;
  one.monitors.push_back(MakeMonitorRecord(RECT{0, 0, 800, 600}, RECT{0, 0, 800, 560}, MONITORINFOF_PRIMARY));
  EXPECT_TRUE(SameRect(RECT{0, 0, 1280, 1024}, placement::ChooseClockArea(one, 0, primary)));
  EXPECT_TRUE(SameRect(RECT{0, 0, 1280, 1024}, placement::ChooseClockArea(MultiScreen_CL(), 0, primary)));
}

TEST(Placement, TheClocksInkStandsAtTheOffsetsFromTheChosenCorner) {
  // Ink from (12.4, 9.6) to (212.6, 90.5) in a window: its first column is
  // 12, its first row 10, its last column 212, its last row 90.
  const AreaF ink{12.4f, 9.6f, 200.2f, 80.9f};
  struct Case {
    RECT area;
    int corner;
    int offset;
    POINT expected;
  };
  const Case cases[] = {
      {{1920, 0, 3200, 1024}, 0, 32, {1920 + 32 - 12, 32 - 10}},
      {{1920, 0, 3200, 1024}, 1, 32, {3200 - 32 - 213, 32 - 10}},
      {{1920, 0, 3200, 1024}, 2, 32, {1920 + 32 - 12, 1024 - 32 - 91}},
      {{1920, 0, 3200, 1024}, 3, 32, {3200 - 32 - 213, 1024 - 32 - 91}},
      // A monitor left of and above the primary: coordinates go negative.
      {{-1024, -200, 0, 568}, 0, 32, {-1024 + 32 - 12, -200 + 32 - 10}},
      {{-1024, -200, 0, 568}, 3, 32, {-32 - 213, 568 - 32 - 91}},
      // Negative offsets push the clock past the corner.
      {{-1024, -200, 0, 568}, 0, -10, {-1024 - 10 - 12, -200 - 10 - 10}},
      // Any other corner number: the area's origin, without offsets.
      {{1920, 0, 3200, 1024}, -1, 32, {1920, 0}},
      {{1920, 0, 3200, 1024}, 4, 32, {1920, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SamePoint(c.expected, placement::ClockPosition(c.area, c.corner, c.offset, c.offset, ink)))
        << "corner " << c.corner << " offset " << c.offset << " area left " << c.area.left;
  }
}

TEST(Placement, TheDateIsCentredOnTheClockPlusItsOffsetAndKeptWhollyOnSomeMonitor) {
  EXPECT_TRUE(SamePoint(POINT{450, 280}, placement::DatePosition(POINT{500, 300}, 0, 0, SIZE{100, 40})));
  EXPECT_TRUE(SamePoint(POINT{553, 341}, placement::DatePosition(POINT{500, 300}, 103, 61, SIZE{100, 40})));
  // An odd size leaves the half pixel on the right and bottom.
  EXPECT_TRUE(SamePoint(POINT{450, 280}, placement::DatePosition(POINT{500, 300}, 0, 0, SIZE{101, 41})));

  // Wholly on some monitor: where it lies wholly on one it stays, even on
  // another monitor than the clock's; otherwise onto the one it overlaps
  // most, or, off every one, the nearest.
  const std::vector<RECT> monitors = {RECT{0, 0, 1280, 800}, RECT{1280, 0, 2304, 768}};
  const struct {
    POINT at;
    SIZE size;
    POINT expected;
  } cases[] = {
      {{1400, 300}, {100, 40}, {1400, 300}},   // on the second monitor: stays
      {{100, 700}, {100, 40}, {100, 700}},     // on the first: stays
      {{2250, 750}, {100, 40}, {2204, 728}},   // past the second's right and bottom edges
      {{1250, 300}, {100, 40}, {1280, 300}},   // across the seam, mostly on the second
      {{1200, 300}, {100, 40}, {1180, 300}},   // across the seam, mostly on the first
      {{1300, 780}, {100, 40}, {1300, 728}},   // below the shorter second monitor
      {{-500, -300}, {100, 40}, {0, 0}},       // off every monitor: the nearest
      {{3000, 100}, {100, 40}, {2204, 100}},
      {{1300, 300}, {2000, 40}, {1280, 300}},  // wider than any monitor: its left edge
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(SamePoint(c.expected, placement::KeepOnSomeMonitor(c.at, c.size, monitors)))
        << c.at.x << "," << c.at.y;
  }
  EXPECT_TRUE(SamePoint(POINT{-500, -300}, placement::KeepOnSomeMonitor(POINT{-500, -300}, SIZE{100, 40}, {})));

  EXPECT_TRUE(SamePoint(POINT{100, 40}, placement::CentreOf(RECT{0, 0, 201, 81})));
  EXPECT_TRUE(SamePoint(POINT{-100, -40}, placement::CentreOf(RECT{-201, -81, 0, 0})));
}

TEST(Placement, TheDisplayCheckJudgesTheClockOnTheRectangleItWasPlacedIn) {
  const MultiScreen_CL two = testing_support::TwoMonitors();
  const SIZE primary{1920, 1080};
  struct Case {
    int displayIndex;
    RECT clock;
    bool shouldBeVisible;
    bool visible;
    bool needsPlacing;
  };
  const Case cases[] = {
      {0, RECT{32, 32, 632, 232}, true, true, false},
      // Centred over the primary monitor's taskbar: still on its monitor.
      {0, RECT{1300, 1000, 1900, 1078}, true, true, false},
      // On the other monitor than the chosen one.
      {0, RECT{2000, 32, 2600, 232}, true, true, true},
      {1, RECT{2000, 32, 2600, 232}, true, true, false},
      {1, RECT{2000, 950, 2600, 1020}, true, true, false},
      // A monitor that is gone: the clock stands on the primary display.
      {5, RECT{32, 32, 632, 232}, true, true, false},
      {5, RECT{2000, 32, 2600, 232}, true, true, true},
      // Off every monitor.
      {0, RECT{-900, 32, -300, 232}, true, true, true},
      // Should show and does not; hidden on purpose is fine.
      {0, RECT{32, 32, 632, 232}, true, false, true},
      {0, RECT{32, 32, 632, 232}, false, false, false},
  };
  for (const Case& c : cases) {
    const RECT area = placement::ChooseClockArea(two, c.displayIndex, primary);
    EXPECT_EQ(c.needsPlacing, placement::ClockNeedsPlacing(area, &c.clock, c.shouldBeVisible, c.visible))
        << "display " << c.displayIndex << ", clock at " << c.clock.left << ", " << c.clock.top;
  }
  EXPECT_TRUE(placement::ClockNeedsPlacing(RECT{0, 0, 1920, 1080}, nullptr, true, true));
  EXPECT_FALSE(placement::FallsBackToPrimary(two, 1));
  EXPECT_TRUE(placement::FallsBackToPrimary(two, 2));
  EXPECT_TRUE(placement::FallsBackToPrimary(two, -1));
}

