#include "comlib/back_buffer.h"

#include <algorithm>
#include <utility>

namespace {

constexpr WORD kBitsPerPixel = 32;
constexpr int kBytesPerPixel = 4;
constexpr Gdiplus::ARGB kOpaqueWhite = 0xFFFFFFFF;
// Where GdipCreateHBITMAPFromBitmap has nothing to blend over.
constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;

// What a white brush leaves in the bitmap's memory. GDI+ versions differ in
// the fourth byte of a 32bppRGB pixel (Wine writes 0, for one), and a clear
// must leave exactly what the brush would, so the brush is asked once.
DWORD StoredWhite(Gdiplus::GpBitmap* bitmap, const void* bits) {
  comlib::GpGraphicsOwner graphics;
  comlib::GpBrushOwner white;
  if (gdip::GdipGetImageGraphicsContext(bitmap, graphics.put()) != Gdiplus::Ok ||
      gdip::GdipCreateSolidFill(kOpaqueWhite, white.put()) != Gdiplus::Ok) {
    return kOpaqueWhite;
  }
  gdip::GdipFillRectangleI(graphics.get(), white.get(), 0, 0, 1, 1);
  graphics.reset();
  GdiFlush();
  return *static_cast<const DWORD*>(bits);
}

// 32 bits a pixel, top row first, like GDI+'s scan lines.
BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = kBitsPerPixel;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

namespace comlib {

UniqueBitmap CreateTopDownDib(int width, int height, void** bits) {
  const BITMAPINFO info = TopDownInfo(width, height);
  *bits = nullptr;
  return UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

}  // namespace comlib

BackBuffer_CL::BackBuffer_CL(Gdiplus::PixelFormat format) : format_(format) {}

BackBuffer_CL::~BackBuffer_CL() { Release(); }

void BackBuffer_CL::Resize(int width, int height) {
  if (bitmap_ && width == width_ && height == height_) return;
  Release();
  if (width <= 0 || height <= 0) return;

  void* bits = nullptr;
  comlib::UniqueBitmap dib = comlib::CreateTopDownDib(width, height, &bits);
  if (!dib || bits == nullptr) return;

  const int stride = width * kBytesPerPixel;
  comlib::GpBitmapOwner bitmap;
  if (gdip::GdipCreateBitmapFromScan0(width, height, stride, format_, static_cast<BYTE*>(bits), bitmap.put()) !=
          Gdiplus::Ok ||
      !bitmap) {
    return;
  }
  storedWhite_ = StoredWhite(bitmap.get(), bits);
  dib_ = std::move(dib);
  bits_ = bits;
  stride_ = stride;
  bitmap_ = std::move(bitmap);
  width_ = width;
  height_ = height;
}

void BackBuffer_CL::Release() {
  // The GDI+ bitmap points into the DIB's memory, so it goes first.
  bitmap_.reset();
  dib_.reset();
  bits_ = nullptr;
  stride_ = 0;
  width_ = 0;
  height_ = 0;
}

comlib::GpGraphicsOwner BackBuffer_CL::Graphics() const {
  comlib::GpGraphicsOwner graphics;
  if (bitmap_) gdip::GdipGetImageGraphicsContext(bitmap_.get(), graphics.put());
  return graphics;
}

void BackBuffer_CL::Clear(int width, int height) {
  if (!bitmap_) return;
  const int columns = std::min(width, width_);
  const int rows = std::min(height, height_);
  if (columns <= 0 || rows <= 0) return;
  // GDI may still hold drawing into the DIB in its batch.
  GdiFlush();
  for (int y = 0; y < rows; ++y) {
    DWORD* row = Row(y);
    std::fill(row, row + columns, storedWhite_);
  }
}

void BackBuffer_CL::CopyTo(HDC target, int width, int height) const {
  if (!dib_ || target == nullptr) return;
  // Straight from the pixels: a memory device context for the copy would
  // cost Wine a graphics context on the X server each time.
  GdiFlush();
  const BITMAPINFO info = TopDownInfo(width_, height_);
  SetDIBitsToDevice(target, 0, 0, static_cast<DWORD>(std::min(width, width_)),
                    static_cast<DWORD>(std::min(height, height_)), 0, 0, 0, static_cast<UINT>(height_), bits_, &info,
                    DIB_RGB_COLORS);
}

comlib::UniqueBitmap BackBuffer_CL::ToGdiBitmap() const {
  comlib::UniqueBitmap converted;
  if (bitmap_) gdip::GdipCreateHBITMAPFromBitmap(bitmap_.get(), converted.put(), kOpaqueBlack);
  return converted;
}

Gdiplus::ARGB BackBuffer_CL::PixelAt(int x, int y) const {
  if (!bitmap_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  Gdiplus::ARGB colour = 0;
  gdip::GdipBitmapGetPixel(bitmap_.get(), x, y, &colour);
  return colour;
}

DWORD BackBuffer_CL::StoredPixelAt(int x, int y) const {
  if (!bitmap_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  return Row(y)[x];
}

DWORD* BackBuffer_CL::Row(int y) const {
  return reinterpret_cast<DWORD*>(static_cast<BYTE*>(bits_) + static_cast<size_t>(y) * stride_);
}
