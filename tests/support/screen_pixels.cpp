#include "support/screen_pixels.h"

#include <algorithm>

#include "comlib/back_buffer.h"
#include "comlib/unique_handle.h"

namespace testing_support {

size_t ScreenPixels::Count(std::uint32_t colour) const {
  return static_cast<size_t>(std::count(rgb.begin(), rgb.end(), colour));
}

ScreenPixels CaptureScreen(const RECT& rect) {
  ScreenPixels pixels;
  pixels.width = rect.right - rect.left;
  pixels.height = rect.bottom - rect.top;
  if (pixels.width <= 0 || pixels.height <= 0) return pixels;

  comlib::WindowDC screen(nullptr);
  void* bits = nullptr;
  comlib::UniqueBitmap bitmap = comlib::CreateTopDownDib(pixels.width, pixels.height, &bits);
  comlib::UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
  if (!bitmap || !memory) return pixels;
  // Only the part on the screen is copied: a blit that reaches past the
  // screen's edge copies nothing under Wine. The rest reads as black.
  const RECT screenRect{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT visible{};
  if (IntersectRect(&visible, &rect, &screenRect)) {
    comlib::SelectionScope select(memory.get(), bitmap.get());
    BitBlt(memory.get(), visible.left - rect.left, visible.top - rect.top, visible.right - visible.left,
           visible.bottom - visible.top, screen.get(), visible.left, visible.top, SRCCOPY);
    GdiFlush();
  }
  const auto* source = static_cast<const std::uint32_t*>(bits);
  pixels.rgb.assign(source, source + static_cast<size_t>(pixels.width) * pixels.height);
  for (std::uint32_t& value : pixels.rgb) value &= 0x00FFFFFF;
  return pixels;
}

size_t ClockFillOnScreen(HWND clock) {
  RECT window{};
  GetWindowRect(clock, &window);
  const ScreenPixels pixels = CaptureScreen(window);
  return pixels.Count(kClockFill) + pixels.Count(kClockRise);
}

RECT ScreenInk(HWND clock) {
  RECT window{};
  GetWindowRect(clock, &window);
  const ScreenPixels pixels = CaptureScreen(window);
  RECT ink{pixels.width, pixels.height, 0, 0};
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const std::uint32_t colour = pixels.At(x, y);
      if (colour != kClockFill && colour != kClockRise && colour != kClockOutline) continue;
      ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
                 std::max<LONG>(ink.bottom, y + 1)};
    }
  }
  if (ink.right == 0) return RECT{};
  OffsetRect(&ink, window.left, window.top);
  return ink;
}

RECT ScreenInkOverTenSeconds(HWND clock) {
  constexpr DWORD kLookEveryMs = 200;
  constexpr DWORD kLookForMs = 10500;
  RECT all{};
  for (DWORD waited = 0; waited <= kLookForMs; waited += kLookEveryMs) {
    const RECT ink = ScreenInk(clock);
    if (IsRectEmpty(&all)) {
      all = ink;
    } else if (!IsRectEmpty(&ink)) {
      UnionRect(&all, &all, &ink);
    }
    Sleep(kLookEveryMs);
  }
  return all;
}

}  // namespace testing_support
