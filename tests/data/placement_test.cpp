#include "data/placement.h"

#include <gtest/gtest.h>

#include "app_ids.h"
#include "comlib/unique_handle.h"
#include "data/data_test_support.h"
#include "support/test_support.h"

using data_testing::IsAbove;
using data_testing::RecordsGuard;
using data_testing::TestWindow;
using testing_support::ReadUtf16;
using testing_support::TempFolder;

namespace {

bool SamePoint(POINT expected, POINT actual) { return expected.x == actual.x && expected.y == actual.y; }
bool SameRect(const RECT& expected, const RECT& actual) { return EqualRect(&expected, &actual) != FALSE; }

::testing::AssertionResult RectIs(const RECT& actual, int x, int y, int width, int height) {
  if (actual.left == x && actual.top == y && actual.right - actual.left == width &&
      actual.bottom - actual.top == height) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "rect (" << actual.left << ", " << actual.top << ") "
                                       << actual.right - actual.left << " x " << actual.bottom - actual.top
                                       << ", expected (" << x << ", " << y << ") " << width << " x " << height;
}

// A primary monitor with a taskbar at its bottom and a second one to its right.
MultiScreen_CL TwoMonitors() {
  MultiScreen_CL screens;
  screens.monitors.push_back(
      MakeMonitorRecord(RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, MONITORINFOF_PRIMARY));
  screens.monitors.push_back(MakeMonitorRecord(RECT{1920, 0, 3200, 1024}, RECT{1920, 0, 3200, 984}, 0));
  screens.primary = screens.monitors[0];
  return screens;
}

SIZE PrimaryDisplaySize() {
  comlib::WindowDC desktop(GetDesktopWindow());
  return SIZE{GetDeviceCaps(desktop.get(), HORZRES), GetDeviceCaps(desktop.get(), VERTRES)};
}

}  // namespace

TEST(Placement, TheClockAreaIsTheChosenMonitorOnlyWhenThereAreSeveral) {
  const MultiScreen_CL two = TwoMonitors();
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

TEST(Placement, TheDateIsCentredOnTheClockPlusItsOffset) {
  EXPECT_TRUE(SamePoint(POINT{450, 280}, placement::DatePosition(POINT{500, 300}, 0, 0, SIZE{100, 40})));
  EXPECT_TRUE(SamePoint(POINT{553, 341}, placement::DatePosition(POINT{500, 300}, 103, 61, SIZE{100, 40})));
  // An odd size leaves the half pixel on the right and bottom.
  EXPECT_TRUE(SamePoint(POINT{450, 280}, placement::DatePosition(POINT{500, 300}, 0, 0, SIZE{101, 41})));

  // Kept on the clock's monitor, however far the offsets carry it.
  const RECT second{1280, 0, 2304, 768};
  const struct {
    POINT at;
    SIZE size;
    POINT expected;
  } cases[] = {
      {{1400, 300}, {100, 40}, {1400, 300}},  // inside: stays
      {{2250, 750}, {100, 40}, {2204, 728}},  // past the right and bottom edges
      {{1200, -30}, {100, 40}, {1280, 0}},    // past the left and top edges
      {{1300, 300}, {2000, 40}, {1280, 300}}, // wider than the monitor: its left edge
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(SamePoint(c.expected, placement::KeepOnArea(c.at, c.size, second))) << c.at.x << "," << c.at.y;
  }

  EXPECT_TRUE(SamePoint(POINT{100, 40}, placement::CentreOf(RECT{0, 0, 201, 81})));
  EXPECT_TRUE(SamePoint(POINT{-100, -40}, placement::CentreOf(RECT{-201, -81, 0, 0})));
}

namespace {

// The records pointed at a clock and a date window, with the date shown and
// both visible; put back at the end of the test.
class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest() : clockWindow_(400, 300, 200, 100), dateWindow_(0, 0, 50, 20), log_(folder_.File(L"log.txt")) {}

  void SetUp() override {
    ASSERT_TRUE(clockWindow_.get());
    ASSERT_TRUE(dateWindow_.get());
    AppSaveData_CL& clock = ClockData();
    DateSaveData_CL& date = DateData();
    clock.hwnd = clockWindow_.get();
    clock.hidden = 0;
    clock.display_index = 0;
    clock.disp_index = 0;
    clock.disp_offset_x = 32;
    clock.disp_offset_y = 32;
    date.hwnd = dateWindow_.get();
    date.clock_hwnd = clockWindow_.get();
    date.show_date = 1;
    date.hide_clock = 0;
    date.faint_on_hover = 1;
    date.offset_x = 0;
    date.offset_y = 0;
  }

  std::wstring Log() const { return ReadUtf16(folder_.File(L"log.txt")); }

  RecordsGuard guard_;
  TempFolder folder_;
  TestWindow clockWindow_;
  TestWindow dateWindow_;
  testing_support::ScopedAppLog log_;
};

}  // namespace

