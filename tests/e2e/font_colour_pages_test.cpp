// The font and colour pages of the settings sheet, driven in the running
// Horavel.exe: what their controls show, what they store and write, and what
// the clock and the date show while the sheet is open.

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"
#include "view/prop_font_families.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kChangeTimeoutMs = 10000;
constexpr UINT kSettingsCommand = 130;
constexpr wchar_t kSheetCaption[] = L"アプリ設定";
constexpr int kFirstControlId = 0x1100;

// Tabs of the sheet.
constexpr int kClockFontTab = 1;
constexpr int kClockColourTab = 2;
constexpr int kDateFontTab = 4;
constexpr int kDateColourTab = 5;

// Controls of a font page, in creation order.
constexpr int kFamilyList = 1;
constexpr int kSizeLabel = 4;
constexpr int kSizeBar = 5;
constexpr int kOutlineLabel = 6;
constexpr int kOutlineBar = 7;
constexpr int kBoldBox = 2;

// Controls of a colour page's first row.
constexpr int kFirstSwatch = 1;
constexpr int kFirstChangeButton = 2;

// The colour picker's red, green and blue fields.
constexpr int kPickerRed = 706;
constexpr int kPickerGreen = 707;
constexpr int kPickerBlue = 708;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kDefaultClockGreen = 0x00FA00;

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// Asked of the control itself: an edit keeps its text to itself.
std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The program's dialog windows other than the sheet: the colour picker.
HWND FindPicker(DWORD processId, HWND sheet) {
  struct Search {
    DWORD processId;
    HWND sheet;
    HWND found;
  } search{processId, sheet, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (owner != s->processId || window == s->sheet || std::wstring(name) != L"#32770" ||
            !IsWindowVisible(window)) {
          return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class FontColourPages : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramData();
    // Bottom left, clear of the sheet, which the tests move to the top right.
    SetProgramSetting(L"CLOCK_DISP", L"disp_index", 2);
  }

  void Start() {
    ASSERT_TRUE(program_.Start());
    ASSERT_TRUE(WaitUntil([&] { return FindDateWindow(program_.Id()) != nullptr; }, kStartTimeoutMs));
    clock_ = FindClockWindow(program_.Id());
    date_ = FindDateWindow(program_.Id());
    RoundTrip();
  }

  void RoundTrip() const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(clock_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kChangeTimeoutMs, &ignored);
  }

  void OpenSheet() {
    PostMessageW(clock_, WM_COMMAND, kSettingsCommand, 0);
    ASSERT_TRUE(WaitUntil([&] { return !FindTopLevelWindows(kSheetCaption, program_.Id()).empty(); },
                          kChangeTimeoutMs));
    sheet_ = FindTopLevelWindows(kSheetCaption, program_.Id()).front();
    const RECT rect = WindowRect(sheet_);
    SetWindowPos(sheet_, nullptr, GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left), 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  HWND ShowTab(int tab) const {
    SendMessageW(sheet_, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
  }

  void PressSheetButton(int button) {
    PostMessageW(sheet_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet_); }, kChangeTimeoutMs));
    RoundTrip();
  }

  // Moves a page's trackbar as a drag would end.
  static void MoveBar(HWND page, int bar, int position) {
    HWND control = Control(page, bar);
    SendMessageW(control, TBM_SETPOS, TRUE, position);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(control));
  }

  static HWND Control(HWND page, int index) { return GetDlgItem(page, kFirstControlId + index); }

  // Opens the picker from a colour row's button, checks that it opens on
  // `current`, chooses `chosen` and presses OK.
  void PickColour(HWND page, int button, COLORREF current, COLORREF chosen) const {
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(kFirstControlId + button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(page, button)));
    HWND picker = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (picker = FindPicker(program_.Id(), sheet_)) != nullptr; }, kChangeTimeoutMs));
    EXPECT_EQ(std::to_wstring(GetRValue(current)), Text(GetDlgItem(picker, kPickerRed)));
    EXPECT_EQ(std::to_wstring(GetGValue(current)), Text(GetDlgItem(picker, kPickerGreen)));
    EXPECT_EQ(std::to_wstring(GetBValue(current)), Text(GetDlgItem(picker, kPickerBlue)));
    SetWindowTextW(GetDlgItem(picker, kPickerRed), std::to_wstring(GetRValue(chosen)).c_str());
    SetWindowTextW(GetDlgItem(picker, kPickerGreen), std::to_wstring(GetGValue(chosen)).c_str());
    SetWindowTextW(GetDlgItem(picker, kPickerBlue), std::to_wstring(GetBValue(chosen)).c_str());
    PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); }, kChangeTimeoutMs));
  }

  ProgramProcess program_;
  HWND clock_ = nullptr;
  HWND date_ = nullptr;
  HWND sheet_ = nullptr;
};

}  // namespace

