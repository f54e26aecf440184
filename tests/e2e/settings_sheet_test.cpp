// The settings sheet of the running program: opening it from the clock's
// command, its live changes on the desktop, and what OK and Cancel leave in
// the settings file and after a restart.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "comlib/inifile.h"
#include "comlib/time_zones.h"
#include "data/data_test_support.h"
#include "data/face_measure.h"
#include "data/world_clocks.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"
#include "view/prop_font_families.h"
#include "view/renderer.h"

using namespace testing_support;

namespace {

int Width(const RECT& rect) { return rect.right - rect.left; }

class SettingsSheet : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Away from Wine's own notification area at the top left, and opaque
    // whatever the cursor does.
    SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", 200);
    SetProgramSetting(L"CLOCK_DISP", L"faint_on_hover", 0);
  }

  HWND OpenSheet() { return OpenSettingsSheet(clock_, program_.Id()); }
};

// True when the world clocks' window shows on the screen the lines the
// program's own renderer draws, in this process, for the settings in the
// program's file at this minute: ink where the renderer inks, nothing else.
::testing::AssertionResult ShowsTheRenderedLines(HWND zones) {
  const data_testing::RecordsGuard records;
  AppIni().SetPath(ProgramSettingsPath());
  DateData().LoadDateDisp();
  ZoneData().LoadZoneDisp();
  WorldClocks_CL world;
  world.Resolve(ZoneData());
  auto linesNow = [&world] {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    return world.Lines(utc, local, false);
  };
  const std::vector<std::wstring> lines = linesNow();
  const RECT rect = WindowRect(zones);
  const ScreenPixels screen = CaptureScreen(rect);
  // A minute that turned while the screen was read proves nothing.
  if (linesNow() != lines) return ::testing::AssertionFailure() << "the minute changed";
  BackBuffer_CL buffer;
  buffer.Resize(screen.width, screen.height);
  const std::vector<std::wstring> widest = world.WidestLines(WidestZonesDigit(DateData(), dpi::kBaseDpi), false);
  render::RenderZones(buffer, DateData(), SIZE{screen.width, screen.height}, lines, widest);
  size_t ink = 0;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      const bool drawn = (buffer.PixelAt(x, y) & 0xFFFFFF) != 0xFFFFFF;
      const std::uint32_t shown = screen.At(x, y);
      if (drawn != (shown == 0x1F7839 || shown == 0xFEFEFE)) {
        ::testing::AssertionResult failure = ::testing::AssertionFailure();
        failure << "pixel " << x << ", " << y << " differs in the lines";
        for (const std::wstring& line : lines) failure << " [" << std::string(line.begin(), line.end()) << "]";
        return failure;
      }
      ink += drawn ? 1 : 0;
    }
  }
  if (ink == 0) return ::testing::AssertionFailure() << "no ink";
  return ::testing::AssertionSuccess() << lines.size() << " lines";
}

}  // namespace

TEST_F(SettingsSheet, OpensOnceCentredWithItsTabsInOrderWhileTheClockTicks) {
  Start();
  HWND sheet = OpenSheet();
  ASSERT_NE(nullptr, sheet);

  const std::vector<std::wstring> designed = {kClockPage,    kClockFontPage,  kClockColourPage, kDatePage,
                                              kDateFontPage, kDateColourPage, kZonePage,
                                              kVersionPage};
  const std::vector<std::wstring> titles = TabTitles(program_.Id(), sheet);
  ASSERT_GE(titles.size(), 2u);
  EXPECT_EQ(kClockPage, titles.front());
  EXPECT_NE(titles.end(), std::find(titles.begin(), titles.end(), kDatePage));
  auto next = designed.begin();
  for (const std::wstring& title : titles) {
    next = std::find(next, designed.end(), title);
    ASSERT_NE(designed.end(), next) << "unknown or out of order: " << testing::PrintToString(title);
    ++next;
  }

  // The sheet's own loop takes the posted command; a sent round trip would
  // overtake it, so give it time to open a second sheet if it would.
  PostMessageW(clock_, WM_COMMAND, kCommandSettings, 0);
  EXPECT_FALSE(WaitUntil([&] { return FindSettingsSheets(program_.Id()).size() != 1; }, 1000));

  const POINT centre = Centre(WindowRect(sheet));
  EXPECT_NEAR(GetSystemMetrics(SM_CXFULLSCREEN) / 2, centre.x, 1);
  EXPECT_NEAR(GetSystemMetrics(SM_CYFULLSCREEN) / 2, centre.y, 1);

  const ScreenPixels before = CaptureScreen(WindowRect(clock_));
  EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(WindowRect(clock_)).rgb != before.rgb; }, kChangeTimeoutMs));

  // The close box, then Cancel: the program goes on and opens the sheet again.
  ASSERT_TRUE(CloseSheet(sheet, clock_, WM_SYSCOMMAND, SC_CLOSE));
  EXPECT_TRUE(program_.IsRunning());
  sheet = OpenSheet();
  ASSERT_NE(nullptr, sheet);
  ASSERT_TRUE(PressSheetButton(sheet, clock_, PSBTN_CANCEL));
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(Shown());

  // A closed message that is not the sheet's own leaves the open sheet
  // alone; a settings command while a sheet is closing opens the sheet
  // again once it has gone.
  sheet = OpenSheet();
  ASSERT_NE(nullptr, sheet);
  PostMessageW(clock_, kSettingsClosedMessage, 0, 0);
  RoundTrip(clock_);
  ASSERT_NE(nullptr, ShowPage(program_.Id(), sheet, kClockFontPage)) << "the sheet still works";
  PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  PostMessageW(clock_, WM_COMMAND, kCommandSettings, 0);
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::vector<HWND> open = FindSettingsSheets(program_.Id());
        return !IsWindow(sheet) && open.size() == 1;
      },
      kSheetTimeoutMs));
  EXPECT_TRUE(program_.IsRunning());
}

