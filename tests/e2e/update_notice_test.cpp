// The real program checking for a new version at a server run by the test.

#include <gtest/gtest.h>

#include <string>

#include "comlib/update_dialog.h"
#include "support/loopback_server.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
// However the server behaves, the clock shows within this time of the start.
constexpr DWORD kClockShownWithinMs = 10000;

// Points the program at the server, as a mirror would.
void UseServer(const LoopbackHttpServer& server) {
  ResetProgramData();
  SetProgramSetting(L"VERSION", L"notify", 0);
  SetProgramSetting(L"VERSION", L"update_url", server.Url());
}

bool ClockShown(DWORD processId) {
  HWND clock = FindClockWindow(processId);
  return clock != nullptr && IsWindowVisible(clock);
}

}  // namespace

TEST(UpdateNoticeProgram, NoticeComesBeforeTheClockAndLaterStoresTheDay) {
  LoopbackHttpServer server;
  server.Answer(HttpResponse("1.1.4.0\r\nhttp://127.0.0.1/download\r\n"));
  UseServer(server);
  // Seen before, and its delay has run out.
  SetProgramSetting(L"VERSION", L"next_version", L"1.1.4.0");
  SetProgramSetting(L"VERSION", L"next_notify", L"00000000:00000001");

  ProgramProcess program;
  ASSERT_TRUE(program.Start());
  HWND notice = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (notice = FindUpdateNotice(program.Id())) != nullptr; }, kStartTimeoutMs));
  EXPECT_EQ(1u, server.RequestLines().size());
  EXPECT_EQ("GET /Horavel/Version.txt HTTP/1.1", server.RequestLines().front());
  EXPECT_FALSE(ClockShown(program.Id())) << "the clock waits for the answer";
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

TEST(UpdateNoticeProgram, SilentServerDelaysTheClockOnlyBriefly) {
  LoopbackHttpServer server;
  server.StaySilent();
  UseServer(server);

  ProgramProcess program;
  ASSERT_TRUE(program.Start());
  EXPECT_TRUE(WaitUntil([&] { return ClockShown(program.Id()); }, kClockShownWithinMs));
  ASSERT_TRUE(WaitUntil([&] { return ClockShown(program.Id()); }, kStartTimeoutMs));
  EXPECT_EQ(1u, server.RequestLines().size());
  EXPECT_EQ(1u, CountOccurrences(ProgramLog(), L"HttpSendRequest()エラー")) << "the failure is logged";
  EXPECT_EQ(L"", ProgramSetting(L"VERSION", L"last_day")) << "the next start tries again";
  program.End();
}
