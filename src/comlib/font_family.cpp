#include "comlib/font_family.h"

#include <iterator>
#include <map>
#include <vector>

#include "comlib/unique_handle.h"

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

// A font file's bytes as GDI has them, and the private collection GDI+
// reads them from; neither when GDI has no such family or GDI+ cannot read
// its file.
struct LoadedFont {
  std::vector<unsigned char> bytes;
  GpPrivateFontsOwner collection;
};

// GDI+ lists the installed fonts once, when first asked; a font installed
// later is known to GDI alone. Such a family is read from GDI's copy of its
// file, once, and kept until the families are released. A family that could
// not be read is remembered too, until the fonts change: every step of the
// size bar resolves the font again, and each try copies a whole file.
std::map<std::wstring, LoadedFont>& LoadedFonts() {
  static std::map<std::wstring, LoadedFont> loaded;
  return loaded;
}

long& FontFileCopies() {
  static long copies = 0;
  return copies;
}

// The bytes of the font file GDI draws the family from; empty when GDI has
// no font of exactly that name.
std::vector<unsigned char> FontFileThroughGdi(const std::wstring& name) {
  const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  if (!dc) return {};
  // The font as GDI lists it, in a character set it has: asked for in the
  // default one, GDI would stand in a font that has that set.
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy_s(wanted.lfFaceName, LF_FACESIZE, name.c_str(), _TRUNCATE);
  LOGFONTW listed{};
  EnumFontFamiliesExW(
      dc.get(), &wanted,
      [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        *reinterpret_cast<LOGFONTW*>(found) = *font;
        return 0;
      },
      reinterpret_cast<LPARAM>(&listed), 0);
  if (listed.lfFaceName[0] == L'\0') return {};
  const UniqueFont font(CreateFontIndirectW(&listed));
  if (!font) return {};
  const SelectionScope selected(dc.get(), font.get());
  wchar_t face[LF_FACESIZE] = {};
  // GDI stands another face in for a name it does not know.
  if (GetTextFaceW(dc.get(), LF_FACESIZE, face) == 0 || _wcsicmp(face, name.c_str()) != 0) return {};
  // A collection file is read whole, from its own header.
  constexpr DWORD kCollectionTag = 0x66637474;  // 'ttcf', as GetFontData spells it
  for (const DWORD table : {kCollectionTag, DWORD{0}}) {
    const DWORD size = GetFontData(dc.get(), table, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0) continue;
    std::vector<unsigned char> bytes(size);
    ++FontFileCopies();
    if (GetFontData(dc.get(), table, 0, bytes.data(), size) == size) return bytes;
  }
  return {};
}

// The family read from GDI's copy of its file; empty when GDI has no such
// family or GDI+ makes none of the file.
LoadedFont LoadThroughGdi(const std::wstring& name) {
  LoadedFont font;
  font.bytes = FontFileThroughGdi(name);
  if (font.bytes.empty()) return {};
  const INT size = static_cast<INT>(font.bytes.size());
  GpFontFamilyOwner family;
  if (gdip::GdipNewPrivateFontCollection(font.collection.put()) != Gdiplus::Ok ||
      gdip::GdipPrivateAddMemoryFont(font.collection.get(), font.bytes.data(), size) != Gdiplus::Ok ||
      gdip::GdipCreateFontFamilyFromName(name.c_str(), font.collection.get(), family.put()) != Gdiplus::Ok) {
    return {};
  }
  return font;
}

bool CreateFamilyInstalledLater(const std::wstring& name, GpFontFamilyOwner& family) {
  std::map<std::wstring, LoadedFont>& loaded = LoadedFonts();
  auto known = loaded.find(name);
  if (known == loaded.end()) known = loaded.emplace(name, LoadThroughGdi(name)).first;
  return known->second.collection &&
         gdip::GdipCreateFontFamilyFromName(name.c_str(), known->second.collection.get(), family.put()) ==
             Gdiplus::Ok &&
         family;
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
  LoadedFonts().clear();
}

void ForgetUnreadableFamilies() {
  std::map<std::wstring, LoadedFont>& loaded = LoadedFonts();
  for (auto font = loaded.begin(); font != loaded.end();) {
    font = font->second.collection ? std::next(font) : loaded.erase(font);
  }
}

long FontFilesCopiedFromGdi() { return FontFileCopies(); }

bool CreateInstalledFamily(const std::wstring& name, GpFontFamilyOwner& family) {
  family.reset();
  // No installed family has a longer name, and Wine's GDI+ overflows its
  // stack on names thousands of characters long: such a name is not asked for.
  if (name.size() >= LF_FACESIZE) return false;
  if (gdip::GdipCreateFontFamilyFromName(name.c_str(), nullptr, family.put()) == Gdiplus::Ok && family) return true;
  if (CreateFamilyInstalledLater(name, family)) return true;
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