TEST_F(SettingsSheet, ClockPageChangesShowAtOnceAndOkKeepsThemAfterARestart) {
  SetProgramSetting(L"CLOCK_DISP", L"disp_second", 0);
  SetProgramSetting(L"CLOCK_DISP", L"alpha", 255);
  Start();
  HWND sheet = OpenSheet();
  ASSERT_NE(nullptr, sheet);
  HWND page = ShowPage(program_.Id(), sheet, kClockPage);
  ASSERT_NE(nullptr, page);

  const int narrow = Width(WindowRect(clock_));
  ClickBox(PageControl(page, kSecondsBox));
  EXPECT_GT(Width(WindowRect(clock_)), narrow);

  ChooseItem(PageControl(page, kCornerList), 3);  // bottom right
  const RECT firstMonitor = WindowRect(clock_);
  ChooseItem(PageControl(page, kMonitorList), 1);
  const RECT secondMonitor = WindowRect(clock_);
  // Both screens start at the origin: 1280 x 800 and 1024 x 768.
  EXPECT_EQ(1024 - 1280, secondMonitor.right - firstMonitor.right);
  EXPECT_EQ(768 - 800, secondMonitor.bottom - firstMonitor.bottom);

  MoveBar(PageControl(page, kHorizontalBar), -1024);
  EXPECT_EQ(L"水平表示オフセット(-1024)", TextOf(PageControl(page, kHorizontalLabel)));
  // From the right edge, 32 pixels in before and 1024 beyond it now.
  EXPECT_EQ(32 + 1024, WindowRect(clock_).left - secondMonitor.left);

  MoveBar(PageControl(page, kTransparencyBar), 35);
  EXPECT_EQ(L"220", ProgramSettingOnceWritten(L"CLOCK_DISP", L"alpha", L"220"));
  BYTE opacity = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(clock_, nullptr, &opacity, &flags));
  EXPECT_EQ(220, opacity);

  const RECT chosen = WindowRect(clock_);
  ASSERT_TRUE(PressSheetButton(sheet, clock_, PSBTN_OK));
  ExpectSameRect(chosen, WindowRect(clock_));
  const std::pair<const wchar_t*, const wchar_t*> stored[] = {
      {L"disp_second", L"1"}, {L"disp_index", L"3"}, {L"display_index", L"1"},
      {L"disp_offset_x", L"-1024"}, {L"alpha", L"220"},
  };
  for (const auto& [key, value] : stored) EXPECT_EQ(value, ProgramSetting(L"CLOCK_DISP", key)) << key;

  program_.End();
  Start();
  ExpectSameRect(chosen, WindowRect(clock_));
}

