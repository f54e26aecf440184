#pragma once
// Layout arithmetic of dialogs and pages, over plain rectangles and sizes.

#include <windows.h>

#include <vector>

namespace layout {

// Controls of a stacked column stand at this x.
constexpr int kColumnX = 8;
// Vertical gap after each control of a column.
constexpr int kColumnGap = 4;
// Gap between the two buttons of a pair and to the client's edges.
constexpr int kButtonMargin = 4;

// One control of a column: its height, and whether it is a half-height spacer.
struct ColumnItem {
  int height = 0;
  bool spacer = false;
};

// The y of each control of a column that starts at startY: each is followed
// by its height and the gap, a spacer by half of that.
std::vector<int> StackColumn(int startY, const std::vector<ColumnItem>& items);

// The top-left corners of two buttons placed at the bottom right of a client
// area, the second in the corner and the first to its left.
struct ButtonPairPlace {
  POINT first{};
  POINT second{};
};
ButtonPairPlace PlaceButtonPair(const RECT& client, SIZE first, SIZE second);

// The extent of a group box, grown so that it reaches the control's right
// and bottom edges; all rectangles in the same coordinates. Never shrinks.
SIZE GrowExtent(const RECT& group, SIZE extent, const RECT& control);

// The top-left corner that centres a rectangle of `size` over `over`.
POINT CentreIn(const RECT& over, SIZE size);

}  // namespace layout