TEST_F(FontColourPages, ListEachDrawableFamilyOnceWithTheStoredFamilySelectedWhateverItsCase) {
  SetProgramSetting(L"CLOCK_DISP", L"font_family", L"ipagothic");
  SetProgramSetting(L"DATE_DISP", L"font_family", L"DEJAVU SANS");
  Start();
  OpenSheet();
  // The same prefix and fonts give this process the same list.
  const std::vector<std::wstring> families = font_list::CollectDrawableFamilies(GetDesktopWindow());
  const struct {
    int tab;
    const wchar_t* installed;
  } pages[] = {{kClockFontTab, L"IPAGothic"}, {kDateFontTab, L"DejaVu Sans"}};
  for (const auto& page : pages) {
    HWND list = Control(ShowTab(page.tab), kFamilyList);
    ASSERT_EQ(static_cast<LRESULT>(families.size()), SendMessageW(list, CB_GETCOUNT, 0, 0));
    const LRESULT selection = SendMessageW(list, CB_GETCURSEL, 0, 0);
    ASSERT_GE(selection, 0);
    EXPECT_EQ(page.installed, families[static_cast<size_t>(selection)]);
  }
  PressSheetButton(PSBTN_CANCEL);
}

TEST_F(FontColourPages, SizeAndOutlineBarsStoreTheirValuesAndReplaceTheWindows) {
  Start();
  const RECT clockBefore = WindowRect(clock_);
  const RECT dateBefore = WindowRect(date_);
  OpenSheet();

  HWND clockPage = ShowTab(kClockFontTab);
  EXPECT_EQ(L"フォントサイズ(128)", Text(Control(clockPage, kSizeLabel)));
  MoveBar(clockPage, kSizeBar, 100);
  EXPECT_EQ(L"フォントサイズ(100)", Text(Control(clockPage, kSizeLabel)));
  EXPECT_EQ(L"100", ProgramSetting(L"CLOCK_DISP", L"font_em_height"));
  const RECT clockAfter = WindowRect(clock_);
  EXPECT_LT(clockAfter.bottom - clockAfter.top, clockBefore.bottom - clockBefore.top);
  EXPECT_LT(clockAfter.right - clockAfter.left, clockBefore.right - clockBefore.left);
  // Still in the bottom-left corner (the bottom edge rounds from the text's height).
  EXPECT_EQ(clockBefore.left, clockAfter.left);
  EXPECT_NEAR(clockBefore.bottom, clockAfter.bottom, 1);
  MoveBar(clockPage, kOutlineBar, 0);
  EXPECT_EQ(L"枠の幅(0)", Text(Control(clockPage, kOutlineLabel)));
  EXPECT_EQ(L"0", ProgramSetting(L"CLOCK_DISP", L"border_frame_scale"));

  // The date's bar stops at 32 and at 256, whichever key the user presses.
  HWND datePage = ShowTab(kDateFontTab);
  HWND dateBar = Control(datePage, kSizeBar);
  EXPECT_EQ(32, SendMessageW(dateBar, TBM_GETRANGEMIN, 0, 0));
  EXPECT_EQ(256, SendMessageW(dateBar, TBM_GETRANGEMAX, 0, 0));
  const struct {
    WPARAM key;
    const wchar_t* label;
    const wchar_t* stored;
  } ends[] = {{VK_HOME, L"フォントサイズ(32)", L"32"}, {VK_END, L"フォントサイズ(256)", L"256"}};
  for (const auto& end : ends) {
    SendMessageW(dateBar, WM_KEYDOWN, end.key, 0);
    SendMessageW(dateBar, WM_KEYUP, end.key, 0);
    EXPECT_EQ(end.label, Text(Control(datePage, kSizeLabel)));
    EXPECT_EQ(end.stored, ProgramSetting(L"DATE_DISP", L"font_em_height"));
  }
  const RECT dateAfter = WindowRect(date_);
  EXPECT_GT(dateAfter.bottom - dateAfter.top, dateBefore.bottom - dateBefore.top);
  PressSheetButton(PSBTN_CANCEL);
}

