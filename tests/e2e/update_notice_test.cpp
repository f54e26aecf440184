// The real program checking for a new version at a server run by the test.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "comlib/ini_text.h"
#include "comlib/update_check.h"
#include "comlib/update_dialog.h"
#include "product.h"
#include "support/loopback_server.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
// However the server behaves, the clock is drawn within this time of the start.
constexpr ULONGLONG kClockDrawnWithinMs = 6000;
// A message sent to the clock while its check waits is answered within this.
constexpr UINT kAnswerWithinMs = 1000;

// The clock window of a program still inside its creation: it carries its
// title only once the update check is done.
HWND FindCreatingClock(DWORD processId) {
  const std::vector<HWND> found = FindTopLevelWindows(L"WindowName", processId, L"MainWindowClass");
  return found.empty() ? nullptr : found.front();
}

// Points the program at the address, as a mirror would.
void UseServer(const std::wstring& url) {
  ResetProgramData();
  SetProgramSetting(L"VERSION", L"notify", 0);
  SetProgramSetting(L"VERSION", L"update_url", url);
}

bool ClockShown(DWORD processId) {
  HWND clock = FindClockWindow(processId);
  return clock != nullptr && IsWindowVisible(clock);
}

// Starts the copy whose freed memory is filled against a server that offers
// a newer version (seen before, its delay run out), the last bytes a second
// apart; returns the clock while its check waits for them.
HWND StartWaitingForNotice(LoopbackHttpServer& server, ProgramProcess& program) {
  const std::string response = HttpResponse("1.1.4.0\r\nhttp://127.0.0.1/download\r\n");
  server.Trickle(response, response.size() - 2);
  UseServer(server.Url());
  SetProgramSetting(L"VERSION", L"next_version", L"1.1.4.0");
  SetProgramSetting(L"VERSION", L"next_notify", L"00000000:00000001");
  HWND waiting = nullptr;
  if (!program.StartProgram(ScriptedHoravelPath())) return nullptr;
  WaitUntil([&] { return (waiting = FindCreatingClock(program.Id())) != nullptr; }, kStartTimeoutMs);
  return waiting;
}

}  // namespace

TEST(UpdateNoticeProgram, NoticeComesBeforeTheClockAndLaterStoresTheDay) {
  LoopbackHttpServer server;
  ProgramProcess program;
  HWND waiting = StartWaitingForNotice(server, program);
  ASSERT_NE(nullptr, waiting);
  // A display change and a resume meanwhile show nothing yet.
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(waiting, WM_DISPLAYCHANGE, 24, 0, SMTO_NORMAL, kAnswerWithinMs, &answer);
  SendMessageTimeoutW(waiting, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, SMTO_NORMAL, kAnswerWithinMs, &answer);
  HWND notice = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (notice = FindUpdateNotice(program.Id())) != nullptr; }, kStartTimeoutMs));
  EXPECT_EQ(1u, server.RequestLines().size());
  EXPECT_EQ("GET /Horavel/Version.txt HTTP/1.1", server.RequestLines().front());
  EXPECT_FALSE(IsWindowVisible(waiting)) << "the clock waits for the answer";
  EXPECT_EQ(nullptr, FindDateWindow(program.Id()));
  EXPECT_EQ(L"", ProgramSetting(L"VERSION", L"last_day"));

  HWND later = GetDlgItem(notice, UpdateDialog_CL::kLaterButtonId);
  wchar_t text[32] = {};
  GetWindowTextW(later, text, 32);
  EXPECT_EQ(L"後日通知する\x3000", std::wstring(text));
  PostMessageW(later, BM_CLICK, 0, 0);

  ASSERT_TRUE(WaitUntil([&] { return ClockShown(program.Id()); }, kStartTimeoutMs));
  SYSTEMTIME now{};
  GetLocalTime(&now);
  EXPECT_EQ(std::to_wstring(now.wDay), ProgramSetting(L"VERSION", L"last_day"));
  EXPECT_EQ(nullptr, FindUpdateNotice(program.Id()));
  program.End();
  EXPECT_EQ(0u, program.ExitCode());
}

TEST(UpdateNoticeProgram, ASessionEndWhileTheCheckWaitsEndsTheProgramThereStoringNothing) {
  LoopbackHttpServer server;
  ProgramProcess program;
  HWND waiting = StartWaitingForNotice(server, program);
  ASSERT_NE(nullptr, waiting);
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(waiting, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kAnswerWithinMs, &answer);
  SendMessageTimeoutW(waiting, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, kAnswerWithinMs, &answer);
  ASSERT_TRUE(program.WaitForExit(kStartTimeoutMs));
  EXPECT_EQ(0u, program.ExitCode());
  EXPECT_EQ(0u, CountOccurrences(ProgramLog(), L"タスクトレイへアイコンを追加しました。")) << "the start-up went on";
  EXPECT_EQ(L"", ProgramSetting(L"VERSION", L"failed_date")) << "no check failed";
}

