#include "text/clock_tick.h"

#include <gtest/gtest.h>

TEST(ClockTick, EachTickWaitsForItsHalfSecondAndArmsTheNextJustPastTheFollowingOne) {
  struct Case {
    UINT msIntoSecond;
    UINT earlyBy;
    UINT delay;
    bool colonsBlank;
  };
  const Case cases[] = {
      {0, 0, 501, false},   {1, 0, 500, false},  {250, 0, 251, false}, {469, 0, 32, false},
      {470, 30, 31, false}, {499, 1, 2, false},  {500, 0, 501, true},  {517, 0, 484, true},
      {969, 0, 32, true},   {970, 30, 31, true}, {999, 1, 2, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.earlyBy, clocktick::EarlyByMs(c.msIntoSecond)) << c.msIntoSecond;
    EXPECT_EQ(c.delay, clocktick::DelayToNextTickMs(c.msIntoSecond)) << c.msIntoSecond;
    EXPECT_EQ(c.colonsBlank, clocktick::BlinkPhaseAt(c.msIntoSecond)) << c.msIntoSecond;
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