TEST_F(PlacementTest, TheClockGoesToTheChosenMonitorsCorner) {
  AppSaveData_CL& clock = ClockData();
  DateData().show_date = 0;
  clock.screens = TwoMonitors();
  clock.display_index = 1;
  clock.disp_index = 3;

  PlaceClockWindow();
  const layout::ClockLayout measured = MeasureClock();
  const POINT corner = placement::ClockPosition(RECT{1920, 0, 3200, 1024}, 3, 32, 32, measured.ink);
  EXPECT_TRUE(RectIs(clockWindow_.Rect(), corner.x, corner.y, measured.window.cx, measured.window.cy));
  EXPECT_TRUE(GetWindowLongW(clockWindow_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  // One monitor: the primary display's size, whatever the index says.
  clock.screens.monitors.resize(1);
  PlaceClockWindow();
  const SIZE primary = PrimaryDisplaySize();
  const POINT primaryCorner = placement::ClockPosition(RECT{0, 0, primary.cx, primary.cy}, 3, 32, 32, measured.ink);
  EXPECT_TRUE(RectIs(clockWindow_.Rect(), primaryCorner.x, primaryCorner.y, measured.window.cx, measured.window.cy));
}

TEST_F(PlacementTest, OnTheRealSecondMonitor) {
  // The test display has two screens, both at the origin: 1280 x 800
  // (primary) and 1024 x 768.
  AppSaveData_CL& clock = ClockData();
  DateData().show_date = 0;
  clock.screens.Enumerate();
  ASSERT_EQ(2, clock.screens.Count());
  const int second = clock.screens.monitors[0].info.dwFlags == MONITORINFOF_PRIMARY ? 1 : 0;
  clock.display_index = second;
  clock.disp_index = 3;
  clock.disp_offset_x = 10;
  clock.disp_offset_y = 20;

  PlaceClockWindow();
  const layout::ClockLayout measured = MeasureClock();
  const POINT corner = placement::ClockPosition(RECT{0, 0, 1024, 768}, 3, 10, 20, measured.ink);
  EXPECT_TRUE(RectIs(clockWindow_.Rect(), corner.x, corner.y, measured.window.cx, measured.window.cy));
}

TEST_F(PlacementTest, TheDateStandsAroundTheClocksCentreBelowTheClock) {
  DateSaveData_CL& date = DateData();
  SetWindowPos(clockWindow_.get(), HWND_TOPMOST, 400, 300, 201, 101, SWP_NOACTIVATE);
  const RECT before = dateWindow_.Rect();

  // Nothing moves while the date is off or the program hidden.
  date.show_date = 0;
  PlaceDateWindow();
  EXPECT_TRUE(SameRect(before, dateWindow_.Rect()));
  date.show_date = 1;
  ClockData().hidden = 1;
  PlaceDateWindow();
  EXPECT_TRUE(SameRect(before, dateWindow_.Rect()));
  ClockData().hidden = 0;

  PlaceDateWindow();
  const SIZE size = MeasureDate();
  const POINT at = placement::DatePosition(POINT{500, 350}, 0, 0, size);
  EXPECT_TRUE(RectIs(dateWindow_.Rect(), at.x, at.y, size.cx, size.cy));
  EXPECT_TRUE(IsAbove(clockWindow_.get(), dateWindow_.get()));

  // With the clock hidden by hide_clock, the date is not put beneath it.
  date.hide_clock = 1;
  date.offset_x = 30;
  PlaceDateWindow();
  EXPECT_TRUE(RectIs(dateWindow_.Rect(), at.x + 30, at.y, size.cx, size.cy));
  EXPECT_TRUE(IsAbove(dateWindow_.get(), clockWindow_.get()));
}

TEST_F(PlacementTest, PlacingTheClockPlacesTheDateOnlyWhenItIsShown) {
  DateSaveData_CL& date = DateData();
  ClockData().screens = MultiScreen_CL();

  date.show_date = 0;
  const RECT before = dateWindow_.Rect();
  PlaceClockWindow();
  EXPECT_TRUE(SameRect(before, dateWindow_.Rect()));

  date.show_date = 1;
  PlaceClockWindow();
  const POINT centre = placement::CentreOf(clockWindow_.Rect());
  const SIZE size = MeasureDate();
  const POINT at = placement::DatePosition(centre, 0, 0, size);
  EXPECT_TRUE(RectIs(dateWindow_.Rect(), at.x, at.y, size.cx, size.cy));
  EXPECT_TRUE(IsAbove(clockWindow_.get(), dateWindow_.get()));
}

TEST_F(PlacementTest, RestoringTheLayoutShowsWhatTheSettingsSay) {
  DateSaveData_CL& date = DateData();
  auto running = [&](UINT_PTR id) { return KillTimer(dateWindow_.get(), id) != FALSE; };

  date.show_date = 0;
  date.hide_clock = 1;
  date.ApplyDateTimers();
  SetTimer(dateWindow_.get(), kDateTimerId, kDateTimerMs, nullptr);
  RestoreDisplayLayout();
  EXPECT_FALSE(IsWindowVisible(dateWindow_.get()));
  EXPECT_FALSE(IsWindowVisible(clockWindow_.get()));
  EXPECT_FALSE(running(kDateTimerId));
  EXPECT_NE(std::wstring::npos, Log().find(L"ディスプレイレイアウト復元"));
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), ClockData().screens.Count());

  date.show_date = 1;
  date.hide_clock = 0;
  RestoreDisplayLayout();
  EXPECT_TRUE(IsWindowVisible(dateWindow_.get()));
  EXPECT_TRUE(IsWindowVisible(clockWindow_.get()));
  EXPECT_TRUE(running(kDateTimerId));
  EXPECT_TRUE(IsAbove(clockWindow_.get(), dateWindow_.get()));

  // Hidden by the user: placed, but neither shown nor hidden.
  ShowWindow(clockWindow_.get(), SW_HIDE);
  ShowWindow(dateWindow_.get(), SW_HIDE);
  ClockData().hidden = 1;
  RestoreDisplayLayout();
  EXPECT_FALSE(IsWindowVisible(dateWindow_.get()));
  EXPECT_FALSE(IsWindowVisible(clockWindow_.get()));
}

