#include "comlib/ui_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

size_t Placeholders(const std::wstring& text) { return testing_support::CountOccurrences(text, L"%s"); }

}  // namespace

TEST(UiText, TheSettingChoosesElseTheDisplayLanguageDoes) {
  const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
  const LANGID englishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  const LANGID german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
  const struct {
    const wchar_t* setting;
    LANGID display;
    UiLanguage expected;
  } cases[] = {
      {L"auto", japanese, UiLanguage::kJapanese}, {L"auto", englishUs, UiLanguage::kEnglish},
      {L"auto", german, UiLanguage::kEnglish},    {L"", japanese, UiLanguage::kJapanese},
      {L"fr", japanese, UiLanguage::kJapanese},   {L"ja", englishUs, UiLanguage::kJapanese},
      {L"EN", japanese, UiLanguage::kEnglish},    {L"Ja", german, UiLanguage::kJapanese},
  };
  for (const auto& each : cases) {
    EXPECT_EQ(each.expected, ChooseUiLanguage(each.setting, each.display)) << each.setting << " " << each.display;
  }
}

TEST(UiText, BothTablesHoldEveryTextWithTheSamePlacesToFill) {
  for (int index = 0; index < static_cast<int>(TextId::kCount); ++index) {
    const auto id = static_cast<TextId>(index);
    const std::wstring japanese = UiText(id, UiLanguage::kJapanese);
    const std::wstring english = UiText(id, UiLanguage::kEnglish);
    EXPECT_FALSE(japanese.empty()) << index;
    EXPECT_FALSE(english.empty()) << index;
    EXPECT_EQ(Placeholders(japanese), Placeholders(english)) << index;
    // English letters only: a Japanese text copied into the English table shows.
    if (english.find(L"MM") != std::wstring::npos) continue;  // the date layouts keep their 年月日
    for (wchar_t c : english) EXPECT_LT(c, 0x3000) << index << ": " << english;
  }
}

TEST(UiText, LookupsFollowTheChosenLanguageAndFillInOrder) {
  testing_support::ScopedUiLanguage english(UiLanguage::kEnglish);
  EXPECT_EQ(std::wstring(L"Settings"), UiText(TextId::kMenuSettings));
  {
    testing_support::ScopedUiLanguage japanese(UiLanguage::kJapanese);
    EXPECT_EQ(
        L"最新のバージョン9.9.9.9が公開されています。\r\nサイトへ移動しますか？\r\n\r\n"
        L"　（現在インストールされているバージョンは1.1.3です。）\r\n",
        UiTextWith(TextId::kNoticeText, {L"9.9.9.9", L"1.1.3"}));
    // A value that itself holds "%s" is not filled again; missing values leave the rest.
    EXPECT_EQ(L"ディスプレイ%s", UiTextWith(TextId::kMonitorItem, {L"%s"}));
    EXPECT_EQ(L"ディスプレイ%s", UiTextWith(TextId::kMonitorItem, {}));
  }
  EXPECT_EQ(UiLanguage::kEnglish, CurrentUiLanguage());
}
