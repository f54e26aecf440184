// The settings sheet of the running program: opening it from the clock's
// command, its live changes on the desktop, and what OK and Cancel leave in
// the settings file and after a restart.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "comlib/inifile.h"
#include "comlib/run_at_startup.h"
#include "comlib/time_zones.h"
#include "data/face_measure.h"
#include "data/settings.h"
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
  // Read here, never written.
  Inifile_CL programStore(ProgramSettingsPath());
  Settings_CL settings(programStore);
  settings.Load();
  WorldClocks_CL world;
  world.Resolve(settings.Zones());
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
  const std::vector<std::wstring> widest =
      world.WidestLines(WidestZonesDigit(settings.Date(), dpi::kBaseDpi), false);
  render::RenderZones(buffer, settings.Date(), SIZE{screen.width, screen.height}, lines, widest);
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
                                              kTimeSyncPage, kVersionPage};
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
enum class Act { kTick, kUntick, kList, kBar, kTransparency, kFamily, kZone, kColour, kLabel, kChord, kNoHotKey };
struct PageAction {
  const wchar_t* page;
  int control;
  Act act;
  const wchar_t* section;
  const wchar_t* key;
  int lowest = 0;  // list items, bar positions, the labels and chords below
  int highest = 0;
};
constexpr wchar_t kClock[] = L"CLOCK_DISP";
constexpr wchar_t kDate[] = L"DATE_DISP";
constexpr wchar_t kZones[] = L"ZONE_DISP";
// The Run value, "1" when it starts the program.
constexpr wchar_t kRun[] = L"Run";
// Ticks are boxes whose tick sets the key; unticks, boxes whose tick clears it.
const PageAction kPageActions[] = {
    {kClockPage, 0, Act::kTick, kDate, L"hide_clock"}, {kClockPage, 1, Act::kTick, kClock, L"disp_startup_hidden"},
    {kClockPage, 2, Act::kTick, kClock, L"disp_second"}, {kClockPage, 3, Act::kUntick, kClock, L"blink"},
    {kClockPage, 4, Act::kTick, kClock, L"hour12"}, {kClockPage, 5, Act::kTick, kClock, L"faint_on_hover"},
    {kClockPage, 7, Act::kList, kClock, L"draw_type", 0, 2},
    {kClockPage, 9, Act::kList, kClock, L"display_index", 0, 1},
    {kClockPage, 10, Act::kTick, kClock, L"display_all"},
    {kClockPage, 12, Act::kList, kClock, L"disp_index", 0, 3},
    {kClockPage, 14, Act::kBar, kClock, L"disp_offset_x", -1024, 1024},
    {kClockPage, 16, Act::kBar, kClock, L"disp_offset_y", -1024, 1024},
    {kClockPage, 18, Act::kTransparency, kClock, L"alpha", 0, 255},
    {kClockPage, 19, Act::kTick, kClock, L"hide_on_fullscreen"}, {kClockPage, 20, Act::kTick, kRun, L"Horavel"},
    {kClockPage, 22, Act::kChord, kClock, L"hotkey", 0, 1}, {kClockPage, 22, Act::kChord, kClock, L"hotkey", 2, 5},
    {kClockPage, 24, Act::kNoHotKey, kClock, L"hotkey"}, {kClockFontPage, 1, Act::kFamily, kClock, L"font_family"},
    {kClockFontPage, 2, Act::kTick, kClock, L"font_bold"}, {kClockFontPage, 3, Act::kTick, kClock, L"font_italic"},
    {kClockFontPage, 5, Act::kBar, kClock, L"font_em_height", 64, 512},
    {kClockFontPage, 7, Act::kBar, kClock, L"border_frame_scale", 0, 20},
    {kClockColourPage, 2, Act::kColour, kClock, L"font_color1"},
    {kClockColourPage, 5, Act::kColour, kClock, L"font_color2"},
    {kClockColourPage, 8, Act::kColour, kClock, L"font_color3"}, {kDatePage, 0, Act::kUntick, kDate, L"show_date"},
    {kDatePage, 1, Act::kTick, kDate, L"disp_startup_hidden"}, {kDatePage, 3, Act::kList, kDate, L"date_format", 0, 7},
    {kDatePage, 5, Act::kList, kDate, L"draw_type", 0, 2}, {kDatePage, 7, Act::kBar, kDate, L"offset_x", -1024, 1024},
    {kDatePage, 9, Act::kBar, kDate, L"offset_y", -1024, 1024},
    {kDatePage, 11, Act::kTransparency, kDate, L"alpha", 0, 255}, {kDatePage, 12, Act::kTick, kDate, L"faint_on_hover"},
    {kDateFontPage, 1, Act::kFamily, kDate, L"font_family"}, {kDateFontPage, 2, Act::kTick, kDate, L"font_bold"},
    {kDateFontPage, 3, Act::kTick, kDate, L"font_italic"},
    {kDateFontPage, 5, Act::kBar, kDate, L"font_em_height", 32, 256},
    {kDateFontPage, 7, Act::kBar, kDate, L"border_frame_scale", 0, 20},
    {kDateColourPage, 2, Act::kColour, kDate, L"font_color1"},
    {kDateColourPage, 5, Act::kColour, kDate, L"font_color3"}, {kZonePage, 0, Act::kTick, kZones, L"show1"},
    {kZonePage, 2, Act::kLabel, kZones, L"label1", 0, 3}, {kZonePage, 3, Act::kZone, kZones, L"zone1"},
    {kZonePage, 4, Act::kTick, kZones, L"show2"}, {kZonePage, 6, Act::kLabel, kZones, L"label2", 0, 3},
    {kZonePage, 7, Act::kZone, kZones, L"zone2"}, {kZonePage, 8, Act::kTick, kZones, L"show3"},
    {kZonePage, 10, Act::kLabel, kZones, L"label3", 0, 3}, {kZonePage, 11, Act::kZone, kZones, L"zone3"},
    {kZonePage, 12, Act::kTick, kZones, L"show4"}, {kZonePage, 14, Act::kLabel, kZones, L"label4", 0, 3},
    {kZonePage, 15, Act::kZone, kZones, L"zone4"}, {kZonePage, 17, Act::kBar, kZones, L"offset_x", -1024, 1024},
    {kZonePage, 19, Act::kBar, kZones, L"offset_y", -1024, 1024}, {kVersionPage, 0, Act::kTick, L"VERSION", L"notify"},
    {kTimeSyncPage, 0, Act::kTick, L"TIME_SYNC", L"use"},
};
// The steps that once left "blink=0" in the file behind blinking colons:
// no blinking, the transparency bar, blinking again.
const size_t kBlinkSteps[] = {3, 12, 3};
const wchar_t* const kLabels[] = {L"", L"Tokyo", L"ロンドン", L"Base 2"};
// Keys pressed in the hot-key field, and the key each leaves in effect:
// its own, or (null) the one before.
const std::pair<std::vector<UINT>, const wchar_t*> kChords[] = {
    {{VK_CONTROL, VK_MENU, 'K'}, L"Ctrl+Alt+K"}, {{VK_CONTROL, VK_SHIFT, VK_F7}, L"Ctrl+Shift+F7"},
    {{VK_CONTROL}, nullptr}, {{VK_SHIFT, 'A'}, nullptr}, {{VK_CONTROL, 'C'}, nullptr}, {{VK_BACK}, nullptr}};

