#pragma once
// The GDI+ flat interface and owners for its objects. Every GDI+ object the
// program makes outside the back buffers and the settings fonts lives in one
// of these for one measure, draw or paint. The owners count the objects
// they hold, so that the end of the GDI+ session can be checked for
// objects that would outlive it.

#include <windows.h>

#include <algorithm>
#include <atomic>

// The GDI+ headers use min and max unqualified; NOMINMAX hides the macros.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <objidl.h>
#include <gdiplus.h>

#include "comlib/unique_handle.h"

// GDI+ is bound at run time from the system folder, not imported (see
// comlib/dll_function.h). Its functions keep their names in the namespace
// gdip, so that a call reads gdip::GdipCreatePath(...) as an imported one
// would; they are set once, when the GDI+ session starts, and stay valid to
// the end of the process.
// clang-format off
#define HORAVEL_GDIPLUS_FUNCTIONS(X)                                                                              \
  X(GdipAddPathPath) X(GdipAddPathPolygon) X(GdipAddPathString) X(GdipBitmapGetPixel) X(GdipBitmapLockBits) X(GdipBitmapUnlockBits)     \
  X(GdipCloneFontFamily) X(GdipCreateBitmapFromScan0) X(GdipCreateFontFamilyFromName)                             \
  X(GdipCreateHBITMAPFromBitmap) X(GdipCreatePath) X(GdipCreatePen1) X(GdipCreateSolidFill) X(GdipDeleteBrush)    \
  X(GdipDeleteFont) X(GdipDeleteFontFamily) X(GdipDeleteGraphics) X(GdipDeletePath) X(GdipDeletePen)              \
  X(GdipDeletePrivateFontCollection) X(GdipDisposeImage) X(GdipDrawPath) X(GdipFillPath) X(GdipFillRectangleI)    \
  X(GdipFlattenPath) X(GdipGetEmHeight) X(GdipGetFamilyName) X(GdipGetFontCollectionFamilyCount)                  \
  X(GdipGetFontCollectionFamilyList) X(GdipGetGenericFontFamilySansSerif) X(GdipGetImageGraphicsContext)          \
  X(GdipGetImageHeight) X(GdipGetImageWidth) X(GdipGetLineSpacing) X(GdipGetPathWorldBounds)                      \
  X(GdipNewInstalledFontCollection) X(GdipNewPrivateFontCollection) X(GdipPrivateAddMemoryFont) X(GdipResetClip)  \
  X(GdipSetClipRect) X(GdipStringFormatGetGenericDefault) X(GdipWidenPath)
// clang-format on

namespace gdip {
#define HORAVEL_GDIPLUS_POINTER(name) inline decltype(&Gdiplus::DllExports::name) name = nullptr;
HORAVEL_GDIPLUS_FUNCTIONS(HORAVEL_GDIPLUS_POINTER)
#undef HORAVEL_GDIPLUS_POINTER
inline decltype(&Gdiplus::GdiplusStartup) GdiplusStartup = nullptr;
inline decltype(&Gdiplus::GdiplusShutdown) GdiplusShutdown = nullptr;

// Loads GDI+ once and sets every function above; false when the library or
// one of them is missing.
bool Bind();
}  // namespace gdip

using Gdiplus::GpStatus;

namespace comlib {

inline void DeleteGpPath(Gdiplus::GpPath* path) { gdip::GdipDeletePath(path); }
inline void DeleteGpBrush(Gdiplus::GpBrush* brush) { gdip::GdipDeleteBrush(brush); }
inline void DeleteGpPen(Gdiplus::GpPen* pen) { gdip::GdipDeletePen(pen); }
inline void DeleteGpFontFamily(Gdiplus::GpFontFamily* family) { gdip::GdipDeleteFontFamily(family); }
inline void DeleteGpFont(Gdiplus::GpFont* font) { gdip::GdipDeleteFont(font); }
inline void DeleteGpGraphics(Gdiplus::GpGraphics* graphics) { gdip::GdipDeleteGraphics(graphics); }
inline void DisposeGpBitmap(Gdiplus::GpBitmap* bitmap) { gdip::GdipDisposeImage(bitmap); }
inline void DeleteGpPrivateFonts(Gdiplus::GpFontCollection* fonts) { gdip::GdipDeletePrivateFontCollection(&fonts); }

// GDI+ objects held by owners right now, in the whole process.
inline std::atomic<long> g_liveGdiplusObjects{0};
inline long LiveGdiplusObjects() { return g_liveGdiplusObjects.load(); }

// Move-only owner of one GDI+ object, deleted by the function in its type;
// it keeps g_liveGdiplusObjects in step with what it holds. A deleter never
// changes GetLastError for the code after it.
template <typename T, auto DeleteFn>
class GpOwner {
  // What put() hands to a creating function: the owner's slot, counted once
  // the call has filled it (at the end of the full expression).
  class Slot {
   public:
    explicit Slot(GpOwner& owner) : owner_(owner) {}
    ~Slot() {
      if (owner_.handle_ != nullptr) ++g_liveGdiplusObjects;
    }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    operator T*() const { return &owner_.handle_; }

   private:
    GpOwner& owner_;
  };

 public:
  GpOwner() = default;
  explicit GpOwner(T handle) : handle_(handle) {
    if (handle_ != nullptr) ++g_liveGdiplusObjects;
  }
  ~GpOwner() { reset(); }

  GpOwner(const GpOwner&) = delete;
  GpOwner& operator=(const GpOwner&) = delete;
  GpOwner(GpOwner&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  GpOwner& operator=(GpOwner&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Hands the object over uncounted: the caller deletes it.
  T release() {
    T handle = handle_;
    if (handle_ != nullptr) --g_liveGdiplusObjects;
    handle_ = nullptr;
    return handle;
  }

  void reset(T handle = nullptr) {
    if (handle_ != nullptr) {
      const DWORD lastError = GetLastError();
      DeleteFn(handle_);
      SetLastError(lastError);
      --g_liveGdiplusObjects;
    }
    handle_ = handle;
    if (handle_ != nullptr) ++g_liveGdiplusObjects;
  }

  // For the functions that hand back a new object through a pointer.
  Slot put() {
    reset();
    return Slot(*this);
  }

 private:
  T handle_ = nullptr;
};

using GpPathOwner = GpOwner<Gdiplus::GpPath*, &DeleteGpPath>;
using GpBrushOwner = GpOwner<Gdiplus::GpSolidFill*, &DeleteGpBrush>;
using GpPenOwner = GpOwner<Gdiplus::GpPen*, &DeleteGpPen>;
using GpFontFamilyOwner = GpOwner<Gdiplus::GpFontFamily*, &DeleteGpFontFamily>;
using GpFontOwner = GpOwner<Gdiplus::GpFont*, &DeleteGpFont>;
using GpGraphicsOwner = GpOwner<Gdiplus::GpGraphics*, &DeleteGpGraphics>;
using GpBitmapOwner = GpOwner<Gdiplus::GpBitmap*, &DisposeGpBitmap>;
using GpPrivateFontsOwner = GpOwner<Gdiplus::GpFontCollection*, &DeleteGpPrivateFonts>;

// GdiplusStartup / GdiplusShutdown for the life of the program.
class GdiplusSession {
 public:
  GdiplusSession() {
    if (!gdip::Bind()) return;
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread on
    gdip::GdiplusStartup(&token_, &input, nullptr);
  }
  ~GdiplusSession() {
    if (token_) gdip::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  // False when GDI+ could not be had: nothing can be drawn.
  bool IsStarted() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

}  // namespace comlib
