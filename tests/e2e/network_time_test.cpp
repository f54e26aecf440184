// The running program with network time on, against a time server the test
// runs on loopback: the drawn second turns with the server's, the mark
// shows when Windows' clock is off by more than a second, a hostile or
// silent server changes nothing and delays nothing, and the icon's tip
// says what happened.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "comlib/sntp_client.h"
#include "comlib/task_tray_icon.h"
#include "comlib/ui_text.h"
#include "data/data_test_support.h"
#include "data/face_measure.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/screen_ticks.h"
#include "support/sntp_server.h"
#include "support/test_support.h"
#include "support/window_checks.h"
#include "text/sync_text.h"

using namespace testing_support;
using namespace screenticks;

namespace {

constexpr DWORD kOutcomeTimeoutMs = 10000;
constexpr DWORD kWatchMs = 6000;

// The icon's tip, read through the clock a character at a time.
std::wstring TrayTip(HWND clock) {
  std::wstring tip;
  for (WPARAM index = 0; index < synctext::kTipLength; ++index) {
    const auto character = static_cast<wchar_t>(SendMessageW(clock, TaskTrayIcon_CL::TipQueryMessage(), index, 0));
    if (character == 0) break;
    tip += character;
  }
  return tip;
}

// The tip the program shows in its language for a status with nothing measured.
std::wstring TipFor(sntp::SyncState state, const std::wstring& server) {
  const UiLanguage language = ChooseUiLanguage(L"auto", GetUserDefaultUILanguage());
  sntp::SyncStatus status;
  status.state = state;
  return synctext::TrayTip(synctext::StatusLine(status, server, language), language);
}

// The text before the first "%s" of the sentence, in the program's language:
// a tip that begins with the program's name and this has measured an offset.
std::wstring SentenceStart(TextId sentence) {
  const std::wstring text = UiText(sentence, ChooseUiLanguage(L"auto", GetUserDefaultUILanguage()));
  return text.substr(0, text.find(L"%s"));
}

// For each second of a clock `offsetMs` ahead of Windows', how long after it
// began the drawn seconds changed.
std::vector<double> LagsBehindSecondsOf(std::vector<ScreenSample> samples, double offsetMs) {
  for (ScreenSample& sample : samples) {
    sample.readFromMs += offsetMs;
    sample.readByMs += offsetMs;
  }
  return SecondLagsMs(samples);
}

// Where the clock at its defaults draws its mark, on the screen.
RECT MarkOnScreen(HWND clock) {
  const data_testing::TestSettings defaults;
  const AreaF mark = layout::CorrectionMark(MeasureClock(defaults.Clock(), dpi::kBaseDpi),
                                            ClockPenWidth(defaults.Clock(), dpi::kBaseDpi));
  const RECT window = WindowRect(clock);
  return RECT{window.left + static_cast<LONG>(mark.x) - 1, window.top + static_cast<LONG>(mark.y) - 1,
              window.left + static_cast<LONG>(mark.Right()) + 2, window.top + static_cast<LONG>(mark.Bottom()) + 2};
}

size_t ClockInkIn(const RECT& rect) {
  const ScreenPixels pixels = CaptureScreen(rect);
  return pixels.Count(kClockFill) + pixels.Count(kClockRise) + pixels.Count(kClockOutline);
}

class NetworkTime : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Away from Wine's own notification area at the top left, and opaque
    // whatever the cursor does.
    SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", 200);
    SetProgramSetting(L"CLOCK_DISP", L"faint_on_hover", 0);
    SetProgramSetting(L"TIME_SYNC", L"use", 1);
    SetProgramSetting(L"TIME_SYNC", L"server", server_.Address());
  }

  // The drawn second keeps to the seconds of a clock `offsetMs` ahead of
  // Windows': within 20 ms on the median, 40 at worst, through one of two
  // watches (a busy machine holds a paint back now and then).
  ::testing::AssertionResult KeepsToSecondsAhead(double offsetMs) {
    ::testing::AssertionResult kept = ::testing::AssertionFailure();
    for (int watch = 0; watch < 2 && !kept; ++watch) {
      const std::vector<double> lags = LagsBehindSecondsOf(WatchClock(clock_, kWatchMs), offsetMs);
      const double worst = lags.empty() ? 1000.0 : *std::max_element(lags.begin(), lags.end());
      kept = lags.size() >= 4 && Median(lags) <= 20.0 && worst <= 40.0
                 ? ::testing::AssertionSuccess()
                 : ::testing::AssertionFailure() << "median " << Median(lags) << " ms, worst " << worst << " ms";
    }
    return kept;
  }

  LoopbackSntpServer server_;
};

}  // namespace

TEST_F(NetworkTime, TheDrawnSecondTurnsWithTheServersAndTheMarkShowsBeyondASecond) {
  struct Row {
    int offsetMs;
    TextId sentence;
    bool mark;
  };
  const Row rows[] = {{400, TextId::kTimeSyncBehind, false}, {-2600, TextId::kTimeSyncAhead, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE("server " + std::to_string(row.offsetMs) + " ms from Windows");
    server_.AnswerTruly(row.offsetMs);
    Start();
    ASSERT_TRUE(WaitUntil([&] { return ClockFillOnScreen(clock_) > 0; }, kOutcomeTimeoutMs));
    const std::wstring expected = UiText(TextId::kTrayTip) + std::wstring(L"\n") + SentenceStart(row.sentence);
    ASSERT_TRUE(WaitUntil([&] { return TrayTip(clock_).rfind(expected, 0) == 0; }, kOutcomeTimeoutMs))
        << "tip: " << ::testing::PrintToString(TrayTip(clock_));
    EXPECT_NE(std::wstring::npos, TrayTip(clock_).find(server_.Address()));
    EXPECT_TRUE(KeepsToSecondsAhead(row.offsetMs));
    EXPECT_EQ(row.mark, ClockInkIn(MarkOnScreen(clock_)) > 20) << ClockInkIn(MarkOnScreen(clock_));
    program_.End();
  }
}

TEST_F(NetworkTime, HostileAndSilentServersLeaveWindowsTimeAndDelayNothing) {
  struct Row {
    const char* what;
    void (*serve)(LoopbackSntpServer&);
    sntp::SyncState outcome;
  };
  const Row rows[] = {
      {"silent", [](LoopbackSntpServer& s) { s.StaySilent(); }, sntp::SyncState::kUnreachable},
      {"forged", [](LoopbackSntpServer& s) { s.AnswerForged(); }, sntp::SyncState::kUnreachable},
      {"kiss-o'-death", [](LoopbackSntpServer& s) { s.AnswerKiss("DENY"); }, sntp::SyncState::kRefused},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.serve(server_);
    Start();
    // Up while the first answer is still awaited (for kAnswerDeadlineMs).
    if (row.outcome == sntp::SyncState::kUnreachable) {
      EXPECT_EQ(TipFor(sntp::SyncState::kNoAnswerYet, server_.Address()), TrayTip(clock_));
    }
    const std::wstring told = TipFor(row.outcome, server_.Address());
    EXPECT_TRUE(WaitUntil([&] { return TrayTip(clock_) == told; }, kOutcomeTimeoutMs))
        << ::testing::PrintToString(TrayTip(clock_));
    ASSERT_TRUE(WaitUntil([&] { return ClockFillOnScreen(clock_) > 0; }, kOutcomeTimeoutMs));
    EXPECT_TRUE(KeepsToSecondsAhead(0.0));
    EXPECT_EQ(0u, ClockInkIn(MarkOnScreen(clock_)));
    program_.End();
  }
}
