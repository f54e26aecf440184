#pragma once
// The GDI+ flat interface and owners for its objects. Every GDI+ object the
// program makes outside the back buffers and the settings fonts lives in one
// of these for one measure, draw or paint.

#include <windows.h>

#include <algorithm>

// The GDI+ headers use min and max unqualified; NOMINMAX hides the macros.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <objidl.h>
#include <gdiplus.h>

#include "comlib/unique_handle.h"

namespace gdip = Gdiplus::DllExports;
using Gdiplus::GpStatus;

namespace comlib {

inline void DeleteGpPath(Gdiplus::GpPath* path) { gdip::GdipDeletePath(path); }
inline void DeleteGpBrush(Gdiplus::GpBrush* brush) { gdip::GdipDeleteBrush(brush); }
inline void DeleteGpPen(Gdiplus::GpPen* pen) { gdip::GdipDeletePen(pen); }
inline void DeleteGpFontFamily(Gdiplus::GpFontFamily* family) { gdip::GdipDeleteFontFamily(family); }
inline void DeleteGpFont(Gdiplus::GpFont* font) { gdip::GdipDeleteFont(font); }
inline void DeleteGpGraphics(Gdiplus::GpGraphics* graphics) { gdip::GdipDeleteGraphics(graphics); }
inline void DisposeGpBitmap(Gdiplus::GpBitmap* bitmap) { gdip::GdipDisposeImage(bitmap); }

using GpPathOwner = UniqueHandle<Gdiplus::GpPath*, &DeleteGpPath>;
using GpBrushOwner = UniqueHandle<Gdiplus::GpSolidFill*, &DeleteGpBrush>;
using GpPenOwner = UniqueHandle<Gdiplus::GpPen*, &DeleteGpPen>;
using GpFontFamilyOwner = UniqueHandle<Gdiplus::GpFontFamily*, &DeleteGpFontFamily>;
using GpFontOwner = UniqueHandle<Gdiplus::GpFont*, &DeleteGpFont>;
using GpGraphicsOwner = UniqueHandle<Gdiplus::GpGraphics*, &DeleteGpGraphics>;
using GpBitmapOwner = UniqueHandle<Gdiplus::GpBitmap*, &DisposeGpBitmap>;

// GDI+ objects held by owners right now, in the whole process.
inline long LiveGdiplusObjects() {
  return GpPathOwner::Live() + GpBrushOwner::Live() + GpPenOwner::Live() + GpFontFamilyOwner::Live() +
         GpFontOwner::Live() + GpGraphicsOwner::Live() + GpBitmapOwner::Live();
}

// GdiplusStartup / GdiplusShutdown for the life of the program.
class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread on
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  }
  ~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

}  // namespace comlib