// Every key the actions set, each inside the range of its control.
const wchar_t kStartFile[] =
    L"[CLOCK_DISP]\r\ndisp_second=1\r\nblink=1\r\nhour12=0\r\ndraw_type=1\r\ndisplay_index=0\r\ndisplay_all=0\r\n"
    L"disp_index=2\r\n"
    L"disp_offset_x=40\r\ndisp_offset_y=200\r\nalpha=200\r\nfont_family=IPAGothic\r\nfont_bold=1\r\nfont_italic=0\r\n"
    L"font_em_height=100\r\nborder_frame_scale=4\r\nfont_color1=-16713216\r\nfont_color2=-16726016\r\n"
    L"font_color3=-1\r\ndisp_startup_hidden=0\r\nfaint_on_hover=0\r\nhide_on_fullscreen=1\r\nhotkey=Ctrl+Alt+H\r\n"
    L"[DATE_DISP]\r\nhide_clock=0\r\nshow_date=1\r\ndisp_startup_hidden=0\r\ndate_format=1\r\ndraw_type=0\r\n"
    L"offset_x=103\r\noffset_y=-160\r\nalpha=203\r\nfaint_on_hover=0\r\nfont_family=IPAGothic\r\nfont_bold=1\r\n"
    L"font_italic=0\r\nfont_em_height=56\r\nborder_frame_scale=10\r\nfont_color1=-14714823\r\nfont_color3=-1\r\n"
    L"[ZONE_DISP]\r\nzone1=Tokyo Standard Time\r\nlabel1=\r\nshow1=1\r\nzone2=GMT Standard Time\r\nlabel2=London\r\n"
    L"show2=0\r\nzone3=Hawaiian Standard Time\r\nlabel3=\r\nshow3=1\r\nzone4=Pacific Standard Time\r\nlabel4=\r\n"
    L"show4=0\r\noffset_x=0\r\noffset_y=0\r\n[VERSION]\r\nnotify=1\r\n"
    // A port on loopback where nothing listens: the client is told at once.
    L"[TIME_SYNC]\r\nuse=0\r\nserver=127.0.0.1:9\r\n";

std::wstring& ValueOf(std::vector<IniLine>& lines, const wchar_t* section, const wchar_t* key) {
  return std::find_if(lines.begin(), lines.end(), [&](const IniLine& line) {
           return line.section == section && line.key == key;
         })->value;
}

