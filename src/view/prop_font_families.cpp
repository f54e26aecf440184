#include "view/prop_font_families.h"

#include <cwchar>

#include "comlib/gdiplus_flat.h"
#include "comlib/unique_handle.h"

namespace font_list {

namespace {

bool SameFamily(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

// Called once per face and character set.
int CALLBACK CollectFontFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM parameter) {
  auto* families = reinterpret_cast<std::vector<std::wstring>*>(parameter);
  const auto* enumerated = reinterpret_cast<const ENUMLOGFONTEXW*>(font);
  const std::wstring name = enumerated->elfLogFont.lfFaceName;
  // The duplicate test comes first: it is cheaper than asking GDI+.
  if (!IsListed(*families, name) && CanDraw(name)) families->push_back(name);
  return 1;  // always run to the end
}

}  // namespace

bool IsListed(const std::vector<std::wstring>& families, const std::wstring& family) {
  for (const std::wstring& listed : families) {
    if (SameFamily(listed, family)) return true;
  }
  return false;
}

int SelectionFor(const std::vector<std::wstring>& families, const std::wstring& stored) {
  int selection = 0;
  for (size_t index = 0; index < families.size(); ++index) {
    if (SameFamily(families[index], stored)) selection = static_cast<int>(index);
  }
  return selection;
}

bool CanDraw(const std::wstring& family) {
  comlib::GpFontFamilyOwner found;
  return gdip::GdipCreateFontFamilyFromName(family.c_str(), nullptr, found.put()) == Gdiplus::Ok && found;
}

std::vector<std::wstring> CollectDrawableFamilies(HWND window) {
  std::vector<std::wstring> families;
  comlib::WindowDC dc(window);
  if (!dc) return families;
  LOGFONTW every{};
  every.lfCharSet = DEFAULT_CHARSET;  // every character set, with an empty face name: every family
  EnumFontFamiliesExW(dc.get(), &every, &CollectFontFamily, reinterpret_cast<LPARAM>(&families), 0);
  return families;
}

}  // namespace font_list
