// Applying the settings to real windows, three a group of faces: where each
// stands, which is shown, how opaque each is and which lies on top.

#include "view/display.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app_ids.h"
#include "data/data_test_support.h"
#include "data/face_measure.h"
#include "data/placement.h"
#include "data/save_data.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using testing_support::IsAbove;
using testing_support::ReadUtf16;
using testing_support::TempFolder;
using testing_support::TestWindow;
using testing_support::WindowRect;

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


// The windows of the groups on other monitors, test windows the display
// asks for as the monitors say.
class TestGroups : public GroupWindows {
 public:
  explicit TestGroups(Display_CL& display) : display_(display) {}
  bool Make(size_t group) override {
    windows_.resize(group + 1);
    for (const Face face : {Face::kClock, Face::kDate, Face::kZones}) {
      windows_[group].push_back(std::make_unique<TestWindow>(0, 0, 40, 10));
      display_.Attach(face, windows_[group].back()->get(), nullptr, group);
    }
    return true;
  }
  void TakeDown(size_t group) override { windows_[group].clear(); }

 private:
  Display_CL& display_;
  std::vector<std::vector<std::unique_ptr<TestWindow>>> windows_;
};

// A display of its own over settings of its own, its faces three test
// windows, with the date shown and no place among the world clocks.
class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest()
      : clockWindow_(400, 300, 200, 100),
        dateWindow_(0, 0, 50, 20),
        zonesWindow_(0, 0, 40, 10),
        log_(folder_.File(L"log.txt")) {}

  void SetUp() override {
    ASSERT_TRUE(clockWindow_.get());
    ASSERT_TRUE(dateWindow_.get());
    ASSERT_TRUE(zonesWindow_.get());
    display_.Attach(Face::kClock, clockWindow_.get());
    display_.Attach(Face::kDate, dateWindow_.get());
    display_.Attach(Face::kZones, zonesWindow_.get());
    DateSaveData_CL& date = settings_.Date();
    date.offset_x = 0;
    date.offset_y = 0;
  }

  std::wstring Log() const { return ReadUtf16(folder_.File(L"log.txt")); }

  data_testing::TestSettings settings_;
  TempFolder folder_;
  TestWindow clockWindow_;
  TestWindow dateWindow_;
  TestWindow zonesWindow_;
  testing_support::ScopedAppLog log_;
  Display_CL display_{settings_};
  TestGroups groups_{display_};
};

}  // namespace

