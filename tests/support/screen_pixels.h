#pragma once
// What the screen shows inside a rectangle, read back as 0xRRGGBB values.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testing_support {

struct ScreenPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // row by row, top first

  std::uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
  size_t Count(std::uint32_t colour) const;
};

ScreenPixels CaptureScreen(const RECT& rect);

}  // namespace testing_support
