#include "text/clock_tick.h"

#include <gtest/gtest.h>

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
