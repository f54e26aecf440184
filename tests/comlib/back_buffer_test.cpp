#include "comlib/back_buffer.h"

#include <gtest/gtest.h>

namespace {

constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;

void FillRect(BackBuffer_CL& buffer, Gdiplus::ARGB colour, int x, int y, int width, int height) {
  comlib::GpGraphicsOwner graphics = buffer.Graphics();
  ASSERT_TRUE(graphics);
  comlib::GpBrushOwner brush;
  ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreateSolidFill(colour, brush.put()));
  ASSERT_EQ(Gdiplus::Ok, gdip::GdipFillRectangleI(graphics.get(), brush.get(), x, y, width, height));
}

// A 32-bit top-down DIB selected into a memory DC, to receive copies.
class TargetDC {
 public:
  TargetDC(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    void* bits = nullptr;
    bitmap_ = comlib::CreateTopDownDib(width, height, &bits);
    previous_ = SelectObject(dc_.get(), bitmap_.get());
  }
  ~TargetDC() { SelectObject(dc_.get(), previous_); }

  HDC get() const { return dc_.get(); }
  // 0x00RRGGBB, as the ARGB colours without their alpha.
  Gdiplus::ARGB RgbAt(int x, int y) const {
    const COLORREF colour = GetPixel(dc_.get(), x, y);
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  }

 private:
  comlib::UniqueMemoryDC dc_;
  comlib::UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace

TEST(BackBuffer, ResizeKeepsTheBitmapUntilTheSizeReallyChanges) {
  BackBuffer_CL buffer;
  EXPECT_EQ(nullptr, buffer.Bitmap());
  EXPECT_FALSE(buffer.Graphics());

  buffer.Resize(40, 30);
  Gdiplus::GpBitmap* first = buffer.Bitmap();
  ASSERT_NE(nullptr, first);
  UINT width = 0;
  UINT height = 0;
  gdip::GdipGetImageWidth(first, &width);
  gdip::GdipGetImageHeight(first, &height);
  EXPECT_EQ(40u, width);
  EXPECT_EQ(30u, height);

  FillRect(buffer, kRed, 0, 0, 40, 30);
  buffer.Resize(40, 30);
  EXPECT_EQ(first, buffer.Bitmap());
  EXPECT_EQ(kRed, buffer.PixelAt(39, 29)) << "an unchanged size keeps the pixels too";

  buffer.Resize(41, 30);
  ASSERT_NE(nullptr, buffer.Bitmap());
  EXPECT_EQ(41, buffer.Width());
  EXPECT_EQ(30, buffer.Height());
}

TEST(BackBuffer, EmptySizeLeavesNoBitmapAndDrawsNothing) {
  BackBuffer_CL buffer;
  buffer.Resize(20, 20);
  buffer.Resize(0, 20);
  EXPECT_EQ(nullptr, buffer.Bitmap());
  EXPECT_FALSE(buffer.Graphics());
  EXPECT_FALSE(buffer.ToGdiBitmap());
  buffer.Clear(20, 20);
  TargetDC target(4, 4);
  buffer.CopyTo(target.get(), 4, 4);
  EXPECT_EQ(0u, buffer.PixelAt(0, 0));
  buffer.Resize(-5, -5);
  EXPECT_EQ(nullptr, buffer.Bitmap());
}

TEST(BackBuffer, ClearIsPureWhiteOverTheGivenAreaOnly) {
  BackBuffer_CL buffer;
  buffer.Resize(30, 20);
  FillRect(buffer, kRed, 0, 0, 30, 20);
  buffer.Clear(10, 8);
  EXPECT_EQ(kWhite, buffer.PixelAt(0, 0));
  EXPECT_EQ(kWhite, buffer.PixelAt(9, 7));
  EXPECT_EQ(kRed, buffer.PixelAt(10, 7));
  EXPECT_EQ(kRed, buffer.PixelAt(9, 8));
  // Larger than the bitmap: cut to it.
  buffer.Clear(500, 500);
  EXPECT_EQ(kWhite, buffer.PixelAt(29, 19));
}

TEST(BackBuffer, ClearStoresExactlyWhatAWhiteBrushStores) {
  BackBuffer_CL brushed;
  brushed.Resize(8, 8);
  FillRect(brushed, kRed, 0, 0, 8, 8);
  FillRect(brushed, kWhite, 0, 0, 8, 8);

  BackBuffer_CL cleared;
  cleared.Resize(8, 8);
  FillRect(cleared, kRed, 0, 0, 8, 8);
  cleared.Clear(8, 8);

  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) ASSERT_EQ(brushed.StoredPixelAt(x, y), cleared.StoredPixelAt(x, y)) << x << "," << y;
  }
}

TEST(BackBuffer, CopyToADeviceContextGivesTheSamePixels) {
  BackBuffer_CL buffer;
  buffer.Resize(16, 12);
  buffer.Clear(16, 12);
  FillRect(buffer, kRed, 2, 3, 4, 5);
  FillRect(buffer, kBlue, 10, 0, 6, 12);

  TargetDC target(16, 12);
  buffer.CopyTo(target.get(), 16, 12);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(buffer.PixelAt(x, y) & 0xFFFFFF, target.RgbAt(x, y)) << x << "," << y;
  }
  EXPECT_EQ(0xFF0000u, target.RgbAt(2, 3));
  EXPECT_EQ(0x0000FFu, target.RgbAt(15, 11));
  EXPECT_EQ(0xFFFFFFu, target.RgbAt(0, 0));
}

TEST(BackBuffer, GdiBitmapOfItsOwnHoldsTheSamePixels) {
  BackBuffer_CL buffer;
  buffer.Resize(6, 4);
  buffer.Clear(6, 4);
  FillRect(buffer, kBlue, 3, 0, 3, 4);
  comlib::UniqueBitmap converted = buffer.ToGdiBitmap();
  ASSERT_TRUE(converted);

  TargetDC target(6, 4);
  comlib::UniqueMemoryDC source(CreateCompatibleDC(nullptr));
  const HGDIOBJ previous = SelectObject(source.get(), converted.get());
  BitBlt(target.get(), 0, 0, 6, 4, source.get(), 0, 0, SRCCOPY);
  SelectObject(source.get(), previous);
  EXPECT_EQ(0xFFFFFFu, target.RgbAt(0, 0));
  EXPECT_EQ(0x0000FFu, target.RgbAt(5, 3));
}