TEST_F(FontColourPages, ChosenColourShowsInTheSwatchAndOnTheDesktopAndIsStoredOpaque) {
  Start();
  OpenSheet();
  const struct {
    int tab;
    HWND window;
    const wchar_t* section;
    COLORREF current;
  } rows[] = {{kClockColourTab, clock_, L"CLOCK_DISP", RGB(0x00, 0xFA, 0x00)},
              {kDateColourTab, date_, L"DATE_DISP", RGB(0x1F, 0x78, 0x39)}};
  for (const auto& row : rows) {
    HWND page = ShowTab(row.tab);
    PickColour(page, kFirstChangeButton, row.current, RGB(0xFF, 0, 0));
    // Pure red, fully opaque, as a signed decimal.
    EXPECT_EQ(L"-65536", ProgramSetting(row.section, L"font_color1"));
    RECT swatch = WindowRect(Control(page, kFirstSwatch));
    InflateRect(&swatch, -3, -3);
    EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(swatch).Count(kRed) == CaptureScreen(swatch).rgb.size(); },
                          kChangeTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(WindowRect(row.window)).Count(kRed) > 100; }, kChangeTimeoutMs));
  }
  PressSheetButton(PSBTN_OK);
}

TEST_F(FontColourPages, CancelPutsBackFontAndColoursInMemoryOnScreenAndInTheFile) {
  Start();
  const RECT clockBefore = WindowRect(clock_);
  OpenSheet();
  HWND fontPage = ShowTab(kClockFontTab);
  HWND list = Control(fontPage, kFamilyList);
  const LRESULT family = SendMessageW(list, CB_GETCURSEL, 0, 0);
  SendMessageW(list, CB_SETCURSEL, family == 0 ? 1 : 0, 0);
  SendMessageW(fontPage, WM_COMMAND, MAKEWPARAM(kFirstControlId + kFamilyList, CBN_SELENDOK),
               reinterpret_cast<LPARAM>(list));
  SendMessageW(Control(fontPage, kBoldBox), BM_CLICK, 0, 0);
  MoveBar(fontPage, kSizeBar, 200);
  MoveBar(fontPage, kOutlineBar, 20);
  PickColour(ShowTab(kClockColourTab), kFirstChangeButton, RGB(0x00, 0xFA, 0x00), RGB(0xFF, 0, 0));
  ASSERT_NE(L"Comic Sans MS", ProgramSetting(L"CLOCK_DISP", L"font_family"));
  ASSERT_FALSE(SameRect(clockBefore, WindowRect(clock_)));

  PressSheetButton(PSBTN_CANCEL);
  const struct {
    const wchar_t* key;
    const wchar_t* value;
  } keys[] = {{L"font_family", L"Comic Sans MS"}, {L"font_bold", L"1"},           {L"font_italic", L"1"},
              {L"font_em_height", L"128"},        {L"border_frame_scale", L"6"}, {L"font_color1", L"-16713216"}};
  for (const auto& key : keys) EXPECT_EQ(key.value, ProgramSetting(L"CLOCK_DISP", key.key)) << key.key;
  EXPECT_TRUE(SameRect(clockBefore, WindowRect(clock_)));
  EXPECT_TRUE(WaitUntil(
      [&] {
        const ScreenPixels pixels = CaptureScreen(WindowRect(clock_));
        return pixels.Count(kRed) == 0 && pixels.Count(kDefaultClockGreen) > 100;
      },
      kChangeTimeoutMs));
}
