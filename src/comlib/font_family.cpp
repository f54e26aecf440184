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
  // owns; the one kept is a clone, which the caller owns.
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

namespace {
// The fallbacks are kept between uses, and let go before GDI+ ends.
GpFontFamilyOwner& GenericFamily() {
  static GpFontFamilyOwner family;
  return family;
}
GpFontFamilyOwner& InstalledFallback() {
  static GpFontFamilyOwner family;
  return family;
}
}  // namespace

Gdiplus::GpFontFamily* GenericSansSerif() {
  GpFontFamilyOwner& family = GenericFamily();
  if (!family) gdip::GdipGetGenericFontFamilySansSerif(family.put());
  return family.get();
}

Gdiplus::GpFontFamily* FallbackFamily() {
  if (Gdiplus::GpFontFamily* generic = GenericSansSerif()) return generic;
  GpFontFamilyOwner& installed = InstalledFallback();
  if (!installed) installed.reset(FirstDrawableInstalledFamily());
  return installed.get();
}

void ReleaseFallbackFamilies() {
  GenericFamily().reset();
  InstalledFallback().reset();
}

bool CreateInstalledFamily(const std::wstring& name, GpFontFamilyOwner& family) {
  family.reset();
  // No installed family has a longer name, and Wine's GDI+ overflows its
  // stack on names thousands of characters long: such a name is not asked for.
  if (name.size() >= LF_FACESIZE) return false;
  if (gdip::GdipCreateFontFamilyFromName(name.c_str(), nullptr, family.put()) == Gdiplus::Ok && family) return true;
  family.reset();
  return false;
}

FontFamilyRef::FontFamilyRef(const std::wstring& name) {
  if (CreateInstalledFamily(name, owned_)) {
    family_ = owned_.get();
  } else {
    owned_.reset();
    family_ = FallbackFamily();
  }
}

}  // namespace comlib