// Chooses what a user does next, from a seed, and does it.
class RandomUser {
 public:
  explicit RandomUser(unsigned seed) : random_(seed) {
    for (const TimeZoneEntry& zone : timezones::List()) zones_.push_back(zone.key);
  }
  int Pick(int lowest, int highest) { return std::uniform_int_distribution<int>(lowest, highest)(random_); }

  // Every action once and some twice, in any order.
  std::vector<size_t> Steps() {
    const int count = static_cast<int>(std::size(kPageActions));
    std::vector<size_t> steps(static_cast<size_t>(count));
    std::iota(steps.begin(), steps.end(), size_t{0});
    for (int extra = 0; extra < 15; ++extra) steps.push_back(static_cast<size_t>(Pick(0, count - 1)));
    std::shuffle(steps.begin(), steps.end(), random_);
    return steps;
  }

  // Does the action with its control on the sheet; `value`, the key's value, becomes the one it leaves in effect.
  void Do(const PageAction& action, DWORD processId, HWND sheet, std::wstring& value) {
    HWND control = PageControl(ShowPage(processId, sheet, action.page), action.control);
    const int chosen = Pick(action.lowest, action.highest);
    if (action.act == Act::kTick || action.act == Act::kUntick) {
      ClickBox(control);
      const bool ticked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
      value = ticked == (action.act == Act::kTick) ? L"1" : L"0";
    } else if (action.act == Act::kFamily || action.act == Act::kZone) {
      const std::vector<std::wstring>& names = action.act == Act::kFamily ? families_ : zones_;
      const int item = Pick(0, static_cast<int>(names.size()) - 1);
      ChooseItem(control, item);
      value = names[static_cast<size_t>(item)];
    } else if (action.act == Act::kColour) {
      const auto argb = static_cast<std::uint32_t>(std::stol(value));
      const COLORREF colour = RGB(Pick(0, 255), Pick(0, 255), Pick(0, 255));
      PickColour(processId, sheet, control, RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF), colour);
      value = std::to_wstring(
          static_cast<int>(0xFF000000u | GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour)));
    } else if (action.act == Act::kLabel) {
      SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kLabels[chosen]));
      value = kLabels[chosen];
    } else if (action.act == Act::kChord) {
      PressKeys(control, kChords[chosen].first);
      if (kChords[chosen].second != nullptr) value = kChords[chosen].second;
    } else if (action.act == Act::kNoHotKey) {
      ClickBox(control);
      value.clear();
    } else {
      (action.act == Act::kList ? ChooseItem : MoveBar)(control, chosen);
      value = std::to_wstring(action.act == Act::kTransparency ? 255 - chosen : chosen);
    }
  }

 private:
  std::mt19937 random_;
  const std::vector<std::wstring> families_ = font_list::CollectDrawableFamilies(GetDesktopWindow());
  std::vector<std::wstring> zones_;
};

}  // namespace

TEST_F(SettingsSheet, AfterOkOrCancelOfRandomPageActionsTheFileHoldsEveryValueInEffect) {
  wchar_t replay[16] = {};
  const unsigned seed = GetEnvironmentVariableW(L"HORAVEL_SHEET_SEED", replay, 16) != 0
                            ? static_cast<unsigned>(wcstoul(replay, nullptr, 10))
                            : std::random_device{}();
  SCOPED_TRACE("replay with HORAVEL_SHEET_SEED=" + std::to_string(seed));
  RandomUser user(seed);
  WriteUtf16(ProgramSettingsPath(), kStartFile);
  const RunAtStartup_CL run(HoravelPath());
  run.Set(false);
  std::vector<IniLine> inEffect = IniLines(kStartFile);
  inEffect.push_back({kRun, L"Horavel", L"0"});
  Start();
  for (int round = 0; round < 6; ++round) {
    HWND sheet = OpenSheet();
    ASSERT_NE(nullptr, sheet);
    const std::vector<IniLine> atOpen = inEffect;
    std::vector<size_t> steps = user.Steps();
    if (round < 2) steps.insert(steps.begin(), std::begin(kBlinkSteps), std::end(kBlinkSteps));
    for (const size_t step : steps) {
      const PageAction& action = kPageActions[step];
      user.Do(action, program_.Id(), sheet, ValueOf(inEffect, action.section, action.key));
    }
    // A key a page forgets shows after OK, one the put-back misses after
    // Cancel: the first round ends with OK, the second with Cancel.
    const bool ok = round == 0 || (round > 1 && user.Pick(0, 1) == 1);
    ASSERT_TRUE(PressSheetButton(sheet, clock_, ok ? PSBTN_OK : PSBTN_CANCEL));
    if (!ok) inEffect = atOpen;
    for (const IniLine& line : inEffect) {
      const std::wstring stored = line.section == kRun ? (run.IsOn() ? L"1" : L"0")
                                                       : ProgramSetting(line.section.c_str(), line.key.c_str());
      EXPECT_EQ(line.value, stored) << line.section << "." << line.key << " after " << (ok ? "OK" : "Cancel")
                                    << " of sheet " << round;
    }
  }
  run.Set(false);
}
