// The family list of the font pages: drawable families only, each once, and
// the stored family found whatever its letter case.

#include "view/prop_font_families.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

}  // namespace

TEST(FontFamilyList, ListsEachInstalledTrueTypeFamilyOnceAndOnlyDrawableOnes) {
  const std::vector<std::wstring> families = font_list::CollectDrawableFamilies(GetDesktopWindow());
  ASSERT_FALSE(families.empty());
  for (size_t i = 0; i < families.size(); ++i) {
    EXPECT_TRUE(font_list::CanDraw(families[i])) << families.size();
    for (size_t j = i + 1; j < families.size(); ++j) EXPECT_NE(Lower(families[i]), Lower(families[j]));
  }
  // Installed in the test prefix with Japanese and Western character sets,
  // so enumerated more than once; a Japanese locale names it in Japanese.
  EXPECT_TRUE(font_list::IsListed(families, L"IPAGothic") || font_list::IsListed(families, L"IPAゴシック"));
  EXPECT_TRUE(font_list::IsListed(families, L"DejaVu Sans"));
  // Bitmap fonts: GDI enumerates them, GDI+ cannot draw them.
  EXPECT_FALSE(font_list::IsListed(families, L"System"));
  EXPECT_FALSE(font_list::CanDraw(L"Horavel No Such Family"));
}

TEST(FontFamilyList, SelectsTheLastFamilyEqualToTheStoredOneIgnoringCase) {
  const std::vector<std::wstring> families = {L"DejaVu Sans", L"IPAGothic", L"VL Gothic", L"ipagothic"};
  const struct {
    const wchar_t* stored;
    int selection;
  } cases[] = {
      {L"DejaVu Sans", 0}, {L"dejavu sans", 0}, {L"VL GOTHIC", 2}, {L"IPAGothic", 3}, {L"Comic Sans MS", 0}, {L"", 0},
      {L"DejaVu", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.selection, font_list::SelectionFor(families, c.stored)) << c.stored;
  EXPECT_EQ(0, font_list::SelectionFor({}, L"IPAGothic"));
}