TEST(UpdateNoticeProgram, ClockIsDrawnWithinSixSecondsWhateverTheServerDoesAndNoOtherStartThatDayWaits) {
  const std::string file = HttpResponse("1.1.4.0\r\nhttp://127.0.0.1/download/0123456789\r\n");
  const std::string redirectLoop =
      "HTTP/1.1 302 Found\r\nLocation: /Horavel/Version.txt\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  const wchar_t kTimedOut[] = L"バージョンの確認が4秒以内に終わらない";
  struct Case {
    const char* name;
    std::function<void(LoopbackHttpServer&)> serve;
    bool closedPort;
    size_t requests;
    const wchar_t* logged;
  };
  const Case cases[] = {
      {"body trickled after its length", [&](auto& server) { server.Trickle(file, file.find("1.1.4.0")); }, false,
       1, kTimedOut},
      {"headers trickled", [&](auto& server) { server.Trickle(file, 0); }, false, 1, kTimedOut},
      {"silent", [](auto& server) { server.StaySilent(); }, false, 1, L"HttpSendRequest()エラー"},
      {"closed port", [](auto&) {}, true, 0, L"HttpSendRequest()エラー"},
      {"redirect loop", [&](auto& server) { server.Answer(redirectLoop); }, false, 6, L"リダイレクトが5回を超えた"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    LoopbackHttpServer server;
    test.serve(server);
    UseServer(test.closedPort ? L"http://127.0.0.1:" + std::to_wstring(ClosedLoopbackPort()) + L"/v.txt"
                              : server.Url());
    ProgramProcess program;
    const ULONGLONG started = GetTickCount64();
    ASSERT_TRUE(program.Start());
    if (test.requests == 1) {
      // While the check waits on the server, the clock still answers what
      // other programs send it, as a broadcast to every window would.
      HWND waiting = nullptr;
      ASSERT_TRUE(WaitUntil([&] { return (waiting = FindCreatingClock(program.Id())) != nullptr; }, kStartTimeoutMs));
      DWORD_PTR answer = 0;
      EXPECT_NE(0, SendMessageTimeoutW(waiting, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerWithinMs, &answer));
      EXPECT_FALSE(IsWindowVisible(waiting)) << "answered while the check still waited";
    }
    ASSERT_TRUE(WaitUntil(
        [&] {
          HWND clock = FindClockWindow(program.Id());
          return clock != nullptr && IsWindowVisible(clock) && ClockFillOnScreen(clock) > 0;
        },
        kStartTimeoutMs));
    EXPECT_LE(GetTickCount64() - started, kClockDrawnWithinMs);
    EXPECT_EQ(test.requests, server.RequestLines().size());
    EXPECT_EQ(1u, CountOccurrences(ProgramLog(), test.logged));
    EXPECT_EQ(L"", ProgramSetting(L"VERSION", L"last_day")) << "a later start tries again";
    EXPECT_NE(L"", ProgramSetting(L"VERSION", L"failed_time"));
    // Runs on and ends at once, though the server may still hold a request.
    EXPECT_TRUE(program.IsRunning());
    program.End();
    EXPECT_EQ(0u, program.ExitCode());
    // Another start soon after (the restart after a move to another virtual
    // desktop, or the user's) asks nothing and waits for nothing.
    ASSERT_NE(nullptr, StartAndWait(program));
    EXPECT_EQ(test.requests, server.RequestLines().size());
    EXPECT_EQ(1u, CountOccurrences(ProgramLog(), test.logged));
    program.End();
    // One a few hours later asks again, once.
    const std::int64_t hoursAgo = _time64(nullptr) - update::kRetryAfterFailureSeconds;
    SetProgramSetting(L"VERSION", L"failed_time", inistore::FormatHex64(static_cast<std::uint64_t>(hoursAgo)));
    ASSERT_NE(nullptr, StartAndWait(program));
    EXPECT_EQ(2 * test.requests, server.RequestLines().size());
    EXPECT_EQ(2u, CountOccurrences(ProgramLog(), test.logged));
    program.End();
  }
}

TEST(UpdateNoticeProgram, TheMakersVersionFileIsFetchedOverTls) {
  EXPECT_EQ(0u, product::VersionFileUrl().rfind(L"https://", 0)) << "and so only the maker's server can answer";
}
