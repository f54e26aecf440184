#include "comlib/font_family.h"

namespace comlib {

INT FontStyleFor(int bold, int italic) {
  return (bold ? Gdiplus::FontStyleBold : 0) | (italic ? Gdiplus::FontStyleItalic : 0);
}

Gdiplus::GpFontFamily* GenericSansSerif() {
  static Gdiplus::GpFontFamily* family = [] {
    Gdiplus::GpFontFamily* generic = nullptr;
    gdip::GdipGetGenericFontFamilySansSerif(&generic);
    return generic;
  }();
  return family;
}

FontFamilyRef::FontFamilyRef(const std::wstring& name) {
  if (gdip::GdipCreateFontFamilyFromName(name.c_str(), nullptr, owned_.put()) == Gdiplus::Ok && owned_) {
    family_ = owned_.get();
  } else {
    owned_.reset();
    family_ = GenericSansSerif();
  }
}

}  // namespace comlib
