#include "comlib/font_family.h"

namespace comlib {

INT FontStyleFor(int bold, int italic) {
  return (bold ? Gdiplus::FontStyleBold : 0) | (italic ? Gdiplus::FontStyleItalic : 0);
}

namespace {
GpFontFamilyOwner& GenericFamily() {
  static GpFontFamilyOwner family;
  return family;
}
}  // namespace

Gdiplus::GpFontFamily* GenericSansSerif() {
  GpFontFamilyOwner& family = GenericFamily();
  if (!family) gdip::GdipGetGenericFontFamilySansSerif(family.put());
  return family.get();
}

void ReleaseGenericSansSerif() { GenericFamily().reset(); }

FontFamilyRef::FontFamilyRef(const std::wstring& name) {
  if (gdip::GdipCreateFontFamilyFromName(name.c_str(), nullptr, owned_.put()) == Gdiplus::Ok && owned_) {
    family_ = owned_.get();
  } else {
    owned_.reset();
    family_ = GenericSansSerif();
  }
}

}  // namespace comlib