TEST(Placement, TheDisplayCheckJudgesTheClockOnTheRectangleItWasPlacedIn) {
  const MultiScreen_CL two = TwoMonitors();
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

TEST_F(PlacementTest, TheDisplayCheckStaysQuietOnAGoneMonitorAndRestoresOnlyWhatMoved) {
  AppSaveData_CL& clock = ClockData();
  const std::wstring changeLine = L"ディスプレイ構成変更を検出: ポジション更新";
  const std::wstring fallbackLine = L"プライマリディスプレイに表示します。";
  DisplayCheckState state;
  clock.display_index = 0;
  RestoreDisplayLayout();
  CheckDisplayChange(state);
  EXPECT_EQ(0u, testing_support::CountOccurrences(Log(), changeLine));

  // An index beyond the monitors (one was unplugged): the fallback is told
  // once, the clock already stands on the primary display, and the saved
  // index stays.
  clock.display_index = 5;
  for (int check = 0; check < 8; ++check) CheckDisplayChange(state);
  EXPECT_EQ(1u, testing_support::CountOccurrences(Log(), fallbackLine));
  EXPECT_EQ(0u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_EQ(5, clock.display_index);
  // The monitor returns and goes again: told once more.
  clock.display_index = 0;
  CheckDisplayChange(state);
  clock.display_index = 5;
  CheckDisplayChange(state);
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), fallbackLine));

  // A clock moved off every monitor, or that should show and does not, is put back.
  clock.display_index = 0;
  SetWindowPos(clockWindow_.get(), nullptr, -3000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  CheckDisplayChange(state);
  EXPECT_EQ(1u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_GE(clockWindow_.Rect().left, 0);
  ShowWindow(clockWindow_.get(), SW_HIDE);
  CheckDisplayChange(state);
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_TRUE(IsWindowVisible(clockWindow_.get()));

  // Hidden by the user and on its monitor: nothing to do.
  clock.hidden = 1;
  ShowWindow(clockWindow_.get(), SW_HIDE);
  CheckDisplayChange(state);
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), changeLine));
}
