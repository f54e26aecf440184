// The version page of the settings sheet and the licence sheet, driven in
// the real program as a user would.

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kChangeTimeoutMs = 10000;
constexpr WPARAM kLicenceCommand = 129;
constexpr WPARAM kSettingsCommand = 130;
constexpr wchar_t kNoticeBoxText[] = L"バージョンアップの通知をしない";

HWND StartClock(ProgramProcess& program) {
  if (!program.Start()) return nullptr;
  if (!WaitUntil([&] { return FindDateWindow(program.Id()) != nullptr; }, kStartTimeoutMs)) return nullptr;
  return FindClockWindow(program.Id());
}

HWND WaitForSheet(const wchar_t* caption, DWORD processId) {
  HWND sheet = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : FindTopLevelWindows(caption, processId)) {
          if (IsWindowVisible(window)) sheet = window;
        }
        return sheet != nullptr;
      },
      kStartTimeoutMs);
  return sheet;
}

// Asks the control itself: GetWindowText would give only the caption of
// another process's window.
std::wstring TextOf(HWND window) {
  const auto length = static_cast<size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  text.resize(static_cast<size_t>(
      SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(&text[0]))));
  return text;
}

struct ChildSearch {
  std::wstring className;
  std::wstring text;  // empty: any text
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (_wcsicmp(name, search->className.c_str()) != 0 || !IsWindowVisible(window)) return TRUE;
  if (!search->text.empty() && TextOf(window) != search->text) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text = L"") {
  ChildSearch search{className, text};
  EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Opens the settings, turns to the last tab and returns the sheet and the
// version page's box.
std::pair<HWND, HWND> OpenVersionPage(HWND clock, DWORD processId) {
  PostMessageW(clock, WM_COMMAND, kSettingsCommand, 0);
  HWND sheet = WaitForSheet(L"アプリ設定", processId);
  if (sheet == nullptr) return {nullptr, nullptr};
  HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindChild(sheet, L"Button", kNoticeBoxText)) != nullptr; }, kChangeTimeoutMs);
  return {sheet, box};
}

// Closes the sheet and returns once the clock has finished with it (it
// writes the settings after the sheet has gone).
void CloseSheet(HWND sheet, HWND clock, UINT message, WPARAM wParam) {
  PostMessageW(sheet, message, wParam, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, kChangeTimeoutMs));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(clock, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kChangeTimeoutMs, &ignored);
}

}  // namespace

TEST(VersionPage, BoxShowsTheSwitchAndOnlyOkStoresIt) {
  ResetProgramData();
  // Stored in a form that any write would change.
  SetProgramSetting(L"VERSION", L"notify", L"01");
  ProgramProcess program;
  HWND clock = StartClock(program);
  ASSERT_NE(nullptr, clock);

  auto [sheet, box] = OpenVersionPage(clock, program.Id());
  ASSERT_NE(nullptr, box) << "the last tab is the version page";
  EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
  EXPECT_NE(nullptr, FindChild(sheet, L"Static", L"Version : 1.1.3"));
  SendMessageW(box, BM_CLICK, 0, 0);
  SendMessageW(box, BM_CLICK, 0, 0);
  CloseSheet(sheet, clock, PSM_PRESSBUTTON, PSBTN_CANCEL);
  EXPECT_EQ(L"01", ProgramSetting(L"VERSION", L"notify")) << "Cancel writes nothing";

  std::tie(sheet, box) = OpenVersionPage(clock, program.Id());
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
  SendMessageW(box, BM_CLICK, 0, 0);
  CloseSheet(sheet, clock, PSM_PRESSBUTTON, PSBTN_OK);
  EXPECT_EQ(L"0", ProgramSetting(L"VERSION", L"notify"));
  program.End();
  EXPECT_EQ(0u, program.ExitCode());
}

TEST(LicenceSheet, ShowsTheTermsAndClosesCleanly) {
  ResetProgramData();
  ProgramProcess program;
  HWND clock = StartClock(program);
  ASSERT_NE(nullptr, clock);

  PostMessageW(clock, WM_COMMAND, kLicenceCommand, 0);
  HWND sheet = WaitForSheet(L"ライセンス情報", program.Id());
  ASSERT_NE(nullptr, sheet);
  // Centred over the clock in its corner, yet wholly on the screen.
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT placed{};
        GetWindowRect(sheet, &placed);
        return placed.left >= 0 && placed.top >= 0;
      },
      kChangeTimeoutMs));
  HWND text = FindChild(sheet, L"Edit");
  if (text != nullptr) {
    // No browser here: the terms as plain text.
    const std::wstring terms = TextOf(text);
    EXPECT_NE(std::wstring::npos, terms.find(L"MIT License"));
    EXPECT_NE(std::wstring::npos, terms.find(L"Permission is hereby granted"));
    EXPECT_EQ(std::wstring::npos, terms.find(L'<')) << "no tags";
    EXPECT_EQ(std::wstring::npos, terms.find(L"font-family")) << "no styles";
    EXPECT_TRUE(GetWindowLongPtrW(text, GWL_STYLE) & ES_READONLY);
    RECT shown{};
    GetWindowRect(text, &shown);
    EXPECT_GT(shown.bottom - shown.top, 100);
    // Letters on the screen, not an empty box.
    ASSERT_TRUE(WaitUntil(
        [&] {
          const ScreenPixels pixels = CaptureScreen(shown);
          return std::set<std::uint32_t>(pixels.rgb.begin(), pixels.rgb.end()).size() > 2;
        },
        kChangeTimeoutMs));
  } else {
    EXPECT_NE(nullptr, FindChild(sheet, L"AtlAxWin")) << "a browser or the text";
  }

  CloseSheet(sheet, clock, WM_CLOSE, 0);
  EXPECT_TRUE(program.IsRunning());
  EXPECT_TRUE(IsWindowVisible(clock));
  program.End();
  EXPECT_EQ(0u, program.ExitCode());
}
