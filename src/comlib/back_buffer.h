#pragma once
// A window's off-screen bitmap. Its pixels live in a DIB section, so GDI+
// draws straight into memory that is blitted to the window without a
// conversion, and clearing to white is a plain memory fill.

#include <windows.h>

#include "comlib/gdiplus_flat.h"
#include "comlib/unique_handle.h"

namespace comlib {
// A 32-bit DIB section with its top row first, as GDI+ and screen copies
// want it; `bits` receives its pixels. Empty when memory runs out.
UniqueBitmap CreateTopDownDib(int width, int height, void** bits);
}  // namespace comlib

class BackBuffer_CL {
 public:
  // The pixels are always 32 bits deep; the format says how GDI+ reads the
  // fourth byte (PixelFormat32bppRGB ignores it).
  explicit BackBuffer_CL(Gdiplus::PixelFormat format = PixelFormat32bppRGB);
  virtual ~BackBuffer_CL();
  BackBuffer_CL(const BackBuffer_CL&) = delete;
  BackBuffer_CL& operator=(const BackBuffer_CL&) = delete;

  // Re-creates the bitmap only when the size really changes. When memory
  // runs out the bitmap stays null and nothing is drawn.
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
  // The colour at (x, y) as 0xAARRGGBB, as GDI+ reads it; 0 outside the
  // bitmap.
  Gdiplus::ARGB PixelAt(int x, int y) const;
  // The 32 bits stored at (x, y), fourth byte included; 0 outside the bitmap.
  DWORD StoredPixelAt(int x, int y) const;

 private:
  DWORD* Row(int y) const;

  Gdiplus::PixelFormat format_;
  comlib::UniqueBitmap dib_;
  void* bits_ = nullptr;
  int stride_ = 0;
  DWORD storedWhite_ = 0xFFFFFFFF;
  comlib::GpBitmapOwner bitmap_;
  int width_ = 0;
  int height_ = 0;
};
