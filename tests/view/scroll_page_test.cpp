#include "view/scroll_page.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

namespace {

TEST(ScrollPage, BarRequestsMoveWithinTheContentThatDoesNotFit) {
  EXPECT_EQ(300, scrolling::ScrollMax(700, 400));
  EXPECT_EQ(0, scrolling::ScrollMax(400, 700));

  constexpr int kLine = 13;
  constexpr int kPage = 400;
  constexpr int kMax = 300;
  struct Case {
    int request;
    int position;
    bool topAndBottom;
    bool trackKnown;
    int expected;
  };
  const Case cases[] = {
      {SB_LINEUP, 100, true, true, 87},
      {SB_LINEUP, 5, true, true, 0},
      {SB_LINEDOWN, 100, true, true, 113},
      {SB_LINEDOWN, 295, true, true, kMax},
      {SB_PAGEUP, 250, true, true, 0},
      {SB_PAGEDOWN, 10, true, true, kMax},
      {SB_THUMBTRACK, 10, true, true, 222},
      {SB_THUMBPOSITION, 10, true, false, 10},
      {SB_TOP, 120, true, true, 0},
      {SB_BOTTOM, 120, true, true, kMax},
      // Where top and bottom are not scroll requests, they leave the panel be.
      {SB_TOP, 120, false, true, 120},
      {SB_BOTTOM, 120, false, true, 120},
      {SB_ENDSCROLL, 120, true, true, 120},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected,
              scrolling::ScrollBarTarget(c.request, c.position, kLine, kPage, kMax, c.topAndBottom, 222, c.trackKnown))
        << c.request << " from " << c.position;
  }
  // Nothing to scroll: every request stays at the top.
  EXPECT_EQ(0, scrolling::ScrollBarTarget(SB_PAGEDOWN, 0, kLine, kPage, 0, true, 0, true));
}

TEST(ScrollPage, OneWheelNotchMovesThreeLinesWhateverItsSize) {
  for (int delta : {WHEEL_DELTA, 3 * WHEEL_DELTA, 1}) {
    EXPECT_EQ(100 - 39, scrolling::WheelTarget(delta, 100, 13, 300)) << delta;
    EXPECT_EQ(100 + 39, scrolling::WheelTarget(-delta, 100, 13, 300)) << delta;
  }
  EXPECT_EQ(0, scrolling::WheelTarget(WHEEL_DELTA, 20, 13, 300));
  EXPECT_EQ(300, scrolling::WheelTarget(-WHEEL_DELTA, 290, 13, 300));
}

TEST(ScrollPage, TransparencyBarShowsAnyStoredAlphaWithinItsRange) {
  const std::pair<int, int> cases[] = {{220, 35}, {255, 0}, {0, 255}, {-1, 255}, {INT_MIN, 255}, {INT_MAX, 0}};
  for (const auto& [alpha, transparency] : cases) {
    EXPECT_EQ(transparency, dispsetting::TransparencyFromAlpha(alpha)) << alpha;
  }
}

}  // namespace
