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

// The clock's default colours on the screen: fill, rising fill, outline.
constexpr std::uint32_t kClockFill = 0x00FA00;
constexpr std::uint32_t kClockRise = 0x00C800;
constexpr std::uint32_t kClockOutline = 0xFEFEFE;

// How many pixels inside the clock's window show its fill colours.
size_t ClockFillOnScreen(HWND clock);

// The clock's ink (pixels in its default colours) inside its window, in
// screen coordinates; empty when there is none.
RECT ScreenInk(HWND clock);

// The ink the clock took over ten seconds, in which the last digit of the
// seconds has been every digit: the edges the clock is placed by.
RECT ScreenInkOverTenSeconds(HWND clock);

}  // namespace testing_support
