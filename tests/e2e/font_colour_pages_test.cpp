// The font and colour pages of the settings sheet, driven in the running
// Horavel.exe: what their controls show, what they store and write, and what
// the clock and the date show while the sheet is open.

#include <windows.h>
// The common controls' headers need windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"
#include "view/prop_font_families.h"

using namespace testing_support;

namespace {


// Controls in the order the pages create them; these pages have no panel.
enum FontPageControl {
  kFamilyList = 1,
  kBoldBox = 2,
  kSizeLabel = 4,
  kSizeBar = 5,
  kOutlineLabel = 6,
  kOutlineBar = 7
};
enum ColourPageControl { kFirstSwatch = 1, kFirstChangeButton = 2 };
HWND Control(HWND page, int creationIndex) { return GetDlgItem(page, 0x1100 + creationIndex); }

constexpr std::uint32_t kRed = 0xFF0000;

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

class FontColourPages : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Bottom left, clear of the sheet, which the tests move to the top right.
    SetProgramSetting(L"CLOCK_DISP", L"disp_index", 2);
    SetProgramSetting(L"CLOCK_DISP", L"faint_on_hover", 0);
    // The date above the clock: below it, it would stand past the screen's
    // bottom edge.
    SetProgramSetting(L"DATE_DISP", L"offset_y", -160);
  }

  void StartWithSheet() {
    ASSERT_NO_FATAL_FAILURE(Start());
    sheet_ = OpenSettingsSheet(clock_, program_.Id());
    ASSERT_NE(nullptr, sheet_);
    const RECT rect = WindowRect(sheet_);
    SetWindowPos(sheet_, nullptr, GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left), 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The same, with both windows' rectangles and the clock's ink on the
  // screen noted once the clock is drawn.
  void StartWithSheetNotingWindows() {
    ASSERT_NO_FATAL_FAILURE(StartWithSheet());
    clockBefore_ = WindowRect(clock_);
    ASSERT_TRUE(WaitUntil([&] { return (inkBefore_ = ScreenInk(clock_)).right > 0; }, kChangeTimeoutMs));
    dateBefore_ = WindowRect(date_);
  }

  HWND Page(const wchar_t* title) const { return ShowPage(program_.Id(), sheet_, title); }

  HWND sheet_ = nullptr;
  RECT clockBefore_{};
  RECT inkBefore_{};
  RECT dateBefore_{};
};

}  // namespace

TEST_F(FontColourPages, ListEachDrawableFamilyOnceWithTheStoredFamilySelectedWhateverItsCase) {
  // Neither family has a Japanese name, which the tests' Japanese locale would list instead.
  SetProgramSetting(L"CLOCK_DISP", L"font_family", L"dejavu serif");
  SetProgramSetting(L"DATE_DISP", L"font_family", L"DEJAVU SANS");
  StartWithSheet();
  // The same prefix and fonts give this process the same list.
  const std::vector<std::wstring> families = font_list::CollectDrawableFamilies(GetDesktopWindow());
  const struct {
    const wchar_t* page;
    const wchar_t* installed;
  } pages[] = {{kClockFontPage, L"DejaVu Serif"}, {kDateFontPage, L"DejaVu Sans"}};
  for (const auto& page : pages) {
    HWND list = Control(Page(page.page), kFamilyList);
    ASSERT_EQ(static_cast<LRESULT>(families.size()), SendMessageW(list, CB_GETCOUNT, 0, 0));
    const LRESULT selection = SendMessageW(list, CB_GETCURSEL, 0, 0);
    ASSERT_GE(selection, 0);
    EXPECT_EQ(page.installed, families[static_cast<size_t>(selection)]);
  }
  ASSERT_TRUE(PressSheetButton(sheet_, clock_, PSBTN_CANCEL));
}