TEST_F(PlacementTest, TheClockGoesToItsCornerTheDateStandsByItAndTheWorldClocksByThemOnlyWhileShown) {
  AppSaveData_CL& clock = settings_.Clock();
  DateSaveData_CL& date = settings_.Date();
  display_.Screens() = testing_support::TwoMonitors();
  clock.display_index = 1;
  clock.disp_index = 3;
  date.show_date = 0;
  const RECT dateBefore = dateWindow_.Rect();
  const RECT zonesBefore = zonesWindow_.Rect();
  display_.Apply(display::kClockPlace);
  const layout::ClockLayout measured = MeasureClock(settings_.Clock(), dpi::kBaseDpi);
  const POINT corner = placement::ClockPosition(RECT{1920, 0, 3200, 1024}, 3, 32, 32, measured.ink);
  EXPECT_TRUE(RectIs(clockWindow_.Rect(), corner.x, corner.y, measured.window.cx, measured.window.cy));
  EXPECT_TRUE(GetWindowLongW(clockWindow_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(RectIs(dateWindow_.Rect(), dateBefore.left, dateBefore.top, 50, 20)) << "a date that is off stays";
  EXPECT_TRUE(RectIs(zonesWindow_.Rect(), zonesBefore.left, zonesBefore.top, 40, 10)) << "no place shows";

  // On every monitor: a group in the other monitor's corner, the clock's
  // own staying on the chosen one; taken down when that is switched off.
  display_.SetGroupWindows(&groups_);
  clock.display_all = 1;
  display_.Apply(display::kClockPlace);
  ASSERT_EQ(2u, display_.GroupCount());
  const HWND otherClock = display_.Window(Face::kClock, 1);
  const POINT otherCorner = placement::ClockPosition(RECT{0, 0, 1920, 1080}, 3, 32, 32, measured.ink);
  EXPECT_TRUE(RectIs(WindowRect(otherClock), otherCorner.x, otherCorner.y, measured.window.cx, measured.window.cy));
  EXPECT_TRUE(RectIs(clockWindow_.Rect(), corner.x, corner.y, measured.window.cx, measured.window.cy));
  clock.display_all = 0;
  display_.Apply(display::kClockPlace);
  EXPECT_EQ(1u, display_.GroupCount());
  EXPECT_FALSE(IsWindow(otherClock));

  // Placing the clock places a shown date around its centre, below it; with
  // the clock hidden by hide_clock, not beneath it. The world clocks follow
  // the date, and the clock when the date is off.
  display_.Screens() = MultiScreen_CL();
  settings_.Zones().zone3 = L"Tokyo Standard Time";
  settings_.Zones().label3 = L"Tokyo";
  settings_.Zones().show3 = 1;
  settings_.Zones().offset_x = 7;
  settings_.Zones().offset_y = 5;
  display_.Apply(display::kZonesPlace);
  const ZonesLayout zones = MeasureZones(date, display_.WidestZoneLines(), dpi::kBaseDpi);
  ASSERT_EQ(1u, display_.WidestZoneLines().size());
  for (const int hideClock : {0, 1}) {
    for (const int showDate : {1, 0}) {
      date.hide_clock = hideClock;
      date.show_date = showDate;
      date.offset_x = 30 * hideClock;
      display_.Apply(display::kClockPlace);
      SCOPED_TRACE(::testing::Message() << "hide_clock " << hideClock << ", show_date " << showDate);
      const TestWindow& followed = showDate ? dateWindow_ : clockWindow_;
      // The clock stands in a bottom corner: no room below the faces, and
      // the world clocks stand above them instead of over the date.
      const RECT clockRect = clockWindow_.Rect();
      RECT faces = followed.Rect();
      if (hideClock == 0) UnionRect(&faces, &faces, &clockRect);
      const LONG centreX = placement::CentreOf(followed.Rect()).x + 7 - zones.window.cx / 2;
      EXPECT_TRUE(RectIs(zonesWindow_.Rect(), centreX, faces.top - 5 - zones.window.cy, zones.window.cx, zones.window.cy));
      EXPECT_EQ(hideClock == 0, IsAbove(clockWindow_.get(), zonesWindow_.get()));
      if (!showDate) continue;
      const SIZE size = MeasureDate(settings_.Date(), dpi::kBaseDpi);
      const POINT at = placement::DatePosition(placement::CentreOf(clockWindow_.Rect()), date.offset_x, 0, size);
      EXPECT_TRUE(RectIs(dateWindow_.Rect(), at.x, at.y, size.cx, size.cy));
      EXPECT_EQ(hideClock == 0, IsAbove(clockWindow_.get(), dateWindow_.get()));
      EXPECT_TRUE(IsAbove(dateWindow_.get(), zonesWindow_.get()));
    }
  }
}

TEST_F(PlacementTest, TheDisplayCheckStaysQuietOnAGoneMonitorAndAHiddenOrMovedFaceComesBack) {
  AppSaveData_CL& clock = settings_.Clock();
  const std::wstring changeLine = L"ディスプレイ構成変更を検出: ポジション更新";
  const std::wstring fallbackLine = L"プライマリディスプレイに表示します。";
  clock.display_index = 0;
  display_.RestoreLayout();
  display_.CheckDisplayChange();
  EXPECT_EQ(0u, testing_support::CountOccurrences(Log(), changeLine));

  // An index beyond the monitors (one was unplugged): the fallback is told
  // once, the clock already stands on the primary display, and the saved
  // index stays.
  clock.display_index = 5;
  for (int check = 0; check < 8; ++check) display_.CheckDisplayChange();
  EXPECT_EQ(1u, testing_support::CountOccurrences(Log(), fallbackLine));
  EXPECT_EQ(0u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_EQ(5, clock.display_index);
  // The monitor returns and goes again: told once more.
  clock.display_index = 0;
  display_.CheckDisplayChange();
  clock.display_index = 5;
  display_.CheckDisplayChange();
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), fallbackLine));

  // A clock moved off every monitor, or that should show and does not, is put back.
  clock.display_index = 0;
  SetWindowPos(clockWindow_.get(), nullptr, -3000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  display_.CheckDisplayChange();
  EXPECT_EQ(1u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_GE(clockWindow_.Rect().left, 0);
  ShowWindow(clockWindow_.get(), SW_HIDE);
  display_.CheckDisplayChange();
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), changeLine));
  EXPECT_TRUE(IsWindowVisible(clockWindow_.get()));

  // Hidden by another program between the display checks: the tick's raise
  // shows every face again, at the latest on the third tick (1.5 s).
  display_.Tick();
  for (HWND face : {clockWindow_.get(), dateWindow_.get()}) ShowWindow(face, SW_HIDE);
  for (int tick = 0; tick < 3; ++tick) display_.Tick();
  EXPECT_TRUE(IsWindowVisible(clockWindow_.get()) && IsWindowVisible(dateWindow_.get()));

  // Hidden by the user and on its monitor: nothing to do.
  display_.SetHidden(true);
  display_.CheckDisplayChange();
  EXPECT_EQ(2u, testing_support::CountOccurrences(Log(), changeLine));
}

