#include "comlib/control_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlLayout, ColumnStepsByHeightPlusGapAndHalfThatAfterASpacer) {
  struct Case {
    int startY;
    std::vector<layout::ColumnItem> items;
    std::vector<int> tops;
  };
  const Case cases[] = {
      {10, {{20, false}, {13, true}, {20, false}}, {10, 34, 42}},
      {0, {{13, true}, {13, true}, {7, false}}, {0, 8, 16}},
      // An odd height plus the gap halves downwards.
      {5, {{14, true}, {1, false}}, {5, 14}},
      {3, {}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.tops, layout::StackColumn(c.startY, c.items));
}

TEST(ControlLayout, ButtonPairSitsInTheBottomRightCornerFourPixelsApart) {
  const layout::ButtonPairPlace place = layout::PlaceButtonPair(RECT{0, 0, 300, 200}, SIZE{60, 24}, SIZE{80, 30});
  EXPECT_EQ(300 - 4 - 80, place.second.x);
  EXPECT_EQ(200 - 4 - 30, place.second.y);
  EXPECT_EQ(place.second.x - 4 - 60, place.first.x);
  EXPECT_EQ(place.second.y, place.first.y);
}

TEST(ControlLayout, GroupExtentOnlyGrows) {
  const RECT group{10, 20, 110, 60};
  struct Case {
    SIZE extent;
    RECT control;
    SIZE grown;
  };
  const Case cases[] = {
      {{0, 0}, {15, 25, 80, 40}, {70, 20}},
      // Already reaching beyond the control on both axes: unchanged.
      {{200, 90}, {15, 25, 80, 40}, {200, 90}},
      // Beyond on one axis only.
      {{50, 90}, {15, 25, 80, 140}, {70, 120}},
      // A control left of and above the group grows nothing.
      {{5, 5}, {0, 0, 8, 12}, {5, 5}},
  };
  for (const Case& c : cases) {
    const SIZE grown = layout::GrowExtent(group, c.extent, c.control);
    EXPECT_EQ(c.grown.cx, grown.cx);
    EXPECT_EQ(c.grown.cy, grown.cy);
  }
}

TEST(ControlLayout, CentreInPutsEqualMarginsOnBothSides) {
  const POINT topLeft = layout::CentreIn(RECT{100, 50, 1380, 850}, SIZE{400, 300});
  EXPECT_EQ(100 + 440, topLeft.x);
  EXPECT_EQ(50 + 250, topLeft.y);
  // Larger than the area: the margins go negative evenly.
  const POINT over = layout::CentreIn(RECT{0, 0, 100, 100}, SIZE{140, 100});
  EXPECT_EQ(-20, over.x);
  EXPECT_EQ(0, over.y);
}

}  // namespace
