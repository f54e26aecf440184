// The program's life as a user meets it: a second start while hidden, the
// ways out, a closed date window, hide_clock, a monitor that is gone, and
// settings files at their worst.

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "comlib/multi_screen.h"
#include "comlib/unique_handle.h"
#include "data/data_test_support.h"
#include "data/monitor_choice.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using namespace testing_support;

namespace {

constexpr DWORD kExitTimeoutMs = 10000;
// Kills at random moments; each takes a start of the program.
constexpr int kKillRuns = 5;
// Between two menu choices: longer than the store gathers changes, so that
// each choice is written while the next is awaited, and a kill can meet a
// write under way.
constexpr DWORD kChoicePauseMs = 300;
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

// The bytes a reader finds in the file, opened as a reader that lets others
// write, rename and delete; a file it cannot open counts as whole.
size_t ReadableSize(const std::wstring& path) {
  const comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr));
  if (!file) return SIZE_MAX;
  std::vector<unsigned char> bytes(1 << 16);
  DWORD read = 0;
  return ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ? read : SIZE_MAX;
}

// When the program wrote this line of its log (local time).
FILETIME LogLineTime(const std::wstring& log, const std::wstring& line) {
  const size_t found = log.find(line);
  const size_t start = found == std::wstring::npos ? 0 : log.rfind(L"\r\n", found);
  SYSTEMTIME time{};
  if (found != std::wstring::npos) {
    swscanf_s(log.c_str() + (start == std::wstring::npos ? 0 : start + 2), L"%hu/%hu/%hu %hu:%hu:%hu.%hu",
              &time.wYear, &time.wMonth, &time.wDay, &time.wHour, &time.wMinute, &time.wSecond,
              &time.wMilliseconds);
  }
  FILETIME stamp{};
  SystemTimeToFileTime(&time, &stamp);
  return stamp;
}

// True when the file was last written no later than `moment` (local time),
// give or take the log's millisecond.
bool WrittenNoLaterThan(const std::wstring& path, const FILETIME& moment) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FILETIME local{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local)) {
    return false;
  }
  constexpr ULONGLONG kOneMillisecond = 10000;
  auto number = [](const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; };
  return number(local) <= number(moment) + kOneMillisecond;
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

TEST_F(Lifecycle, EveryWayOutEvenWithTheSheetOpenPutsSettingsBackFirstAndLeavesNoGdiplusObject) {
  // The exit command, the close code sent to either window, a restart for
  // another desktop and the end of the Windows session (after which the
  // program may be ended at once); each with the settings sheet closed, and
  // open with a change on it that its close must undo.
  struct WayOut {
    const char* name;
    bool toDate;
    UINT message;  // 0: the shell says the clock is on another desktop
    WPARAM wParam;
  };
  const WayOut ways[] = {{"exit command", false, WM_COMMAND, kCommandExit},
                         {"close code to the clock", false, WM_CLOSE, kCloseForRealCode},
                         {"close code to the date", true, WM_CLOSE, kCloseForRealCode},
                         {"restart", false, 0, 0},
                         {"end of the session", false, WM_ENDSESSION, TRUE},
                         {"end of the session, sent", false, WM_QUERYENDSESSION, TRUE}};
  const DesktopAnswers answers;
  for (const WayOut& way : ways) {
    for (const bool sheetOpen : {false, true}) {
      SCOPED_TRACE(std::string(way.name) + (sheetOpen ? ", sheet open" : ""));
      ResetProgramData();
      SetProgramSetting(L"CLOCK_DISP", L"disp_second", 1);
      answers.Write("");
      ProgramProcess program;
      ASSERT_TRUE(program.StartProgram(ScriptedHoravelPath()));
      HWND clock = WaitForWindows(program);
      ASSERT_NE(nullptr, clock);
      const LONG width = WindowRect(clock).right - WindowRect(clock).left;
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel");
      std::vector<unsigned char> fileAtOpen;
      if (sheetOpen) {
        // Once the start's own write (the clock's place) has landed.
        ASSERT_TRUE(WaitUntil([] { return !ProgramSetting(L"WINDOW", L"rect").empty(); }, kExitTimeoutMs));
        fileAtOpen = ReadBytes(ProgramSettingsPath());
        HWND page = ShowPage(program.Id(), OpenSettingsSheet(clock, program.Id()), kClockPage);
        ASSERT_NE(nullptr, page);
        ClickBox(PageControl(page, kSecondsBox));
        ClickBox(PageControl(page, kStartWithWindowsBox));
        ASSERT_EQ(L"0", ProgramSettingOnceWritten(L"CLOCK_DISP", L"disp_second", L"0"));
        ASSERT_NE(L"<none>", RunValue());
      }
      if (way.message == 0) {
        answers.Write("elsewhere");
      } else if (way.message == WM_ENDSESSION) {
        EndWindowsSession();
      } else if (way.message == WM_QUERYENDSESSION) {
        // With no one to end the program after the handler: what runs on then runs.
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(clock, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kExitTimeoutMs, &answer);
        SendMessageTimeoutW(clock, WM_ENDSESSION, way.wParam, 0, SMTO_NORMAL, kExitTimeoutMs, &answer);
      } else {
        PostMessageW(way.toDate ? FindDateWindow(program.Id()) : clock, way.message, way.wParam, 0);
      }
      ASSERT_TRUE(program.WaitForExit(kExitTimeoutMs));
      EXPECT_EQ(0u, program.ExitCode());
      const std::wstring log = ProgramLog();
      EXPECT_EQ(1u, CountOccurrences(log, kIconRemovedLine)) << "the clock window was destroyed";
      EXPECT_EQ(1u, CountOccurrences(log, kNoGdiplusLeftLine));
      // The sheet was closed as by its close box before the clock went,
      // and nothing reached the file after that.
      if (sheetOpen) {
        EXPECT_TRUE(fileAtOpen == ReadBytes(ProgramSettingsPath())) << "the file as when the sheet opened";
        EXPECT_EQ(L"<none>", RunValue());
      }
      EXPECT_TRUE(WrittenNoLaterThan(ProgramSettingsPath(), LogLineTime(log, kIconRemovedLine)));
      if (way.message == 0) {
        // The new copy loaded the settings as they were put back.
        ASSERT_TRUE(WaitUntil([] { return RunningHoravelProcesses().size() == 1; }, kExitTimeoutMs));
        HWND restarted = WaitForWindows(RunningHoravelProcesses().front());
        ASSERT_NE(nullptr, restarted);
        EXPECT_EQ(width, WindowRect(restarted).right - WindowRect(restarted).left);
        EndAllPrograms();
      }
    }
  }
}

