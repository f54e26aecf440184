// Applying the settings to two real windows: where each stands, which is
// shown, how opaque each is, the date's timer and which lies on top.

#include "view/display.h"

#include <gtest/gtest.h>

#include "app_ids.h"
#include "data/data_test_support.h"
#include "data/placement.h"
#include "data/save_data.h"
#include "support/test_support.h"
#include "support/window_checks.h"
#include "view/display_test_support.h"

using data_testing::RecordsGuard;
using testing_support::IsAbove;
using testing_support::ReadUtf16;
using testing_support::TempFolder;
using testing_support::TestWindow;

namespace {

::testing::AssertionResult RectIs(const RECT& actual, int x, int y, int width, int height) {
  if (actual.left == x && actual.top == y && actual.right - actual.left == width &&
      actual.bottom - actual.top == height) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "rect (" << actual.left << ", " << actual.top << ") "
                                       << actual.right - actual.left << " x " << actual.bottom - actual.top
                                       << ", expected (" << x << ", " << y << ") " << width << " x " << height;
}


// The display pointed at a clock and a date window, with the date shown and
// both visible; put back at the end of the test.
class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest() : clockWindow_(400, 300, 200, 100), dateWindow_(0, 0, 50, 20), log_(folder_.File(L"log.txt")) {}

  void SetUp() override {
    ASSERT_TRUE(clockWindow_.get());
    ASSERT_TRUE(dateWindow_.get());
    AppSaveData_CL& clock = ClockData();
    DateSaveData_CL& date = DateData();
    DisplayState& display = Display();
    display.clock.handle = clockWindow_.get();
    display.date.handle = dateWindow_.get();
    display.hidden = false;
    display.makingWay = false;
    clock.display_index = 0;
    clock.disp_index = 0;
    clock.disp_offset_x = 32;
    clock.disp_offset_y = 32;
    date.show_date = 1;
    date.hide_clock = 0;
    date.faint_on_hover = 1;
    date.offset_x = 0;
    date.offset_y = 0;
  }

  std::wstring Log() const { return ReadUtf16(folder_.File(L"log.txt")); }

  RecordsGuard guard_;
  view_testing::DisplayGuard display_;
  TempFolder folder_;
  TestWindow clockWindow_;
  TestWindow dateWindow_;
  testing_support::ScopedAppLog log_;
};

}  // namespace

TEST_F(PlacementTest, TheClockGoesToItsMonitorsCornerAndTheDateStandsByItOnlyWhileShown) {
  AppSaveData_CL& clock = ClockData();
  DateSaveData_CL& date = DateData();
  Display().screens = testing_support::TwoMonitors();
  clock.display_index = 1;
  clock.disp_index = 3;
  date.show_date = 0;
  const RECT dateBefore = dateWindow_.Rect();
  display::Apply(display::kClockPlace);
  const layout::ClockLayout measured = MeasureClock(dpi::kBaseDpi);
  const POINT corner = placement::ClockPosition(RECT{1920, 0, 3200, 1024}, 3, 32, 32, measured.ink);
  EXPECT_TRUE(RectIs(clockWindow_.Rect(), corner.x, corner.y, measured.window.cx, measured.window.cy));
  EXPECT_TRUE(GetWindowLongW(clockWindow_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(RectIs(dateWindow_.Rect(), dateBefore.left, dateBefore.top, 50, 20)) << "a date that is off stays";

  // Placing the clock places a shown date around its centre, below it; with
  // the clock hidden by hide_clock, not beneath it.
  Display().screens = MultiScreen_CL();
  date.show_date = 1;
  for (const int hideClock : {0, 1}) {
    date.hide_clock = hideClock;
    date.offset_x = 30 * hideClock;
    display::Apply(display::kClockPlace);
    const SIZE size = MeasureDate(dpi::kBaseDpi);
    const POINT at = placement::DatePosition(placement::CentreOf(clockWindow_.Rect()), date.offset_x, 0, size);
    EXPECT_TRUE(RectIs(dateWindow_.Rect(), at.x, at.y, size.cx, size.cy)) << hideClock;
    EXPECT_EQ(hideClock == 0, IsAbove(clockWindow_.get(), dateWindow_.get())) << hideClock;
  }
}

TEST_F(PlacementTest, TheDisplayCheckStaysQuietOnAGoneMonitorAndRestoresOnlyWhatMoved) {
  AppSaveData_CL& clock = ClockData();
  const std::wstring changeLine = L"ディスプレイ構成変更を検出: ポジション更新";
  const std::wstring fallbackLine = L"プライマリディスプレイに表示します。";
  DisplayCheckState state;
  clock.display_index = 0;
  display::RestoreDisplayLayout();
  display::CheckDisplayChange(state);
  EXPECT_EQ(0u, testing_support::CountOccurrences(Log(), changeLine));

  // An index beyond the monitors (one was unplugged): the fallback is told
  // once, the clock already stands on the primary display, and the saved
  // index stays.
  clock.display_index = 5;
  for (int check = 0; check < 8; ++check) display::CheckDisplayChange(state);
  EXPECT_EQ(1u, testing_support::CountOccurrences(Log(), fallbackLine));
  EXPECT_EQ(0u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_EQ(5, clock.display_index);
  // The monitor returns and goes again: told once more.
  clock.display_index = 0;
  display::CheckDisplayChange(state);
  clock.display_index = 5;
  display::CheckDisplayChange(state);
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), fallbackLine));

  // A clock moved off every monitor, or that should show and does not, is put back.
  clock.display_index = 0;
  SetWindowPos(clockWindow_.get(), nullptr, -3000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  display::CheckDisplayChange(state);
  EXPECT_EQ(1u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_GE(clockWindow_.Rect().left, 0);
  ShowWindow(clockWindow_.get(), SW_HIDE);
  display::CheckDisplayChange(state);
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_TRUE(IsWindowVisible(clockWindow_.get()));

  // Hidden by the user and on its monitor: nothing to do.
  Display().hidden = true;
  ShowWindow(clockWindow_.get(), SW_HIDE);
  display::CheckDisplayChange(state);
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), changeLine));
}