TEST_F(FontColourPages, SizeAndOutlineBarsStoreTheirValuesAndReplaceTheWindows) {
  ASSERT_NO_FATAL_FAILURE(StartWithSheetNotingWindows());

  HWND clockPage = Page(kClockFontPage);
  EXPECT_EQ(L"フォントサイズ(128)", TextOf(Control(clockPage, kSizeLabel)));
  MoveBar(Control(clockPage, kSizeBar), 100);
  EXPECT_EQ(L"フォントサイズ(100)", TextOf(Control(clockPage, kSizeLabel)));
  EXPECT_EQ(L"100", ProgramSettingOnceWritten(L"CLOCK_DISP", L"font_em_height", L"100"));
  const RECT clockAfter = WindowRect(clock_);
  EXPECT_LT(clockAfter.bottom - clockAfter.top, clockBefore_.bottom - clockBefore_.top);
  EXPECT_LT(clockAfter.right - clockAfter.left, clockBefore_.right - clockBefore_.left);
  // Still in the bottom-left corner: the digits stand on the same line, and
  // the hour's first digit (or a blank's worth of room before the hour)
  // stands in from the default offset by 100/128 of what it did.
  constexpr int kDefaultOffset = 32;
  const int inBefore = inkBefore_.left - kDefaultOffset;
  RECT inkAfter{};
  EXPECT_TRUE(WaitUntil(
      [&] {
        inkAfter = ScreenInk(clock_);
        return inkAfter.right > 0 && std::abs(inkBefore_.bottom - inkAfter.bottom) <= 3 &&
               std::abs(inBefore * 100 / 128 - (inkAfter.left - kDefaultOffset)) <= 3;
      },
      kChangeTimeoutMs))
      << "ink bottom " << inkBefore_.bottom << " then " << inkAfter.bottom << ", in from the offset " << inBefore
      << " then " << inkAfter.left - kDefaultOffset;
  MoveBar(Control(clockPage, kOutlineBar), 0);
  EXPECT_EQ(L"枠の幅(0)", TextOf(Control(clockPage, kOutlineLabel)));
  EXPECT_EQ(L"0", ProgramSettingOnceWritten(L"CLOCK_DISP", L"border_frame_scale", L"0"));

  // The date's bar stops at 32 and at 256, whichever key the user presses.
  HWND datePage = Page(kDateFontPage);
  HWND dateBar = Control(datePage, kSizeBar);
  const struct {
    WPARAM key;
    const wchar_t* label;
    const wchar_t* stored;
  } ends[] = {{VK_HOME, L"フォントサイズ(32)", L"32"}, {VK_END, L"フォントサイズ(256)", L"256"}};
  for (const auto& end : ends) {
    SendMessageW(dateBar, WM_KEYDOWN, end.key, 0);
    SendMessageW(dateBar, WM_KEYUP, end.key, 0);
    EXPECT_EQ(end.label, TextOf(Control(datePage, kSizeLabel)));
    EXPECT_EQ(end.stored, ProgramSettingOnceWritten(L"DATE_DISP", L"font_em_height", end.stored));
  }
  EXPECT_GT(WindowRect(date_).bottom - WindowRect(date_).top, dateBefore_.bottom - dateBefore_.top);
  ASSERT_TRUE(PressSheetButton(sheet_, clock_, PSBTN_CANCEL));
}

TEST_F(FontColourPages, ChosenColourShowsInTheSwatchAndOnTheDesktopAndIsStoredOpaque) {
  StartWithSheet();
  const struct {
    const wchar_t* page;
    HWND window;
    const wchar_t* section;
    COLORREF current;
  } rows[] = {{kClockColourPage, clock_, L"CLOCK_DISP", RGB(0x00, 0xFA, 0x00)},
              {kDateColourPage, date_, L"DATE_DISP", RGB(0x1F, 0x78, 0x39)}};
  for (const auto& row : rows) {
    HWND page = Page(row.page);
    PickColour(program_.Id(), sheet_, Control(page, kFirstChangeButton), row.current, RGB(0xFF, 0, 0));
    // Pure red, fully opaque, as a signed decimal.
    EXPECT_EQ(L"-65536", ProgramSettingOnceWritten(row.section, L"font_color1", L"-65536"));
    RECT swatch = WindowRect(Control(page, kFirstSwatch));
    InflateRect(&swatch, -3, -3);
    EXPECT_TRUE(WaitUntil(
        [&] {
          const ScreenPixels pixels = CaptureScreen(swatch);
          return pixels.Count(kRed) == pixels.rgb.size();
        },
        kChangeTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(WindowRect(row.window)).Count(kRed) > 100; }, kChangeTimeoutMs));
  }
  ASSERT_TRUE(PressSheetButton(sheet_, clock_, PSBTN_OK));
}

TEST_F(FontColourPages, CancelPutsBackFontAndColoursInMemoryOnScreenAndInTheFile) {
  ASSERT_NO_FATAL_FAILURE(StartWithSheetNotingWindows());
  MoveBar(Control(Page(kDateFontPage), kSizeBar), 200);
  MoveBar(Control(Page(kDateFontPage), kOutlineBar), 0);
  HWND fontPage = Page(kClockFontPage);
  ChooseItem(Control(fontPage, kFamilyList), 1);
  ClickBox(Control(fontPage, kBoldBox));
  MoveBar(Control(fontPage, kSizeBar), 200);
  MoveBar(Control(fontPage, kOutlineBar), 20);
  PickColour(program_.Id(), sheet_, Control(Page(kClockColourPage), kFirstChangeButton), RGB(0x00, 0xFA, 0x00),
             RGB(0xFF, 0, 0));
  ASSERT_EQ(L"0", ProgramSettingOnceWritten(L"CLOCK_DISP", L"font_bold", L"0"));
  ASSERT_FALSE(SameRect(clockBefore_, WindowRect(clock_)));

  ASSERT_TRUE(PressSheetButton(sheet_, clock_, PSBTN_CANCEL));
  // Missing when the sheet opened, and missing again.
  for (const wchar_t* key : {L"font_family", L"font_bold", L"font_italic", L"font_em_height", L"border_frame_scale",
                             L"font_color1"}) {
    EXPECT_EQ(L"", ProgramSetting(L"CLOCK_DISP", key)) << key;
  }
  EXPECT_EQ(L"", ProgramSetting(L"DATE_DISP", L"font_em_height"));
  EXPECT_EQ(L"", ProgramSetting(L"DATE_DISP", L"border_frame_scale"));
  EXPECT_TRUE(SameRect(clockBefore_, WindowRect(clock_)));
  EXPECT_TRUE(SameRect(dateBefore_, WindowRect(date_)));
  EXPECT_TRUE(WaitUntil(
      [&] {
        const ScreenPixels pixels = CaptureScreen(WindowRect(clock_));
        return pixels.Count(kRed) == 0 && pixels.Count(kClockFill) > 100;
      },
      kChangeTimeoutMs));
}
