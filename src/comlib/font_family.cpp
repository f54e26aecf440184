#include "comlib/font_family.h"

#include <vector>

namespace comlib {

namespace {

constexpr wchar_t kProbeText[] = L"8";
constexpr float kProbeEmSize = 64.0f;

// True when the family turns a digit into a path with some area: listed
// families that GDI+ cannot read draw nothing.
bool DrawsDigits(Gdiplus::GpFontFamily* family) {
  GpPathOwner path;
  if (gdip::GdipCreatePath(Gdiplus::FillModeAlternate, path.put()) != Gdiplus::Ok) return false;
  const Gdiplus::RectF layout(0.0f, 0.0f, 1024.0f, 1024.0f);
  // Wine's GDI+ takes no path text without a format; the generic one is GDI+'s.
  Gdiplus::GpStringFormat* format = nullptr;
  gdip::GdipStringFormatGetGenericDefault(&format);
  if (gdip::GdipAddPathString(path.get(), kProbeText, -1, family, Gdiplus::FontStyleRegular, kProbeEmSize, &layout,
                              format) != Gdiplus::Ok) {
    return false;
  }
  Gdiplus::RectF bounds;
  return gdip::GdipGetPathWorldBounds(path.get(), &bounds, nullptr, nullptr) == Gdiplus::Ok && bounds.Width > 0.0f &&
         bounds.Height > 0.0f;
}

Gdiplus::GpFontFamily* FirstDrawableInstalledFamily() {
  // The installed collection belongs to GDI+ and lists families that it
  // owns; the one kept is a clone, never deleted, like the generic family.
  Gdiplus::GpFontCollection* installed = nullptr;
  if (gdip::GdipNewInstalledFontCollection(&installed) != Gdiplus::Ok || installed == nullptr) return nullptr;
  INT count = 0;
  if (gdip::GdipGetFontCollectionFamilyCount(installed, &count) != Gdiplus::Ok || count <= 0) return nullptr;
  std::vector<Gdiplus::GpFontFamily*> families(static_cast<size_t>(count), nullptr);
  INT found = 0;
  if (gdip::GdipGetFontCollectionFamilyList(installed, count, families.data(), &found) != Gdiplus::Ok) return nullptr;
  for (INT i = 0; i < found; ++i) {
    if (families[i] == nullptr || !DrawsDigits(families[i])) continue;
    Gdiplus::GpFontFamily* kept = nullptr;
    if (gdip::GdipCloneFontFamily(families[i], &kept) == Gdiplus::Ok) return kept;
  }
  return nullptr;
}

}  // namespace

INT FontStyleFor(int bold, int italic) {
  return (bold ? Gdiplus::FontStyleBold : 0) | (italic ? Gdiplus::FontStyleItalic : 0);
}

Gdiplus::GpFontFamily* GenericSansSerif() {
  static Gdiplus::GpFontFamily* family = [] {
    Gdiplus::GpFontFamily* generic = nullptr;
    if (gdip::GdipGetGenericFontFamilySansSerif(&generic) != Gdiplus::Ok) return static_cast<Gdiplus::GpFontFamily*>(nullptr);
    return generic;
  }();
  return family;
}

Gdiplus::GpFontFamily* FallbackFamily() {
  static Gdiplus::GpFontFamily* family = [] {
    Gdiplus::GpFontFamily* generic = GenericSansSerif();
    return generic != nullptr ? generic : FirstDrawableInstalledFamily();
  }();
  return family;
}

FontFamilyRef::FontFamilyRef(const std::wstring& name) {
  if (gdip::GdipCreateFontFamilyFromName(name.c_str(), nullptr, owned_.put()) == Gdiplus::Ok && owned_) {
    family_ = owned_.get();
  } else {
    owned_.reset();
    family_ = FallbackFamily();
  }
}

}  // namespace comlib
