#pragma once
// A GDI+ font family looked up by name, standing in GDI+'s generic
// sans-serif family when the name is not installed, so that text never
// silently disappears.

#include <string>

#include "comlib/gdiplus_flat.h"

namespace comlib {

// GDI+ font style bits for the bold and italic settings.
INT FontStyleFor(int bold, int italic);

// GDI+'s generic sans-serif family, fetched when first asked for and kept
// until ReleaseGenericSansSerif, which must come before the GDI+ session ends.
Gdiplus::GpFontFamily* GenericSansSerif();
void ReleaseGenericSansSerif();

class FontFamilyRef {
 public:
  explicit FontFamilyRef(const std::wstring& name);
  FontFamilyRef(const FontFamilyRef&) = delete;
  FontFamilyRef& operator=(const FontFamilyRef&) = delete;

  // Null only when not even the generic family is available.
  Gdiplus::GpFontFamily* get() const { return family_; }
  bool IsFallback() const { return !owned_ && family_ != nullptr; }

 private:
  GpFontFamilyOwner owned_;
  Gdiplus::GpFontFamily* family_ = nullptr;
};

}  // namespace comlib
