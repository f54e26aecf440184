// The program's life as a user meets it: a second start while hidden, the
// ways out, a closed date window, hide_clock, a monitor that is gone, and
// settings files at their worst.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "data/data_test_support.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using namespace testing_support;

namespace {

constexpr DWORD kExitTimeoutMs = 10000;
constexpr wchar_t kNoGdiplusLeftLine[] = L"GDI+終了前のオブジェクト数 = 0";
constexpr wchar_t kIconRemovedLine[] = L"タスクトレイアイコンを削除しました。";

// The clock windows of a process, whatever their title at the moment.
std::vector<HWND> ClockWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* wanted = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner == wanted->processId && std::wstring(name) == L"MainWindowClass") wanted->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The end of the Windows session as Wine brings it: the session-end
// messages to every program with a window, then the end of those programs.
// This test program has no window of its own then.
void EndWindowsSession() {
  wchar_t command[] = L"wineboot.exe --end-session --shutdown";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION wineboot{};
  ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &wineboot));
  EXPECT_TRUE(WaitUntil([&] { return WaitForSingleObject(wineboot.hProcess, 0) == WAIT_OBJECT_0; }, kExitTimeoutMs));
  CloseHandle(wineboot.hThread);
  CloseHandle(wineboot.hProcess);
}

using Lifecycle = ProgramTest;

}  // namespace

TEST_F(Lifecycle, SecondStartWhileHiddenShowsThePaintedClockThroughItsOwnShowPath) {
  SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", 200);  // below Wine's notification area
  ASSERT_NO_FATAL_FAILURE(Start());
  ClickTrayIcon(clock_);
  ASSERT_FALSE(IsWindowVisible(clock_));

  // Another program's window with the same title, hidden and on top.
  HWND stranger = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"Horavel", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  ProgramProcess second;
  ASSERT_TRUE(second.Start());
  ASSERT_TRUE(second.WaitForExit(kExitTimeoutMs));
  EXPECT_EQ(0u, second.ExitCode());
  EXPECT_TRUE(WaitUntil([&] { return Shown(); }, kExitTimeoutMs));
  EXPECT_TRUE(WaitUntil([&] { return ClockFillOnScreen(clock_) > 0; }, kExitTimeoutMs)) << "the clock is painted";
  EXPECT_FALSE(IsWindowVisible(stranger));
  DestroyWindow(stranger);

  // The running copy counts itself shown: the next click hides it.
  ClickTrayIcon(clock_);
  EXPECT_TRUE(Hidden());
}

TEST_F(Lifecycle, EveryWayOutDestroysBothWindowsAndLeavesNoGdiplusObject) {
  // The exit command, the close code sent to either window, and the end of
  // the Windows session, after which the program may be ended at once.
  struct WayOut {
    const char* name;
    void (*leave)(HWND clock, HWND date);
  };
  const WayOut ways[] = {
      {"exit command", [](HWND clock, HWND) { PostMessageW(clock, WM_COMMAND, kCommandExit, 0); }},
      {"close code to the clock", [](HWND clock, HWND) { PostMessageW(clock, WM_CLOSE, kCloseForRealCode, 0); }},
      {"close code to the date", [](HWND, HWND date) { PostMessageW(date, WM_CLOSE, kCloseForRealCode, 0); }},
      {"end of the session", [](HWND, HWND) { EndWindowsSession(); }},
      {"end of the session with the settings open", [](HWND clock, HWND) {
         DWORD processId = 0;
         GetWindowThreadProcessId(clock, &processId);
         ASSERT_NE(nullptr, OpenSettingsSheet(clock, processId));
         EndWindowsSession();
       }}};
  for (const WayOut& way : ways) {
    ResetProgramData();
    ProgramProcess program;
    HWND clock = StartAndWait(program);
    ASSERT_NE(nullptr, clock) << way.name;
    way.leave(clock, FindDateWindow(program.Id()));
    ASSERT_TRUE(program.WaitForExit(kExitTimeoutMs)) << way.name;
    EXPECT_EQ(0u, program.ExitCode()) << way.name;
    const std::wstring log = ProgramLog();
    EXPECT_EQ(1u, CountOccurrences(log, kIconRemovedLine)) << way.name << ": the clock window was destroyed";
    EXPECT_EQ(1u, CountOccurrences(log, kNoGdiplusLeftLine)) << way.name;
  }
}

