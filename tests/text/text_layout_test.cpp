#include "text/text_layout.h"

#include <gtest/gtest.h>

namespace {

layout::Ink InkOf(AreaF fill, float reach) {
  return layout::Ink{fill, AreaF{fill.x - reach, fill.y - reach, fill.width + 2 * reach, fill.height + 2 * reach}};
}

// Samples of a font whose colon sits close to the digit before it and far
// from the one after it, and whose outline reaches further round the colon.
layout::ClockSamples Samples(float digitReach, float colonReach) {
  layout::ClockSamples samples;
  samples.single = InkOf(AreaF{5.0f, 20.0f, 60.0f, 90.0f}, digitReach);
  samples.pair = InkOf(AreaF{5.0f, 20.0f, 132.0f, 90.0f}, digitReach);
  samples.colon = InkOf(AreaF{2.0f, 45.0f, 18.0f, 65.0f}, colonReach);
  samples.spaced = InkOf(AreaF{5.0f, 20.0f, 160.0f, 90.0f}, digitReach);
  return samples;
}

}  // namespace

TEST(ClockLayout, OutlinedGapsBesideEachColonAreEqualAndTheInkClearOfTheEdges) {
  for (const float pen : {0.0f, 3.0f, 10.0f}) {
    for (const bool seconds : {true, false}) {
      const layout::ClockSamples samples = Samples(pen / 2, pen);
      const layout::ClockLayout clock = layout::ComputeClockLayout(samples, pen, 128.0f, seconds);
      // Outlined ink edges of each part in window coordinates.
      auto left = [&](int part, const layout::Ink& ink) { return clock.parts[part].x + ink.outlined.x; };
      auto right = [&](int part, const layout::Ink& ink) { return clock.parts[part].x + ink.outlined.Right(); };
      const int colons = seconds ? 2 : 1;
      for (int colon = 0; colon < colons; ++colon) {
        const int colonPart = colon == 0 ? kFirstColonPart : kSecondColonPart;
        const float before = left(colonPart, samples.colon) - right(colonPart - 1, samples.pair);
        const float after = left(colonPart + 1, samples.pair) - right(colonPart, samples.colon);
        EXPECT_NEAR(before, after, 0.01f) << "pen " << pen << " colon " << colon;
        EXPECT_GE(before, 2.0f) << "pen " << pen;
      }
      // The seconds stand further apart than the minutes.
      if (seconds) {
        EXPECT_GT(clock.parts[kSecondPart].x - clock.parts[kMinutePart].x,
                  clock.parts[kMinutePart].x - clock.parts[kHourPart].x + 1.0f);
      }
      // The ink box holds the outlined samples; the window holds the box
      // with a margin, and more room right and below that puts its centre
      // below and right of the digits' middle.
      const int last = seconds ? kSecondPart : kMinutePart;
      EXPECT_FLOAT_EQ(clock.ink.x, left(kHourPart, samples.pair));
      EXPECT_FLOAT_EQ(clock.ink.Right(), right(last, samples.pair));
      EXPECT_FLOAT_EQ(clock.ink.y, clock.parts[kHourPart].y + samples.pair.outlined.y);
      EXPECT_GT(clock.window.cx - clock.ink.Right(), clock.ink.x + 20.0f);
      EXPECT_GT(clock.window.cy - clock.ink.Bottom(), clock.ink.y + 20.0f);
      EXPECT_GT(clock.ink.x, pen);
      // One digit's advance: where the second "8" of "88" ends past the first.
      EXPECT_FLOAT_EQ(72.0f, clock.digitAdvance);
      // The band lies just outside the digits' fill.
      EXPECT_LT(clock.bandTop, clock.parts[kHourPart].y + samples.pair.fill.y);
      EXPECT_GT(clock.bandBottom, clock.parts[kHourPart].y + samples.pair.fill.Bottom());
    }
  }
}

TEST(ClockLayout, RisingFillGoesFromBelowTheBandToItsTop) {
  EXPECT_FLOAT_EQ(98.0f, layout::RisingFillTop(12, 98, 0));
  EXPECT_FLOAT_EQ(98.0f - 86.0f * 30.0f / 59.0f, layout::RisingFillTop(12, 98, 30));
  EXPECT_FLOAT_EQ(12.0f, layout::RisingFillTop(12, 98, 59));
  EXPECT_FLOAT_EQ(12.0f, layout::RisingFillTop(12, 98, 60));
  EXPECT_FLOAT_EQ(98.0f, layout::RisingFillTop(12, 98, -1));
}

TEST(ClockLayout, PenWidthFollowsSizeAndScale) {
  EXPECT_FLOAT_EQ(128.0f * 6.0f / 255.0f, layout::PenWidth(128, 6));
  EXPECT_FLOAT_EQ(20.0f, layout::PenWidth(255, 20));
  EXPECT_EQ(0.0f, layout::PenWidth(128, 0));
  EXPECT_EQ(0.0f, layout::PenWidth(128, -3));
  EXPECT_EQ(0.0f, layout::PenWidth(-40, 6));
}

TEST(DateLayout, TheTextsInkIsCentredInItsWindow) {
  const SIZE window = layout::DateWindowSize(AreaF{3.0f, 10.0f, 200.0f, 50.0f}, 4.0f, 56.0f);
  EXPECT_GT(window.cx, 200 + 4);
  EXPECT_GT(window.cy, 50 + 4);
  for (const AreaF& ink : {AreaF{3.0f, 10.0f, 200.0f, 50.0f}, AreaF{-7.5f, 2.0f, 150.0f, 44.0f}}) {
    const layout::OriginF origin = layout::CentredOrigin(ink, window);
    EXPECT_FLOAT_EQ(window.cx / 2.0f, origin.x + ink.x + ink.width / 2);
    EXPECT_FLOAT_EQ(window.cy / 2.0f, origin.y + ink.y + ink.height / 2);
  }
}
