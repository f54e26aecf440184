// Drives the built Horavel.exe: its windows, its icon's messages, its
// commands and what it shows on the screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

#include "support/screen_ticks.h"
#include "comlib/font_family.h"
#include "comlib/window_dpi.h"
#include "data/data_test_support.h"
#include "data/face_measure.h"
#include "data/placement.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using namespace testing_support;
using namespace screenticks;

namespace {

constexpr DWORD kChangeTimeoutMs = 10000;
constexpr DWORD kWatchMs = 10000;
constexpr wchar_t kDisplayChangeLine[] = L"ディスプレイ構成変更を検出: ポジション更新";
constexpr wchar_t kIconRemovedLine[] = L"タスクトレイアイコンを削除しました。";

// Where the program must put its date window for the default date settings,
// worked out here with the program's own measuring.
RECT ExpectedDateRect(HWND clock, int offsetX, int offsetY) {
  const data_testing::TestSettings defaults;
  const SIZE size = MeasureDate(defaults.Date(), dpi::kBaseDpi);
  const POINT topLeft = placement::DatePosition(placement::CentreOf(WindowRect(clock)), offsetX, offsetY, size);
  return RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy};
}

using ClockProgram = ProgramTest;

}  // namespace

TEST_F(ClockProgram, ClockIsALayeredClickThroughTopmostWindowAtTheDefaultCorner) {
  Start();
  const LONG_PTR exStyle = GetWindowLongPtrW(clock_, GWL_EXSTYLE);
  const LONG_PTR style = GetWindowLongPtrW(clock_, GWL_STYLE);
  EXPECT_TRUE(exStyle & WS_EX_LAYERED);
  EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_EQ(0, style & WS_CAPTION);
  EXPECT_EQ(0, style & WS_THICKFRAME);
  EXPECT_TRUE(Shown());

  // The ink stands 32 pixels from the corner, the window's edge a margin
  // further out.
  const RECT clock = WindowRect(clock_);
  EXPECT_GT(clock.left, 0);
  EXPECT_LT(clock.left, 32);
  EXPECT_GT(clock.top, 0);
  EXPECT_LT(clock.top, 32);
  // Sized to "88:88:88" at 128 pixels: far wider than high, far from the
  // window base's 640 x 480.
  const int width = clock.right - clock.left;
  const int height = clock.bottom - clock.top;
  EXPECT_GT(width, 2 * height);
  EXPECT_NE(640, width);
  EXPECT_GT(height, 100);

  // The date's text is centred at the clock's centre plus (103, 61).
  ExpectSameRect(ExpectedDateRect(clock_, 103, 61), WindowRect(date_));
  EXPECT_TRUE(GetWindowLongPtrW(date_, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

TEST_F(ClockProgram, ScreenShowsTheFillAndOutlineWithWhiteKeyedOut) {
  // Below Wine's own notification area, which stands at the top left.
  SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", 200);
  Start();
  // Two ticks, so that the clock has painted after every placement.
  ASSERT_TRUE(WaitUntil([&] { return ClockFillOnScreen(clock_) > 0; }, kChangeTimeoutMs));
  const ScreenPixels pixels = CaptureScreen(WindowRect(clock_));
  EXPECT_GT(ClockFillOnScreen(clock_), 500u);
  EXPECT_GT(pixels.Count(kClockOutline), 500u);
  EXPECT_EQ(0u, pixels.Count(0xFFFFFF));
}

TEST_F(ClockProgram, SecondsChangeAsTheWallClocksSecondBeginsAndColonsShowInItsFirstHalf) {
  Start();
  ASSERT_TRUE(WaitUntil([&] { return ClockFillOnScreen(clock_) > 0; }, kChangeTimeoutMs));
  // Other work on a busy machine can hold a paint back now and then: the
  // clock must keep to the second through one of two watches.
  ::testing::AssertionResult kept = ::testing::AssertionFailure();
  for (int watch = 0; watch < 2 && !kept; ++watch) kept = KeepsToTheSecond(WatchClock(clock_, kWatchMs));
  EXPECT_TRUE(kept);
}

TEST_F(ClockProgram, IconClickHidesAndShowsBothWindows) {
  Start();
  ClickTrayIcon(clock_);
  RoundTrip(clock_);
  EXPECT_TRUE(Hidden());
  ClickTrayIcon(clock_);
  RoundTrip(clock_);
  EXPECT_TRUE(Shown());
}

TEST_F(ClockProgram, OrdinaryCloseOnlyHidesAndExitCommandEndsTheProgram) {
  Start();
  SendMessageW(clock_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(IsWindow(clock_));
  EXPECT_TRUE(Hidden());

  PostMessageW(clock_, WM_COMMAND, kCommandExit, 0);
  ASSERT_TRUE(program_.WaitForExit(kChangeTimeoutMs));
  EXPECT_EQ(0u, program_.ExitCode());
  EXPECT_EQ(1u, CountOccurrences(ProgramLog(), kIconRemovedLine));
}

TEST_F(ClockProgram, HideClockLeavesOnlyTheDatePlacedFromTheClock) {
  SetProgramSetting(L"DATE_DISP", L"hide_clock", 1);
  SetProgramSetting(L"DATE_DISP", L"offset_x", 0);
  SetProgramSetting(L"DATE_DISP", L"offset_y", 0);
  Start();
  EXPECT_FALSE(IsWindowVisible(clock_));
  EXPECT_TRUE(IsWindowVisible(date_));
  ExpectSameRect(ExpectedDateRect(clock_, 0, 0), WindowRect(date_));
}

TEST_F(ClockProgram, ShowDateOffHidesTheDate) {
  SetProgramSetting(L"DATE_DISP", L"show_date", 0);
  Start();
  EXPECT_TRUE(IsWindowVisible(clock_));
  EXPECT_FALSE(IsWindowVisible(date_));
  // Showing the program again after hiding it keeps the date hidden.
  ClickTrayIcon(clock_);
  ClickTrayIcon(clock_);
  RoundTrip(clock_);
  EXPECT_TRUE(IsWindowVisible(clock_));
  EXPECT_FALSE(IsWindowVisible(date_));
}

TEST_F(ClockProgram, TimerDoesNothingWhileHidden) {
  Start();
  const RECT home = WindowRect(clock_);
  ClickTrayIcon(clock_);
  RoundTrip(clock_);
  // Off every monitor: a display check would put it back.
  SetWindowPos(clock_, nullptr, -3000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendTicks(clock_, 40);
  EXPECT_EQ(-3000, WindowRect(clock_).left);
  EXPECT_EQ(0u, CountOccurrences(ProgramLog(), kDisplayChangeLine));
  EXPECT_TRUE(Hidden());

  // Shown again, the same ticks do check the display.
  ClickTrayIcon(clock_);
  SendTicks(clock_, 40);
  EXPECT_GT(CountOccurrences(ProgramLog(), kDisplayChangeLine), 0u);
  EXPECT_EQ(home.left, WindowRect(clock_).left);
}

TEST_F(ClockProgram, StartupOptionHidesOnlyWithTheSetting) {
  SetProgramSetting(L"CLOCK_DISP", L"disp_startup_hidden", 1);
  Start(L"-startup");
  EXPECT_TRUE(Hidden());
  ClickTrayIcon(clock_);
  RoundTrip(clock_);
  EXPECT_TRUE(Shown());
  program_.End();

  ResetProgramData();
  SetProgramSetting(L"DATE_DISP", L"disp_startup_hidden", 1);
  ProgramProcess second;
  ASSERT_NE(nullptr, StartAndWait(second, L"/STARTUP"));
  EXPECT_FALSE(IsWindowVisible(FindClockWindow(second.Id())));
  EXPECT_FALSE(IsWindowVisible(FindDateWindow(second.Id())));
  second.End();

  // Without the option the setting has no effect.
  ProgramProcess third;
  ASSERT_NE(nullptr, StartAndWait(third));
  EXPECT_TRUE(IsWindowVisible(FindClockWindow(third.Id())));
  EXPECT_TRUE(IsWindowVisible(FindDateWindow(third.Id())));
}

TEST_F(ClockProgram, DisplayCommandMovesBothWindowsToTheSecondMonitor) {
  ASSERT_EQ(2, GetSystemMetrics(SM_CMONITORS)) << "the test display has two screens";
  SetProgramSetting(L"CLOCK_DISP", L"disp_index", 3);  // bottom-right
  Start();
  // The two screens both start at the origin, so the bottom-right corner
  // tells them apart: 1280 x 800 and 1024 x 768.
  const RECT before = WindowRect(clock_);
  EXPECT_GT(before.right, 1024);

  SendMessageW(clock_, WM_COMMAND, kCommandFirstDisplay + 1, 0);
  const RECT after = WindowRect(clock_);
  EXPECT_EQ(1024 - 1280, after.right - before.right);
  EXPECT_EQ(768 - 800, after.bottom - before.bottom);
  EXPECT_EQ(before.right - before.left, after.right - after.left);
  EXPECT_EQ(L"1", ProgramSettingOnceWritten(L"CLOCK_DISP", L"display_index", L"1"));
  // The date follows the clock and stands wholly on one of the monitors.
  const RECT date = WindowRect(date_);
  const RECT monitors[] = {{0, 0, 1280, 800}, {0, 0, 1024, 768}};
  EXPECT_TRUE(std::any_of(std::begin(monitors), std::end(monitors), [&](const RECT& monitor) {
    RECT inside{};
    return IntersectRect(&inside, &date, &monitor) && EqualRect(&inside, &date);
  }));
}

TEST_F(ClockProgram, DisplayChangeAndResumePutBothWindowsBack) {
  Start();
  const RECT clockHome = WindowRect(clock_);
  const RECT dateHome = WindowRect(date_);

  SetWindowPos(clock_, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(date_, nullptr, 700, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(clock_, WM_DISPLAYCHANGE, 24, MAKELPARAM(1280, 800));
  EXPECT_EQ(clockHome.left, WindowRect(clock_).left);
  EXPECT_EQ(clockHome.top, WindowRect(clock_).top);
  EXPECT_EQ(dateHome.left, WindowRect(date_).left);
  EXPECT_EQ(dateHome.top, WindowRect(date_).top);

  SetWindowPos(clock_, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(TRUE, SendMessageW(clock_, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
  EXPECT_EQ(clockHome.left, WindowRect(clock_).left);
  EXPECT_EQ(dateHome.top, WindowRect(date_).top);
}

TEST_F(ClockProgram, TheOutlineStandsAtTheConfiguredDistanceFromOppositeCorners) {
  // The primary screen is 1280 x 800; Wine's notification area sits at its
  // top left, well inside 100 pixels. The top-left and the bottom-right
  // corner meet all four edges; the other two are the same arithmetic.
  constexpr int kOffset = 100;
  constexpr RECT kScreen{0, 0, 1280, 800};
  for (const int corner : {0, 3}) {
    ResetProgramData();
    SetProgramSetting(L"CLOCK_DISP", L"disp_index", corner);
    SetProgramSetting(L"CLOCK_DISP", L"disp_offset_x", kOffset);
    SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", kOffset);
    SetProgramSetting(L"DATE_DISP", L"show_date", 0);
    ProgramProcess program;
    HWND clock = StartAndWait(program);
    ASSERT_NE(nullptr, clock);
    ASSERT_TRUE(WaitUntil([&] { return ScreenInk(clock).right > 0; }, kChangeTimeoutMs)) << "corner " << corner;
    // The clock is placed for the ink any digit can take, which the seconds
    // show within ten seconds; only the hour's first digit is whatever the
    // hour is, so on the left the ink may stand up to a digit further in.
    const RECT ink = ScreenInkOverTenSeconds(clock);
    if (corner == 0) {
      EXPECT_NEAR(kOffset, ink.top - kScreen.top, 3);
      EXPECT_GE(ink.left - kScreen.left, kOffset - 3);
      EXPECT_LE(ink.left - kScreen.left, kOffset + 128 * 3 / 4);
    } else {
      EXPECT_NEAR(kOffset, kScreen.bottom - ink.bottom, 3);
      EXPECT_NEAR(kOffset, kScreen.right - ink.right, 3);
    }
    program.End();
  }
}

TEST(PlainPrefix, TheClockAndDateDrawWithWhateverFontThereIs) {
  // In a prefix without the font replacements, neither the configured
  // family nor GDI+'s generic ones exist; elsewhere this still checks that
  // the clock shows.
  if (GetEnvironmentVariableW(L"HORAVEL_PLAIN_PREFIX", nullptr, 0) > 0) {
    comlib::GpFontFamilyOwner configured;
    EXPECT_NE(Gdiplus::Ok, gdip::GdipCreateFontFamilyFromName(L"Comic Sans MS", nullptr, configured.put()));
    EXPECT_EQ(nullptr, comlib::GenericSansSerif());
  }
  ResetProgramData();
  SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", 200);
  ProgramProcess program;
  HWND clock = StartAndWait(program);
  ASSERT_NE(nullptr, clock);
  HWND date = FindDateWindow(program.Id());
  const RECT clockRect = WindowRect(clock);
  const RECT dateRect = WindowRect(date);
  EXPECT_GT(clockRect.right - clockRect.left, 300);
  EXPECT_GT(clockRect.bottom - clockRect.top, 60);
  EXPECT_GT(dateRect.right - dateRect.left, 100);
  EXPECT_GT(dateRect.bottom - dateRect.top, 20);
  EXPECT_TRUE(WaitUntil([&] { return ScreenInk(clock).right > 0; }, kChangeTimeoutMs));
  // The icon hides and shows what is drawn.
  ClickTrayIcon(clock);
  EXPECT_FALSE(IsWindowVisible(clock) || IsWindowVisible(date));
  ClickTrayIcon(clock);
  EXPECT_TRUE(IsWindowVisible(clock) && IsWindowVisible(date));
  program.End();
}
