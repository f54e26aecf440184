#pragma once
// A window's off-screen bitmap. Its pixels live in a DIB section, so GDI+
// draws straight into memory that is blitted to the window without a
// conversion, and clearing to white is a plain memory fill.

#include <windows.h>

#include "comlib/gdiplus_flat.h"

class BackBuffer_CL {
 public:
  explicit BackBuffer_CL(Gdiplus::PixelFormat format = PixelFormat32bppRGB);
  virtual ~BackBuffer_CL();
  BackBuffer_CL(const BackBuffer_CL&) = delete;
  BackBuffer_CL& operator=(const BackBuffer_CL&) = delete;

  // Re-creates the bitmap only when the size really changes.
  void Resize(int width, int height);
  // Drops the bitmap.
  void Release();

  // A graphics object on the bitmap; empty when there is no bitmap.
  comlib::GpGraphicsOwner Graphics() const;
  // Opaque white over (0, 0, width, height), cut to the bitmap.
  void Clear(int width, int height);
  // Copies (0, 0, width, height) to the device context at (0, 0).
  void CopyTo(HDC target, int width, int height) const;
  // The pixels as a GDI bitmap of their own.
  comlib::UniqueBitmap ToGdiBitmap() const;

  Gdiplus::GpBitmap* Bitmap() const { return bitmap_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The colour at (x, y) as 0xAARRGGBB; 0 outside the bitmap.
  Gdiplus::ARGB PixelAt(int x, int y) const;

 private:
  Gdiplus::PixelFormat format_;
  comlib::UniqueBitmap dib_;
  void* bits_ = nullptr;
  int stride_ = 0;
  comlib::GpBitmapOwner bitmap_;
  int width_ = 0;
  int height_ = 0;
};