TEST_F(PlacementTest, TheOpacityFadesWithTheRealCursorOnlyOverAShownWindow) {
  AppSaveData_CL& clock = ClockData();
  DateSaveData_CL& date = DateData();
  testing_support::CursorKept cursor;
  SetWindowPos(clockWindow_.get(), nullptr, 100, 100, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(dateWindow_.get(), nullptr, 100, 100, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(220, clock.alpha);
  ASSERT_EQ(203, date.alpha);

  ASSERT_TRUE(testing_support::MoveCursorTo(200, 130));
  EXPECT_EQ(44, display::ClockOpacity());
  EXPECT_EQ(40, display::DateOpacity());  // a fifth of 203, cut
  clock.faint_on_hover = 0;
  EXPECT_EQ(220, display::ClockOpacity());
  clock.faint_on_hover = 1;
  // A window that is not shown does not fade.
  date.hide_clock = 1;
  EXPECT_EQ(220, display::ClockOpacity());
  date.hide_clock = 0;
  date.show_date = 0;
  EXPECT_EQ(203, display::DateOpacity());
  date.show_date = 1;
  Display().hidden = true;
  EXPECT_EQ(220, display::ClockOpacity());
  EXPECT_EQ(203, display::DateOpacity());
  Display().hidden = false;
  // A stored alpha above 255 must not wrap around in the window's byte.
  clock.alpha = 300;
  EXPECT_EQ(51, display::ClockOpacity());
  ASSERT_TRUE(testing_support::MoveCursorTo(600, 500));
  EXPECT_EQ(255, display::ClockOpacity());
}

TEST_F(PlacementTest, ApplyingSetsTheOpacityAndTheDateTimerOnlyWhileShown) {
  testing_support::CursorKept cursor;
  ASSERT_TRUE(testing_support::MoveCursorTo(700, 600));
  TestWindow layered(100, 100, 200, 100, WS_EX_LAYERED);
  Display().clock = ShownWindow{};
  Display().clock.handle = layered.get();
  auto opacity = [&] {
    BYTE alpha = 0;
    COLORREF key = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(layered.get(), &key, &alpha, &flags);
    EXPECT_EQ(kTransparentKey, key);
    EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA), flags);
    return alpha;
  };
  // KillTimer tells whether the timer was running (and stops it).
  auto dateTimerRan = [&] { return KillTimer(dateWindow_.get(), kDateTimerId) != FALSE; };

  ClockData().alpha = 150;
  display::Apply(display::kClockOpacity);
  EXPECT_EQ(150, opacity());
  display::RestoreDisplayLayout();
  EXPECT_NE(std::wstring::npos, Log().find(L"ディスプレイレイアウト復元"));
  EXPECT_TRUE(IsWindowVisible(layered.get()));
  EXPECT_TRUE(IsWindowVisible(dateWindow_.get()));
  EXPECT_TRUE(dateTimerRan());
  EXPECT_FALSE(KillTimer(dateWindow_.get(), kDateFadeTimerId)) << "the fade follows the clock's tick";

  // Hidden by the user, making way, or the date switched off: no opacity
  // set, no timer, the window hidden.
  const struct {
    bool hidden;
    bool makingWay;
    int showDate;
  } hiddenCases[] = {{true, false, 1}, {false, true, 1}, {false, false, 0}};
  for (const auto& c : hiddenCases) {
    Display().hidden = c.hidden;
    Display().makingWay = c.makingWay;
    DateData().show_date = c.showDate;
    ClockData().alpha = 90;
    display::Apply(display::kShowing | display::kClockOpacity);
    EXPECT_FALSE(dateTimerRan());
    EXPECT_FALSE(IsWindowVisible(dateWindow_.get()));
    if (c.hidden || c.makingWay) {
      EXPECT_EQ(150, opacity());
    }
    ClockData().alpha = 150;
  }
}
