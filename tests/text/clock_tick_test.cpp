#include "text/clock_tick.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/test_support.h"
#include "text/corrected_time.h"

TEST(ClockTick, EachTickWaitsForItsHalfSecondAndOnlyAStrayOneArmsTheNextJustPastTheFollowingOne) {
  struct Case {
    UINT msIntoSecond;
    UINT earlyBy;
    UINT delay;
    bool colonsBlank;
    bool onTime;  // the timer need not be armed again
  };
  const Case cases[] = {
      {0, 0, 501, false, true},   {1, 0, 500, false, true},   {250, 0, 251, false, false},
      {469, 0, 32, false, false}, {470, 30, 31, false, false}, {499, 1, 2, false, false},
      {500, 0, 501, true, true},  {515, 0, 486, true, true},  {517, 0, 484, true, false},
      {969, 0, 32, true, false},  {970, 30, 31, true, false}, {999, 1, 2, true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.earlyBy, clocktick::EarlyByMs(c.msIntoSecond)) << c.msIntoSecond;
    EXPECT_EQ(c.delay, clocktick::DelayToNextTickMs(c.msIntoSecond)) << c.msIntoSecond;
    EXPECT_EQ(c.colonsBlank, clocktick::BlinkPhaseAt(c.msIntoSecond)) << c.msIntoSecond;
    EXPECT_EQ(c.onTime, clocktick::IsOnTime(c.msIntoSecond)) << c.msIntoSecond;
  }
  // Wherever a tick comes, after its wait the next one is due 1 ms past a
  // half second, never two within one half second.
  for (UINT ms = 0; ms < 1000; ++ms) {
    const UINT start = ms + clocktick::EarlyByMs(ms);
    const UINT next = start + clocktick::DelayToNextTickMs(start % 1000);
    EXPECT_EQ(1u, next % 500) << ms;
    EXPECT_EQ(start / 500 + 1, next / 500) << ms;
  }
}

TEST(CorrectedTime, TheOffsetMovesTheTimeAcrossDaysAndYearsAndTheMarkShowsBeyondASecond) {
  constexpr correctedtime::Ticks kMs = 10000;
  const auto MakeTime = [](WORD year, WORD month, WORD day, WORD dayOfWeek, WORD hour, WORD minute, WORD second,
                           WORD ms) {
    SYSTEMTIME time = testing_support::MakeTime(year, month, day, dayOfWeek, hour, minute, second);
    time.wMilliseconds = ms;
    return time;
  };
  struct Row {
    SYSTEMTIME windows;
    correctedtime::Ticks offset;
    SYSTEMTIME shown;
    bool mark;
  };
  const Row rows[] = {
      {MakeTime(2024, 3, 5, 2, 12, 0, 0, 600), 400 * kMs, MakeTime(2024, 3, 5, 2, 12, 0, 1, 0), false},
      {MakeTime(2024, 3, 5, 2, 12, 0, 0, 600), -1000 * kMs, MakeTime(2024, 3, 5, 2, 11, 59, 59, 600), false},
      {MakeTime(2024, 3, 5, 2, 12, 0, 0, 600), 1000 * kMs + 1, MakeTime(2024, 3, 5, 2, 12, 0, 1, 600), true},
      {MakeTime(2023, 12, 31, 0, 23, 59, 58, 0), 2300 * kMs, MakeTime(2024, 1, 1, 1, 0, 0, 0, 300), true},
      {MakeTime(2024, 3, 1, 5, 0, 0, 1, 0), -2 * 1000 * kMs, MakeTime(2024, 2, 29, 4, 23, 59, 59, 0), true},
      {MakeTime(2024, 3, 5, 2, 12, 0, 0, 0), 0, MakeTime(2024, 3, 5, 2, 12, 0, 0, 0), false},
      // Before the first moment a FILETIME holds, nothing moves.
      {MakeTime(1601, 1, 1, 1, 0, 0, 0, 0), -1, MakeTime(1601, 1, 1, 1, 0, 0, 0, 0), false},
  };
  for (const Row& row : rows) {
    const SYSTEMTIME shown = correctedtime::Shifted(row.windows, row.offset);
    EXPECT_EQ(0, std::memcmp(&row.shown, &shown, sizeof(shown)))
        << row.offset << ": " << shown.wDay << " " << shown.wHour << ":" << shown.wMinute << ":" << shown.wSecond
        << "." << shown.wMilliseconds;
    EXPECT_EQ(row.mark, correctedtime::ShowsMark(row.offset)) << row.offset;
    EXPECT_EQ(row.mark, correctedtime::ShowsMark(-row.offset)) << row.offset;
  }
  // The tick keeps to the corrected second: 400 ms ahead, Windows' 600 ms
  // into its second is the start of the next.
  const SYSTEMTIME tick = correctedtime::Shifted(MakeTime(2024, 3, 5, 2, 12, 0, 0, 600), 400 * kMs);
  EXPECT_TRUE(clocktick::IsOnTime(tick.wMilliseconds));
  EXPECT_EQ(0u, clocktick::EarlyByMs(tick.wMilliseconds));
}
