// The program at 96 and at 144 DPI: the clock, the settings sheet and its
// clock display page grow with the DPI, and the page cuts nothing.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "comlib/update_dialog.h"
#include "support/loopback_server.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using namespace testing_support;

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr DWORD kNormalDpi = 96;
constexpr DWORD kLargeDpi = 144;
// The clock display page's group box, created last.
constexpr int kFrameIndex = 25;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

// Programs started while it lives see this DPI (read when a process starts).
struct ScopedLogPixels {
  explicit ScopedLogPixels(DWORD dpi) { Set(dpi); }
  ~ScopedLogPixels() { Set(kNormalDpi); }
  static void Set(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  }
};

struct Measured {
  RECT clockInk{};
  RECT sheet{};
  std::vector<RECT> controls;  // the page's, in creation order, the frame last
};

Measured MeasureAt(DWORD dpi) {
  Measured measured;
  ScopedLogPixels scaled(dpi);
  ResetProgramData();
  SetProgramSetting(L"CLOCK_DISP", L"disp_index", 3);
  // The date's outline is the clock's colour: it must not add to the clock's ink.
  SetProgramSetting(L"DATE_DISP", L"show_date", 0);
  ProgramProcess program;
  HWND clock = StartAndWait(program);
  if (clock == nullptr) return measured;
  WaitUntil([&] { return ClockFillOnScreen(clock) > 0; }, kSheetTimeoutMs);
  measured.clockInk = ScreenInkOverTenSeconds(clock);
  HWND sheet = OpenSettingsSheet(clock, program.Id());
  if (sheet == nullptr) return measured;
  measured.sheet = WindowRect(sheet);
  HWND page = ShowPage(program.Id(), sheet, kClockPage);
  for (int index = 0; HWND control = PageControl(page, index); ++index) {
    measured.controls.push_back(WindowRect(control));
  }
  return measured;
}

// The update notice of a program that finds a newer version at the test's server.
RECT NoticeAt(DWORD dpi) {
  ScopedLogPixels scaled(dpi);
  LoopbackHttpServer server;
  server.Answer(HttpResponse("1.1.4.0\r\nhttp://127.0.0.1/download\r\n"));
  ResetProgramData();
  SetProgramSetting(L"VERSION", L"notify", 0);
  SetProgramSetting(L"VERSION", L"update_url", server.Url());
  SetProgramSetting(L"VERSION", L"next_version", L"1.1.4.0");
  SetProgramSetting(L"VERSION", L"next_notify", L"00000000:00000001");
  ProgramProcess program;
  HWND notice = nullptr;
  if (program.Start()) {
    WaitUntil([&] { return (notice = FindUpdateNotice(program.Id())) != nullptr; }, kSheetTimeoutMs);
  }
  const RECT rect = WindowRect(notice);
  // The clock comes, and with it the program's ordinary way out.
  PostMessageW(GetDlgItem(notice, UpdateDialog_CL::kLaterButtonId), BM_CLICK, 0, 0);
  WaitForWindows(program);
  return rect;
}

// Every control lies inside the frame, and no two of them overlap.
void ExpectNothingCut(const Measured& measured, DWORD dpi) {
  ASSERT_EQ(static_cast<size_t>(kFrameIndex + 1), measured.controls.size()) << dpi;
  const RECT& frame = measured.controls[kFrameIndex];
  for (int i = 0; i < kFrameIndex; ++i) {
    const RECT& control = measured.controls[static_cast<size_t>(i)];
    RECT inside{};
    IntersectRect(&inside, &control, &frame);
    EXPECT_TRUE(EqualRect(&inside, &control)) << dpi << " control " << i;
    for (int j = i + 1; j < kFrameIndex; ++j) {
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &control, &measured.controls[static_cast<size_t>(j)]))
          << dpi << " controls " << i << " and " << j;
    }
  }
}

}  // namespace

TEST(Scaling, ClockNoticeAndSheetPageGrowWithTheDpiAndThePageCutsNothing) {
  const Measured normal = MeasureAt(kNormalDpi);
  const Measured large = MeasureAt(kLargeDpi);
  ASSERT_FALSE(normal.controls.empty() || large.controls.empty()) << "the page was found at both scales";
  ExpectNothingCut(normal, kNormalDpi);
  ExpectNothingCut(large, kLargeDpi);

  // The sheet follows its font, which grows about as the DPI does.
  for (const auto& [normalLength, largeLength] :
       {std::pair<int, int>{Width(normal.sheet), Width(large.sheet)},
        std::pair<int, int>{Height(normal.sheet), Height(large.sheet)},
        std::pair<int, int>{Width(normal.controls.back()), Width(large.controls.back())}}) {
    EXPECT_GE(largeLength * 10, normalLength * 13);
    EXPECT_LE(largeLength * 10, normalLength * 17);
  }
  // The notice is sized in pixels for 96 DPI: half as large again at 144.
  for (const auto& [dpi, width, height] : {std::tuple<DWORD, int, int>{kNormalDpi, 360, 160}, {kLargeDpi, 540, 240}}) {
    const RECT notice = NoticeAt(dpi);
    EXPECT_EQ(width, Width(notice));
    EXPECT_EQ(height, Height(notice));
  }
  // The clock's size and its gap to the corner are set for 96 DPI: half as
  // large again at 144, measured on the screen's ink over every digit. The
  // clock stands in the bottom-right corner of the 1280 x 800 primary
  // screen, 32 pixels up.
  EXPECT_NEAR(Height(normal.clockInk) * 3 / 2, Height(large.clockInk), 2);
  EXPECT_NEAR(32, 800 - normal.clockInk.bottom, 3);
  EXPECT_NEAR(48, 800 - large.clockInk.bottom, 3);
}
