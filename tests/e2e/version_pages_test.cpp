// The version page of the settings sheet and the licence sheet, driven in
// the real program as a user would.

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using namespace testing_support;

namespace {

constexpr wchar_t kLicenceCaption[] = L"ライセンス情報";
// The page's first control: "バージョンアップの通知をしない".
constexpr int kNoticeBoxId = 0x1100;

// Opens the settings on the version tab; returns the sheet and the page.
std::pair<HWND, HWND> OpenVersionPage(HWND clock, DWORD processId) {
  HWND sheet = OpenSettingsSheet(clock, processId);
  if (sheet == nullptr) return {nullptr, nullptr};
  return {sheet, ShowPage(processId, sheet, kVersionPage)};
}

using VersionPage = ProgramTest;
using LicenceSheet = ProgramTest;

}  // namespace

TEST_F(VersionPage, LastTabShowsTheSwitchAndOnlyOkStoresIt) {
  // Stored in a form that any write would change.
  SetProgramSetting(L"VERSION", L"notify", L"01");
  ASSERT_NO_FATAL_FAILURE(Start());

  auto [sheet, page] = OpenVersionPage(clock_, program_.Id());
  ASSERT_NE(nullptr, page);
  const std::vector<std::wstring> tabs = TabTitles(program_.Id(), sheet);
  EXPECT_EQ(9u, tabs.size());
  EXPECT_EQ(kVersionPage, tabs.back());
  HWND box = GetDlgItem(page, kNoticeBoxId);
  EXPECT_EQ(L"バージョンアップの通知をしない", TextOf(box));
  EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
  EXPECT_NE(nullptr, FindWindowExW(page, nullptr, L"Static", L"Version : 1.1.3"));
  SendMessageW(box, BM_CLICK, 0, 0);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(PressSheetButton(sheet, clock_, PSBTN_CANCEL));
  EXPECT_EQ(L"01", ProgramSetting(L"VERSION", L"notify")) << "Cancel writes nothing";

  std::tie(sheet, page) = OpenVersionPage(clock_, program_.Id());
  ASSERT_NE(nullptr, page);
  box = GetDlgItem(page, kNoticeBoxId);
  EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(PressSheetButton(sheet, clock_, PSBTN_OK));
  EXPECT_EQ(L"0", ProgramSetting(L"VERSION", L"notify"));
  program_.End();
  EXPECT_EQ(0u, program_.ExitCode());
}

TEST_F(LicenceSheet, ShowsTheTermsOnTheScreenAndClosesCleanly) {
  ASSERT_NO_FATAL_FAILURE(Start());

  PostMessageW(clock_, WM_COMMAND, kCommandLicence, 0);
  HWND sheet = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::vector<HWND> found = FindTopLevelWindows(kLicenceCaption, program_.Id(), L"#32770");
        sheet = found.empty() ? nullptr : found.front();
        return sheet != nullptr && IsWindowVisible(sheet);
      },
      kChangeTimeoutMs));
  // Centred over the clock in its corner, yet wholly on the screen.
  EXPECT_TRUE(WaitUntil(
      [&] {
        const RECT placed = WindowRect(sheet);
        return placed.left >= 0 && placed.top >= 0;
      },
      kChangeTimeoutMs));

  HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  HWND text = FindWindowExW(page, nullptr, L"Edit", nullptr);
  if (text != nullptr) {
    // No browser here: the terms as plain text.
    const std::wstring terms = ControlText(text);
    EXPECT_NE(std::wstring::npos, terms.find(L"MIT License"));
    EXPECT_NE(std::wstring::npos, terms.find(L"Permission is hereby granted"));
    EXPECT_EQ(std::wstring::npos, terms.find(L'<')) << "no tags";
    EXPECT_EQ(std::wstring::npos, terms.find(L"font-family")) << "no styles";
    EXPECT_TRUE(GetWindowLongPtrW(text, GWL_STYLE) & ES_READONLY);
    const RECT shown = WindowRect(text);
    EXPECT_GT(shown.bottom - shown.top, 100);
    // Letters on the screen, not an empty box.
    EXPECT_TRUE(WaitUntil(
        [&] {
          const ScreenPixels pixels = CaptureScreen(shown);
          return std::set<std::uint32_t>(pixels.rgb.begin(), pixels.rgb.end()).size() > 2;
        },
        kChangeTimeoutMs));
  } else {
    // The browser's host window, the page's first child.
    wchar_t name[32] = {};
    GetClassNameW(GetWindow(page, GW_CHILD), name, 32);
    EXPECT_EQ(0, wcsncmp(name, L"AtlAxWin", 8)) << "a browser or the text";
  }

  EXPECT_TRUE(CloseSheet(sheet, clock_, WM_SYSCOMMAND, SC_CLOSE));
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(IsWindowVisible(clock_));
  program_.End();
  EXPECT_EQ(0u, program_.ExitCode());
}
