#include "comlib/control_layout.h"

namespace layout {

std::vector<int> StackColumn(int startY, const std::vector<ColumnItem>& items) {
  std::vector<int> tops;
  tops.reserve(items.size());
  int y = startY;
  for (const ColumnItem& item : items) {
    tops.push_back(y);
    const int step = item.height + kColumnGap;
    y += item.spacer ? step / 2 : step;
  }
  return tops;
}

ButtonPairPlace PlaceButtonPair(const RECT& client, SIZE first, SIZE second) {
  ButtonPairPlace place;
  place.second.x = client.right - kButtonMargin - second.cx;
  place.second.y = client.bottom - kButtonMargin - second.cy;
  place.first.x = place.second.x - kButtonMargin - first.cx;
  place.first.y = place.second.y;
  return place;
}

SIZE GrowExtent(const RECT& group, SIZE extent, const RECT& control) {
  if (group.left + extent.cx < control.right) extent.cx = control.right - group.left;
  if (group.top + extent.cy < control.bottom) extent.cy = control.bottom - group.top;
  return extent;
}

POINT CentreIn(const RECT& over, SIZE size) {
  return POINT{over.left + (over.right - over.left - size.cx) / 2, over.top + (over.bottom - over.top - size.cy) / 2};
}

}  // namespace layout