TEST_F(SettingsSheet, DatePageMovesAndNarrowsTheDateAndOkKeepsIt) {
  Start();
  HWND sheet = OpenSheet();
  ASSERT_NE(nullptr, sheet);
  HWND page = ShowPage(program_.Id(), sheet, kDatePage);
  ASSERT_NE(nullptr, page);

  const RECT before = WindowRect(date_);
  ChooseItem(PageControl(page, kFormatList), 7);  // MM/DD
  EXPECT_LT(Width(WindowRect(date_)), Width(before));

  const POINT dateBefore = Centre(WindowRect(date_));
  MoveBar(PageControl(page, kDateHorizontalBar), 0);
  MoveBar(PageControl(page, kDateVerticalBar), 0);
  const POINT dateAfter = Centre(WindowRect(date_));
  // The defaults put the date's centre 103 right of and 61 below the clock's.
  EXPECT_NEAR(dateBefore.x - 103, dateAfter.x, 1);
  EXPECT_NEAR(dateBefore.y - 61, dateAfter.y, 1);

  ASSERT_TRUE(PressSheetButton(sheet, clock_, PSBTN_OK));
  EXPECT_EQ(L"7", ProgramSetting(L"DATE_DISP", L"date_format"));
  EXPECT_EQ(L"0", ProgramSetting(L"DATE_DISP", L"offset_x"));
  EXPECT_EQ(L"0", ProgramSetting(L"DATE_DISP", L"offset_y"));
}

TEST_F(SettingsSheet, CancelPutsBackTheScreenTheFileAndWhatARestartShows) {
  Start();
  const RECT clockBefore = WindowRect(clock_);
  const RECT dateBefore = WindowRect(date_);
  HWND sheet = OpenSheet();
  ASSERT_NE(nullptr, sheet);
  HWND page = ShowPage(program_.Id(), sheet, kClockPage);
  ASSERT_NE(nullptr, page);
  ChooseItem(PageControl(page, kMonitorList), 1);
  ChooseItem(PageControl(page, kCornerList), 3);
  ChooseItem(PageControl(page, kDrawTypeList), 2);
  MoveBar(PageControl(page, kHorizontalBar), -500);
  ClickBox(PageControl(page, kHideClockBox));
  EXPECT_FALSE(IsWindowVisible(clock_));
  page = ShowPage(program_.Id(), sheet, kDatePage);
  ASSERT_NE(nullptr, page);
  ChooseItem(PageControl(page, kFormatList), 7);
  MoveBar(PageControl(page, kDateHorizontalBar), -300);
  EXPECT_EQ(L"-300", ProgramSettingOnceWritten(L"DATE_DISP", L"offset_x", L"-300"));
  ClickBox(PageControl(page, kHideDateBox));
  EXPECT_FALSE(IsWindowVisible(date_));

  ASSERT_TRUE(CloseSheet(sheet, clock_, WM_SYSCOMMAND, SC_CLOSE));
  EXPECT_TRUE(Shown());
  ExpectSameRect(clockBefore, WindowRect(clock_));
  ExpectSameRect(dateBefore, WindowRect(date_));
  // The file, which the random run below checks key by key, loads as before.
  program_.End();
  Start();
  ExpectSameRect(clockBefore, WindowRect(clock_));
  ExpectSameRect(dateBefore, WindowRect(date_));
}

