#pragma once
// A GDI+ font family looked up by name, standing in another family when the
// name is not installed, so that text never silently disappears.

#include <string>

#include "comlib/gdiplus_flat.h"

namespace comlib {

// GDI+ font style bits for the bold and italic settings.
INT FontStyleFor(int bold, int italic);

// GDI+'s generic sans-serif family, fetched when first asked for.
Gdiplus::GpFontFamily* GenericSansSerif();

// The family to draw with when the configured one is missing: GDI+'s generic
// sans-serif family, or where the machine has none (a bare Wine prefix), the
// first installed family that draws a digit. Null only on a machine where
// GDI+ can draw no text at all.
Gdiplus::GpFontFamily* FallbackFamily();

// Both families, and the fonts installed while the program runs, are kept
// between uses until this, which must come before the GDI+ session ends.
void ReleaseFallbackFamilies();

// The installed family of that name into `family`; false (and empty) when
// there is none. A font installed after GDI+ first listed the fonts is
// found too.
bool CreateInstalledFamily(const std::wstring& name, GpFontFamilyOwner& family);
// The installed fonts changed: families that could not be read are tried
// again when next asked for.
void ForgetUnreadableFamilies();
// How many font files have been copied out of GDI so far, each a whole file.
long FontFilesCopiedFromGdi();

class FontFamilyRef {
 public:
  explicit FontFamilyRef(const std::wstring& name);
  FontFamilyRef(const FontFamilyRef&) = delete;
  FontFamilyRef& operator=(const FontFamilyRef&) = delete;

  // Null only when not even a fallback family is available.
  Gdiplus::GpFontFamily* get() const { return family_; }
  bool IsFallback() const { return !owned_ && family_ != nullptr; }

 private:
  GpFontFamilyOwner owned_;
  Gdiplus::GpFontFamily* family_ = nullptr;
};

}  // namespace comlib
