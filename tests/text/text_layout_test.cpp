#include "text/text_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

layout::Ink InkOf(AreaF fill, float reach) {
  return layout::Ink{fill, AreaF{fill.x - reach, fill.y - reach, fill.width + 2 * reach, fill.height + 2 * reach}};
}

// Samples of a font whose colon sits close to the digit before it and far
// from the one after it, whose outline reaches further round the colon, and
// one of whose digits reaches past the "8"s on every side.
layout::ClockSamples Samples(float digitReach, float colonReach) {
  layout::ClockSamples samples;
  samples.digits = InkOf(AreaF{-4.0f, 17.0f, 145.0f, 96.0f}, digitReach);
  samples.single = InkOf(AreaF{5.0f, 20.0f, 60.0f, 90.0f}, digitReach);
  samples.pair = InkOf(AreaF{5.0f, 20.0f, 132.0f, 90.0f}, digitReach);
  samples.colon = InkOf(AreaF{2.0f, 45.0f, 18.0f, 65.0f}, colonReach);
  samples.spaced = InkOf(AreaF{5.0f, 20.0f, 160.0f, 90.0f}, digitReach);
  return samples;
}

}  // namespace

TEST(ClockLayout, OutlinedGapsBesideEachColonAreEqualAndTheEdgesHoldEveryDigit) {
  for (const float pen : {0.0f, 3.0f, 10.0f}) {
    const layout::ClockSamples samples = Samples(pen / 2, pen);
    const layout::ClockLayout clock = layout::ComputeClockLayout(samples, pen, 128.0f, true);
    // Outlined ink edges of each part in window coordinates.
    auto left = [&](int part, const layout::Ink& ink) { return clock.parts[part].x + ink.outlined.x; };
    auto right = [&](int part, const layout::Ink& ink) { return clock.parts[part].x + ink.outlined.Right(); };
    for (const int colon : {kFirstColonPart, kSecondColonPart}) {
      const float before = left(colon, samples.colon) - right(colon - 1, samples.pair);
      const float after = left(colon + 1, samples.pair) - right(colon, samples.colon);
      EXPECT_NEAR(before, after, 0.01f) << "pen " << pen << " colon " << colon;
      EXPECT_GE(before, 2.0f) << "pen " << pen;
    }
    EXPECT_FLOAT_EQ(clock.ink.x, left(kHourPart, samples.digits));
    EXPECT_FLOAT_EQ(clock.ink.Right(), right(kSecondPart, samples.digits));
    EXPECT_FLOAT_EQ(clock.ink.y, clock.parts[kHourPart].y + samples.digits.outlined.y);
    EXPECT_FLOAT_EQ(clock.ink.Bottom(), clock.parts[kHourPart].y + std::max(samples.digits.outlined.Bottom(),
                                                                            samples.colon.outlined.Bottom()));
    EXPECT_GT(clock.ink.x, pen);
    EXPECT_GT(clock.window.cx, clock.ink.Right() + clock.ink.x);
    EXPECT_GT(clock.window.cy, clock.ink.Bottom() + clock.ink.y);
    // The mark of a corrected time, outline and all, stands clear of the
    // digits and inside the window, level with the digits' tops.
    const AreaF mark = layout::CorrectionMark(clock, pen);
    EXPECT_GT(mark.width, 4.0f) << "pen " << pen;
    EXPECT_GT(mark.x - pen / 2, clock.ink.Right()) << "pen " << pen;
    EXPECT_LE(mark.Right() + pen / 2, static_cast<float>(clock.window.cx)) << "pen " << pen;
    EXPECT_NEAR(mark.y - pen / 2, static_cast<float>(clock.bandTop), 1.0f) << "pen " << pen;
    // A window with no room right of the ink has no mark.
    layout::ClockLayout cramped = clock;
    cramped.window.cx = static_cast<LONG>(clock.ink.Right() + pen);
    EXPECT_EQ(0.0f, layout::CorrectionMark(cramped, pen).width) << "pen " << pen;
  }
}

TEST(ClockLayout, PenWidthFollowsSizeAndScale) {
  EXPECT_FLOAT_EQ(128.0f * 6.0f / 255.0f, layout::PenWidth(128, 6));
  EXPECT_FLOAT_EQ(20.0f, layout::PenWidth(255, 20));
  EXPECT_EQ(0.0f, layout::PenWidth(128, 0));
  EXPECT_EQ(0.0f, layout::PenWidth(128, -3));
  EXPECT_EQ(0.0f, layout::PenWidth(-40, 6));
}