TEST_F(PlacementTest, TheOpacityFadesWithTheRealCursorOnlyOverAShownWindow) {
  AppSaveData_CL& clock = settings_.Clock();
  DateSaveData_CL& date = settings_.Date();
  testing_support::CursorKept cursor;
  ASSERT_EQ(220, clock.alpha);
  ASSERT_EQ(203, date.alpha);

  // Another monitor's clock, away from the cursor.
  display_.SetGroupWindows(&groups_);
  clock.display_all = 1;
  display_.Screens() = testing_support::TwoMonitors();
  display_.Apply(display::kClockPlace);
  ASSERT_EQ(2u, display_.GroupCount());
  for (HWND face : {clockWindow_.get(), dateWindow_.get(), display_.Window(Face::kClock, 1)}) {
    const int x = face == clockWindow_.get() || face == dateWindow_.get() ? 100 : 600;
    SetWindowPos(face, nullptr, x, 100, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // Only the faces under the cursor fade.
  ASSERT_TRUE(testing_support::MoveCursorTo(200, 130));
  EXPECT_EQ(44, display_.Opacity(Face::kClock));
  EXPECT_EQ(220, display_.Opacity(Face::kClock, 1));
  EXPECT_EQ(40, display_.Opacity(Face::kDate));  // a fifth of 203, cut
  clock.faint_on_hover = 0;
  EXPECT_EQ(220, display_.Opacity(Face::kClock));
  clock.faint_on_hover = 1;
  // The world clocks fade as the date does.
  settings_.Zones().zone1 = L"GMT Standard Time";
  settings_.Zones().show1 = 1;
  display_.Apply(display::kZonesPlace);
  SetWindowPos(zonesWindow_.get(), nullptr, 100, 100, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(40, display_.Opacity(Face::kZones));
  // A window that is not shown does not fade.
  date.hide_clock = 1;
  EXPECT_EQ(220, display_.Opacity(Face::kClock));
  date.hide_clock = 0;
  date.show_date = 0;
  EXPECT_EQ(203, display_.Opacity(Face::kDate));
  date.show_date = 1;
  display_.SetHidden(true);
  EXPECT_EQ(220, display_.Opacity(Face::kClock));
  EXPECT_EQ(203, display_.Opacity(Face::kDate));
  display_.SetHidden(false);
  // A stored alpha above 255 must not wrap around in the window's byte.
  clock.alpha = 300;
  EXPECT_EQ(51, display_.Opacity(Face::kClock));
  ASSERT_TRUE(testing_support::MoveCursorTo(600, 500));
  EXPECT_EQ(255, display_.Opacity(Face::kClock));
}

TEST_F(PlacementTest, ApplyingSetsTheOpacityOnlyWhileShownAndEveryFaceHidesWithTheProgram) {
  testing_support::CursorKept cursor;
  ASSERT_TRUE(testing_support::MoveCursorTo(700, 600));
  TestWindow layered(100, 100, 200, 100, WS_EX_LAYERED);
  display_.Attach(Face::kClock, layered.get());
  settings_.Zones().zone1 = L"GMT Standard Time";
  settings_.Zones().show1 = 1;
  auto opacity = [&] {
    BYTE alpha = 0;
    COLORREF key = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(layered.get(), &key, &alpha, &flags);
    EXPECT_EQ(kTransparentKey, key);
    EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA), flags);
    return alpha;
  };

  settings_.Clock().alpha = 150;
  display_.Apply(display::kClockOpacity | display::kZonesPlace);
  EXPECT_EQ(150, opacity());
  display_.RestoreLayout();
  EXPECT_NE(std::wstring::npos, Log().find(L"ディスプレイレイアウト復元"));
  for (HWND face : {layered.get(), dateWindow_.get(), zonesWindow_.get()}) EXPECT_TRUE(IsWindowVisible(face));

  // Hidden by the user, or the date switched off: no opacity set, the
  // window hidden; the world clocks hide with the program only.
  for (const bool hidden : {true, false}) {
    SCOPED_TRACE(hidden ? "hidden" : "date off");
    display_.SetHidden(hidden);
    settings_.Date().show_date = hidden ? 1 : 0;
    settings_.Clock().alpha = 90;
    display_.Apply(display::kShowing | display::kClockOpacity);
    EXPECT_FALSE(IsWindowVisible(dateWindow_.get()));
    EXPECT_EQ(!hidden, IsWindowVisible(zonesWindow_.get()) != FALSE);
    EXPECT_EQ(hidden ? 150 : 90, opacity());
    settings_.Clock().alpha = 150;
  }
}