TEST_F(Lifecycle, WhileMenuChoicesWriteNoReaderSeesHalfAFileAndAKillCostsNoSettingNorSplitsAGroup) {
  // Every key of both sections, and a section of the user's own.
  std::wstring file;
  for (const wchar_t* section : {L"CLOCK_DISP", L"DATE_DISP"}) {
    file += L"[" + std::wstring(section) + L"]\r\n";
    for (const settings::KeyRange& rule : Settings_CL::LoadRanges(section)) {
      file += std::wstring(rule.key) + L"=" + (rule.ranged ? std::to_wstring(rule.lowest + 1) : L"1") + L"\r\n";
    }
  }
  file += L"[VERSION]\r\nnotify=1\r\n[NOTES]\r\n";
  for (int note = 0; note < 100; ++note) file += L"note" + std::to_wstring(note) + L"=kept as it is\r\n";
  MultiScreen_CL screens;
  screens.Enumerate();
  std::mt19937 random(20261207);
  for (int run = 0; run < kKillRuns; ++run) {
    WriteUtf16(ProgramSettingsPath(), file);
    const size_t whole = ReadBytes(ProgramSettingsPath()).size();
    ProgramProcess program;
    HWND clock = StartAndWait(program);
    ASSERT_NE(nullptr, clock);
    // A choice of a display writes its key and the clock's rectangle, which
    // the choice moved, as one group.
    RECT onDisplay[2] = {};
    for (const int display : {0, 1}) {
      SendMessageW(clock, WM_COMMAND, kCommandFirstDisplay + display, 0);
      onDisplay[display] = WindowRect(clock);
    }
    // The choices come with a hand's pauses, in which the program writes and
    // another program (an editor, a backup) looks at the file; a few writes
    // on, the program dies in the middle of one, while its copy is there.
    const std::wstring copy = ProgramSettingsPath() + L"." + std::to_wstring(program.Id()) + L".tmp";
    const ULONGLONG killFrom = GetTickCount64() + std::uniform_int_distribution<ULONGLONG>(300, 1500)(random);
    int shortReads = 0;
    bool writing = false;
    for (int choice = 0; !writing && GetTickCount64() < killFrom + kExitTimeoutMs; ++choice) {
      SendMessageW(clock, WM_COMMAND, kCommandFirstDisplay + choice % 2, 0);
      for (const ULONGLONG next = GetTickCount64() + kChoicePauseMs; !writing && GetTickCount64() < next;) {
        if (ReadableSize(ProgramSettingsPath()) < whole) ++shortReads;
        writing = GetTickCount64() >= killFrom && FileExists(copy);
      }
    }
    program.Kill();
    EXPECT_TRUE(writing) << "run " << run;
    EXPECT_EQ(0, shortReads) << "run " << run;

    // The chosen display's number and identity, written together.
    const std::wstring chosen = ProgramSetting(L"CLOCK_DISP", L"display_index");
    EXPECT_TRUE(chosen == L"0" || chosen == L"1") << "run " << run;
    EXPECT_EQ(monitor_choice::IdentityTextFor(screens, _wtoi(chosen.c_str())),
              ProgramSetting(L"CLOCK_DISP", L"display_id"))
        << "run " << run;
    for (const IniLine& line : IniLines(file)) {
      if (line.key == L"display_index" || line.key == L"display_id") continue;
      EXPECT_EQ(line.value, ProgramSetting(line.section.c_str(), line.key.c_str()))
          << "run " << run << ": " << line.section << "." << line.key;
    }
    INT32 rect[4] = {};
    ASSERT_TRUE(GetPrivateProfileStructW(L"WINDOW", L"rect", rect, sizeof(rect), ProgramSettingsPath().c_str()))
        << "run " << run;
    const RECT& expected = onDisplay[ProgramSetting(L"CLOCK_DISP", L"display_index") == L"0" ? 0 : 1];
    ExpectSameRect(expected, RECT{rect[0], rect[1], rect[2], rect[3]});
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

namespace {

// Fills the disk that holds the folder to its last byte; returns the filler.
std::wstring FillDisk(const std::wstring& folder) {
  const std::wstring filler = folder + L"\\filler.bin";
  const comlib::UniqueKernelHandle file = comlib::OwnFile(
      CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::vector<unsigned char> block(4096, 0xAA);
  for (size_t size = block.size(); size > 0; size /= 2) {
    DWORD written = 0;
    while (WriteFile(file.get(), block.data(), static_cast<DWORD>(size), &written, nullptr) && written == size) {
    }
  }
  return filler;
}

}  // namespace

// Runs inside tests/store/full_disk_test.sh, which mounts a file system of a
// few pages over the data folder.
TEST_F(Lifecycle, OnAFullDiskAMenuChoiceLeavesTheSettingsFileWholeAndTheClockMoves) {
  if (GetEnvironmentVariableW(L"HORAVEL_FULL_DISK", nullptr, 0) == 0) GTEST_SKIP() << "needs a full disk";
  ULARGE_INTEGER total{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(ProgramDataFolder().c_str(), nullptr, &total, nullptr));
  ASSERT_LT(total.QuadPart, 1024u * 1024u) << "the data folder is not on the small file system";

  // A settings file that fills its page but for a few bytes, and room in the
  // log's page for the program's lines.
  std::wstring file = L"[VERSION]\r\nnotify=1\r\n[CLOCK_DISP]\r\ndisp_index=3\r\nalpha=220\r\n[DATE_DISP]\r\n";
  while (file.size() < 2000) file += L"note" + std::to_wstring(file.size()) + L"=kept\r\n";
  file += L"alpha=203\r\n";
  WriteUtf16(ProgramSettingsPath(), file);
  WriteUtf16(ProgramLogPath(), L"");
  FillDisk(ProgramDataFolder());
  const std::vector<unsigned char> before = ReadBytes(ProgramSettingsPath());

  ASSERT_NO_FATAL_FAILURE(Start());
  const RECT onFirst = WindowRect(clock_);
  // Both screens start at the origin: 1280 x 800 and 1024 x 768.
  SendMessageW(clock_, WM_COMMAND, kCommandFirstDisplay + 1, 0);
  EXPECT_EQ(1024 - 1280, WindowRect(clock_).right - onFirst.right) << "the choice is in effect";
  EXPECT_TRUE(before == ReadBytes(ProgramSettingsPath())) << "the settings file changed";
  program_.End();
  EXPECT_TRUE(before == ReadBytes(ProgramSettingsPath())) << "the settings file changed";
  const std::wstring log = ProgramLog();
  EXPECT_EQ(1u, CountOccurrences(log, L"設定を保存できませんでした")) << "once for the one cause";
  EXPECT_EQ(1u, CountOccurrences(log, kNoGdiplusLeftLine));
}
