#include "support/screen_pixels.h"

#include <algorithm>

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

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  comlib::WindowDC screen(nullptr);
  void* bits = nullptr;
  comlib::UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  comlib::UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
  if (!bitmap || !memory) return pixels;
  {
    comlib::SelectionScope select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, pixels.width, pixels.height, screen.get(), rect.left, rect.top, SRCCOPY);
    GdiFlush();
  }
  const auto* source = static_cast<const std::uint32_t*>(bits);
  pixels.rgb.assign(source, source + static_cast<size_t>(pixels.width) * pixels.height);
  for (std::uint32_t& value : pixels.rgb) value &= 0x00FFFFFF;
  return pixels;
}

}  // namespace testing_support