TEST_F(SettingsSheet, WorldClocksShowTheRenderersLinesAndThePageChangesAPlaceLiveUntilCancel) {
  SetProgramSetting(L"ZONE_DISP", L"zone1", L"GMT Standard Time");
  SetProgramSetting(L"ZONE_DISP", L"show1", 1);
  SetProgramSetting(L"ZONE_DISP", L"zone2", L"Tokyo Standard Time");
  SetProgramSetting(L"ZONE_DISP", L"label2", L"Tokyo");
  SetProgramSetting(L"ZONE_DISP", L"show2", 1);
  SetProgramSetting(L"DATE_DISP", L"faint_on_hover", 0);
  Start();
  HWND zones = FindZonesWindow(program_.Id());
  ASSERT_NE(nullptr, zones);
  ASSERT_TRUE(IsWindowVisible(zones));
  const RECT before = WindowRect(zones);
  EXPECT_TRUE(WaitUntil([&] { return ShowsTheRenderedLines(zones); }, kChangeTimeoutMs)) << ShowsTheRenderedLines(zones).message();

  // Place 2 moves to Hawaii, place 1 is switched off: the lines follow at once.
  HWND sheet = OpenSheet();
  ASSERT_NE(nullptr, sheet);
  HWND page = ShowPage(program_.Id(), sheet, kZonePage);
  ASSERT_NE(nullptr, page);
  // Off the lines, which the screen is read for.
  SetWindowPos(sheet, nullptr, 760, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const std::vector<TimeZoneEntry> list = timezones::List();
  const auto hawaii = std::find_if(list.begin(), list.end(),
                                   [](const TimeZoneEntry& zone) { return zone.key == L"Hawaiian Standard Time"; });
  ASSERT_NE(list.end(), hawaii);
  ChooseItem(PageControl(page, kControlsPerPlace + kPlaceZoneList), static_cast<int>(hawaii - list.begin()));
  ClickBox(PageControl(page, kPlaceShowBox));
  EXPECT_EQ(L"Hawaiian Standard Time", ProgramSettingOnceWritten(L"ZONE_DISP", L"zone2", L"Hawaiian Standard Time"));
  EXPECT_EQ(L"0", ProgramSettingOnceWritten(L"ZONE_DISP", L"show1", L"0"));
  EXPECT_LT(WindowRect(zones).bottom - WindowRect(zones).top, before.bottom - before.top) << "one line left";
  EXPECT_TRUE(WaitUntil([&] { return ShowsTheRenderedLines(zones); }, kChangeTimeoutMs)) << ShowsTheRenderedLines(zones).message();

  // Cancel puts both places back, in the file and on the screen.
  ASSERT_TRUE(CloseSheet(sheet, clock_, WM_SYSCOMMAND, SC_CLOSE));
  EXPECT_EQ(L"Tokyo Standard Time", ProgramSetting(L"ZONE_DISP", L"zone2"));
  EXPECT_EQ(L"1", ProgramSetting(L"ZONE_DISP", L"show1"));
  ExpectSameRect(before, WindowRect(zones));
  EXPECT_TRUE(WaitUntil([&] { return ShowsTheRenderedLines(zones); }, kChangeTimeoutMs)) << ShowsTheRenderedLines(zones).message();
}

namespace {

// What a user does with a control (by its place on its page), and the key it sets.
enum class Act { kTick, kUntick, kList, kBar, kTransparency, kFamily, kColour };
struct PageAction {
  const wchar_t* page;
  int control;
  Act act;
  const wchar_t* section;
  const wchar_t* key;
  int lowest = 0;  // list items, bar positions
  int highest = 0;
};
constexpr wchar_t kClock[] = L"CLOCK_DISP";
constexpr wchar_t kDate[] = L"DATE_DISP";
// Ticks are boxes whose tick sets the key; unticks, boxes whose tick clears it.
const PageAction kPageActions[] = {
    {kClockPage, 0, Act::kTick, kDate, L"hide_clock"},
    {kClockPage, 2, Act::kTick, kClock, L"disp_second"},
    {kClockPage, 3, Act::kUntick, kClock, L"blink"},
    {kClockPage, 4, Act::kTick, kClock, L"hour12"},
    {kClockPage, 7, Act::kList, kClock, L"draw_type", 0, 2},
    {kClockPage, 9, Act::kList, kClock, L"display_index", 0, 1},
    {kClockPage, 11, Act::kList, kClock, L"disp_index", 0, 3},
    {kClockPage, 13, Act::kBar, kClock, L"disp_offset_x", -1024, 1024},
    {kClockPage, 17, Act::kTransparency, kClock, L"alpha", 0, 255},
    {kClockFontPage, 1, Act::kFamily, kClock, L"font_family"},
    {kClockFontPage, 2, Act::kTick, kClock, L"font_bold"},
    {kClockFontPage, 5, Act::kBar, kClock, L"font_em_height", 64, 512},
    {kClockFontPage, 7, Act::kBar, kClock, L"border_frame_scale", 0, 20},
    {kClockColourPage, 5, Act::kColour, kClock, L"font_color2"},
    {kDatePage, 0, Act::kUntick, kDate, L"show_date"},
    {kDatePage, 3, Act::kList, kDate, L"date_format", 0, 7},
    {kDatePage, 9, Act::kBar, kDate, L"offset_y", -1024, 1024},
    {kDatePage, 11, Act::kTransparency, kDate, L"alpha", 0, 255},
    {kDateFontPage, 1, Act::kFamily, kDate, L"font_family"},
    {kDateFontPage, 2, Act::kTick, kDate, L"font_bold"},
    {kDateFontPage, 3, Act::kTick, kDate, L"font_italic"},
    {kDateFontPage, 5, Act::kBar, kDate, L"font_em_height", 32, 256},
    {kDateColourPage, 2, Act::kColour, kDate, L"font_color1"},
};
// The steps that once left "blink=0" in the file behind blinking colons:
// no blinking, the transparency bar, blinking again.
const size_t kBlinkSteps[] = {2, 8, 2};

// Every key the actions set, each inside the range of its control.
const wchar_t kStartFile[] =
    L"[CLOCK_DISP]\r\ndisp_second=1\r\nblink=1\r\nhour12=0\r\ndraw_type=1\r\ndisplay_index=0\r\ndisp_index=2\r\n"
    L"disp_offset_x=40\r\nalpha=200\r\nfont_family=IPAGothic\r\nfont_bold=1\r\nfont_em_height=100\r\n"
    L"border_frame_scale=4\r\nfont_color2=-16726016\r\n[DATE_DISP]\r\nhide_clock=0\r\nshow_date=1\r\ndate_format=1\r\n"
    L"offset_y=-160\r\nalpha=203\r\nfont_family=IPAGothic\r\nfont_bold=1\r\nfont_italic=0\r\nfont_em_height=56\r\n"
    L"font_color1=-14714823\r\n[VERSION]\r\nnotify=1\r\n";

std::wstring& ValueOf(std::vector<IniLine>& lines, const wchar_t* section, const wchar_t* key) {
  return std::find_if(lines.begin(), lines.end(), [&](const IniLine& line) {
           return line.section == section && line.key == key;
         })->value;
}

}  // namespace

TEST_F(SettingsSheet, AfterOkOrCancelOfRandomPageActionsTheFileHoldsEveryValueInEffect) {
  wchar_t replay[16] = {};
  const unsigned seed = GetEnvironmentVariableW(L"HORAVEL_SHEET_SEED", replay, 16) != 0
                            ? static_cast<unsigned>(wcstoul(replay, nullptr, 10))
                            : std::random_device{}();
  SCOPED_TRACE("replay with HORAVEL_SHEET_SEED=" + std::to_string(seed));
  std::mt19937 random(seed);
  auto pick = [&](int lowest, int highest) { return std::uniform_int_distribution<int>(lowest, highest)(random); };
  WriteUtf16(ProgramSettingsPath(), kStartFile);
  std::vector<IniLine> inEffect = IniLines(kStartFile);
  const std::vector<std::wstring> families = font_list::CollectDrawableFamilies(GetDesktopWindow());
  Start();
  for (int round = 0; round < 5; ++round) {
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    const std::vector<IniLine> atOpen = inEffect;
    std::vector<size_t> steps(round < 2 ? std::begin(kBlinkSteps) : std::end(kBlinkSteps), std::end(kBlinkSteps));
    while (steps.size() < 10) steps.push_back(static_cast<size_t>(pick(0, std::size(kPageActions) - 1)));
    for (const size_t step : steps) {
      const PageAction& action = kPageActions[step];
      HWND control = PageControl(ShowPage(program_.Id(), sheet, action.page), action.control);
      std::wstring& value = ValueOf(inEffect, action.section, action.key);
      const int chosen = pick(action.lowest, action.highest);
      if (action.act == Act::kTick || action.act == Act::kUntick) {
        ClickBox(control);
        const bool ticked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        value = ticked == (action.act == Act::kTick) ? L"1" : L"0";
      } else if (action.act == Act::kFamily) {
        const int item = pick(0, static_cast<int>(families.size()) - 1);
        ChooseItem(control, item);
        value = families[static_cast<size_t>(item)];
      } else if (action.act == Act::kColour) {
        const auto argb = static_cast<std::uint32_t>(std::stol(value));
        const COLORREF colour = RGB(pick(0, 255), pick(0, 255), pick(0, 255));
        PickColour(program_.Id(), sheet, control, RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF), colour);
        value = std::to_wstring(
            static_cast<int>(0xFF000000u | GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour)));
      } else {
        (action.act == Act::kList ? ChooseItem : MoveBar)(control, chosen);
        value = std::to_wstring(action.act == Act::kTransparency ? 255 - chosen : chosen);
      }
    }
    const bool ok = pick(0, 1) == 1;
    ASSERT_TRUE(PressSheetButton(sheet, clock_, ok ? PSBTN_OK : PSBTN_CANCEL));
    if (!ok) inEffect = atOpen;
    for (const IniLine& line : inEffect) {
      EXPECT_EQ(line.value, ProgramSetting(line.section.c_str(), line.key.c_str()))
          << line.section << "." << line.key << " after " << (ok ? "OK" : "Cancel") << " of sheet " << round;
    }
  }
}