TEST_F(Lifecycle, APlainCloseOfTheDateWindowOnlyHidesTheProgram) {
  ASSERT_NO_FATAL_FAILURE(Start());
  SendMessageW(date_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(IsWindow(date_));
  EXPECT_TRUE(Hidden());
  ClickTrayIcon(clock_);
  EXPECT_TRUE(Shown());
}

TEST_F(Lifecycle, WithHideClockTheClockWindowNeverShows) {
  SetProgramSetting(L"DATE_DISP", L"hide_clock", 1);
  ProgramProcess program;
  ASSERT_TRUE(program.Start());
  // Watches from the start, well inside any flash of 100 ms.
  std::atomic<bool> watching{true};
  std::atomic<bool> seen{false};
  std::thread watcher([&] {
    while (watching) {
      for (HWND window : ClockWindowsOf(program.Id())) {
        if (IsWindowVisible(window)) seen = true;
      }
      Sleep(1);
    }
  });
  HWND clock = WaitForWindows(program);
  if (clock != nullptr) {
    for (int click = 0; click < 6; ++click) ClickTrayIcon(clock);
    SendMessageW(clock, WM_COMMAND, kCommandHide, 0);
    SendMessageW(clock, WM_COMMAND, kCommandShow, 0);
    SendMessageW(clock, WM_DISPLAYCHANGE, 24, MAKELPARAM(1280, 800));
    SendTicks(clock, 20);
  }
  watching = false;
  watcher.join();
  ASSERT_NE(nullptr, clock);
  EXPECT_FALSE(seen);
  EXPECT_TRUE(IsWindowVisible(FindDateWindow(program.Id())));
}

TEST_F(Lifecycle, AMonitorThatIsGoneIsLoggedOnceOverAMinuteOfChecks) {
  SetProgramSetting(L"CLOCK_DISP", L"display_index", 5);
  ASSERT_NO_FATAL_FAILURE(Start());
  // A minute of heartbeats: seven or eight display checks.
  SendTicks(clock_, 120);
  const std::wstring log = ProgramLog();
  EXPECT_EQ(1u, CountOccurrences(log, L"プライマリディスプレイに表示します。"));
  EXPECT_EQ(0u, CountOccurrences(log, L"ディスプレイ構成変更を検出"));
  const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const RECT rect = WindowRect(clock_);
  EXPECT_TRUE(PtInRect(&primary, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}));
}

TEST_F(Lifecycle, TheNastiestSettingsFilesStillGiveAClockOnTheScreen) {
  if (!data_testing::FontSizesAreRanged()) GTEST_SKIP() << "font sizes are not yet held to a range on load";
  const std::string huge = "99999999999999999999";
  const std::string nastiest[] = {
      // Random bytes.
      std::string("\x8F\x00\xFF\xFE[\xC3\x28=\n\x01\x02", 12),
      // UTF-8 without a byte-order mark, every number out of range.
      "[CLOCK_DISP]\nfont_em_height=" + huge + "\ndisp_offset_x=-" + huge + "\nborder_frame_scale=" + huge +
          "\ndisplay_index=-7\ndisp_index=9\nalpha=-1\n[DATE_DISP]\nfont_em_height=-2147483648\noffset_y=" + huge +
          "\ndate_format=-1\nborder_frame_scale=2147483647\n",
      // Overlong, non-numeric and Unicode values.
      "[CLOCK_DISP]\nfont_family=" + std::string(5000, 'x') + "\nfont_em_height=\xEF\xBC\x91\xEF\xBC\x92" +
          "\nalpha=abc\n[DATE_DISP]\nfont_family=\xE6\x97\xA5\xE6\x9C\xAC\nfont_em_height=0x7FFFFFFF\n",
      // Empty.
      "",
  };
  const RECT screen{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  for (const std::string& contents : nastiest) {
    ResetProgramData();
    WriteBytes(ProgramSettingsPath(), std::vector<unsigned char>(contents.begin(), contents.end()));
    ProgramProcess program;
    HWND clock = StartAndWait(program);
    ASSERT_NE(nullptr, clock) << contents.size() << " bytes";
    RECT meet{};
    const RECT rect = WindowRect(clock);
    EXPECT_TRUE(IntersectRect(&meet, &rect, &screen)) << contents.size() << " bytes";
    program.End();
    EXPECT_EQ(0u, program.ExitCode()) << contents.size() << " bytes";
  }
}
