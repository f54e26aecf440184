#include "comlib/ui_text.h"

#include <cwchar>
#include <iterator>

namespace {

struct TextEntry {
  TextId id;
  const wchar_t* text;
};

constexpr int kTextCount = static_cast<int>(TextId::kCount);

// The Japanese texts are those the program has always shown: keep them letter for letter.
constexpr TextEntry kJapaneseTexts[] = {
    {TextId::kTrayTip, L"Horavel"},
    {TextId::kTrayCannotAdd, L"タスクトレイへアイコンを追加できませんでした。"},
    {TextId::kMenuSettings, L"アプリ設定"},
    {TextId::kMenuDisplay, L"ディスプレイ%s に表示"},
    {TextId::kMenuDisplayDigitZero, L"\xFF10"},
    {TextId::kEveryDisplay, L"すべてのディスプレイに表示"},
    {TextId::kMenuSupportSite, L"サポートサイトへ"},
    {TextId::kMenuExit, L"Horavelの終了"},

    {TextId::kSheetCaption, L"アプリ設定"},
    {TextId::kClockPage, L"表示設定"},
    {TextId::kClockFontPage, L"フォント設定"},
    {TextId::kClockColourPage, L"カラー設定"},
    {TextId::kDatePage, L"表示設定(日付)"},
    {TextId::kDateFontPage, L"フォント設定(日付)"},
    {TextId::kDateColourPage, L"カラー設定(日付)"},
    {TextId::kZonePage, L"世界時計"},
    {TextId::kVersionPage, L"バージョン情報"},

    {TextId::kHideClock, L"時計を非表示にする"},
    {TextId::kStartHidden, L"Windows起動時は非表示で起動する"},
    {TextId::kShowSeconds, L"時計の秒を表示する"},
    {TextId::kSteadyColons, L"時計の '：' を点滅しない"},
    {TextId::kHour12, L"時計を12時間表示にする"},
    {TextId::kClockFade, L"マウスカーソルが時計に近づいた場合に薄く表示する"},
    {TextId::kHideOnFullScreen, L"全画面のアプリ表示中は時計を隠す"},
    {TextId::kStartWithWindows, L"Windows起動時に自動で起動する"},
    {TextId::kHotKey, L"表示・非表示を切り替えるホットキー"},
    {TextId::kHotKeyTaken, L"他のアプリが使用中です"},
    {TextId::kHotKeyRefused, L"Ctrl・Alt・Winのいずれかと組み合わせてください"},
    {TextId::kHotKeyReserved, L"Windowsや他のアプリで使う組み合わせです"},
    {TextId::kHotKeyKept, L"ホットキーは「%s」のままです"},
    {TextId::kHotKeyClear, L"解除"},
    {TextId::kDrawType, L"描画タイプ"},
    {TextId::kDrawAll, L"全て描画"},
    {TextId::kDrawOutlineOnly, L"枠だけ描画"},
    {TextId::kDrawFillOnly, L"枠無し描画"},
    {TextId::kMonitor, L"表示ディスプレイ"},
    {TextId::kMonitorItem, L"ディスプレイ%s"},
    {TextId::kCorner, L"表示位置"},
    {TextId::kCornerTopLeft, L"左上に表示"},
    {TextId::kCornerTopRight, L"右上に表示"},
    {TextId::kCornerBottomLeft, L"左下に表示"},
    {TextId::kCornerBottomRight, L"右下に表示"},
    {TextId::kClockHorizontalOffset, L"水平表示オフセット("},
    {TextId::kClockVerticalOffset, L"垂直表示オフセット("},
    {TextId::kClockTransparency, L"透過度("},
    {TextId::kHideDate, L"日付を非表示にする"},
    {TextId::kDateFormat, L"表示形態"},
    {TextId::kDateFormat0, L"YYYY年MM月DD日(曜)"},
    {TextId::kDateFormat1, L"YYYY年MM月DD日"},
    {TextId::kDateFormat2, L"MM月DD日(曜)"},
    {TextId::kDateFormat3, L"MM月DD日"},
    {TextId::kDateFormat4, L"YYYY/MM/DD(曜)"},
    {TextId::kDateFormat5, L"YYYY/MM/DD"},
    {TextId::kDateFormat6, L"MM/DD(曜)"},
    {TextId::kDateFormat7, L"MM/DD"},
    {TextId::kDateHorizontalOffset, L"時計中心からの水平オフセット("},
    {TextId::kDateVerticalOffset, L"時計中心からの垂直オフセット("},
    {TextId::kDateTransparency, L"透過率("},
    {TextId::kDateFade, L"マウスカーソルが日付に近づいた場合に薄く表示する"},
    {TextId::kZoneShow, L"場所%sの時刻を表示する"},
    {TextId::kZoneLabel, L"表示名"},
    {TextId::kZoneHorizontalOffset, L"日付中心からの水平オフセット("},
    {TextId::kZoneVerticalOffset, L"日付下端からの垂直オフセット("},

    {TextId::kFontFamily, L"フォント"},
    {TextId::kBold, L"Bold"},
    {TextId::kItalic, L"Italic"},
    {TextId::kFontSize, L"フォントサイズ("},
    {TextId::kOutlineWidth, L"枠の幅("},
    {TextId::kTextColour, L"文字色"},
    {TextId::kRisingColour, L"文字色(秒表現)"},
    {TextId::kOutlineColour, L"文字色(枠)"},
    {TextId::kChangeColour, L"　色の変更　"},

    {TextId::kNoNotices, L"バージョンアップの通知をしない"},
    {TextId::kNoticesFrame, L"バージョンアップの通知"},
    {TextId::kVersionLabel, L"Version : %s"},
    {TextId::kSupportSiteLabel, L"サポートサイトへ"},
    {TextId::kSupportSiteButton, L"\x3000\x3000サポートサイトへ\x3000\x3000"},
    {TextId::kLicenceTitle, L"ライセンス情報"},
    {TextId::kLicenceMissing, L"ライセンス条項のファイルがありません: %s"},

    {TextId::kNoticeCaption, L"Horavelのアップデート。"},
    {TextId::kNoticeText,
     L"最新のバージョン%sが公開されています。\r\nサイトへ移動しますか？\r\n\r\n"
     L"　（現在インストールされているバージョンは%sです。）\r\n"},
    {TextId::kNoticeSiteHost, L"　移動先：%s\r\n"},
    {TextId::kNoticeOpenSite, L"\x3000サイトへ移動する\x3000"},
    {TextId::kNoticeLater, L"後日通知する\x3000"},

    {TextId::kSunday, L"日"},
    {TextId::kMonday, L"月"},
    {TextId::kTuesday, L"火"},
    {TextId::kWednesday, L"水"},
    {TextId::kThursday, L"木"},
    {TextId::kFriday, L"金"},
    {TextId::kSaturday, L"土"},

    {TextId::kZoneMorning, L"午前%s"},
    {TextId::kZoneAfternoon, L"午後%s"},
    {TextId::kZoneDaysAhead, L"+%s日"},
    {TextId::kZoneDaysBehind, L"-%s日"},

    {TextId::kTimeSyncPage, L"時刻補正"},
    {TextId::kTimeSyncUse, L"時刻サーバーの正確な時刻を表示する"},
    {TextId::kTimeSyncServer, L"時刻サーバー"},
    {TextId::kTimeSyncMeasureNow, L"\x3000今すぐ測定\x3000"},
    {TextId::kTimeSyncOff, L"Windowsの時刻を表示しています"},
    {TextId::kTimeSyncDelay, L"往復の遅延: %s"},
    {TextId::kTimeSyncMeasuredAt, L"測定時刻: %s"},
    {TextId::kTimeSyncAsking, L"%s に時刻を問い合わせています"},
    {TextId::kTimeSyncAgrees, L"Windowsの時計は %s と合っています（誤差 ±%s）"},
    {TextId::kTimeSyncBehind, L"Windowsの時計は %s 遅れています（%s、誤差 ±%s）"},
    {TextId::kTimeSyncAhead, L"Windowsの時計は %s 進んでいます（%s、誤差 ±%s）"},
    {TextId::kTimeSyncTooFar, L"。ずれが大きすぎるため補正しません"},
    {TextId::kTimeSyncHeld, L"%s から応答がありません。前回のずれ（%s）で補正を続けます"},
    {TextId::kTimeSyncUnreachable, L"%s に接続できません。Windowsの時刻を表示しています"},
    {TextId::kTimeSyncRefused, L"%s に拒否されました。Windowsの時刻を表示しています"},
    {TextId::kSpanMs, L"%sミリ秒"},
    {TextId::kSpanSeconds, L"%s秒"},
    {TextId::kSpanMinutes, L"%s分%s秒"},
    {TextId::kSpanHours, L"%s時間%s分"},
};

// The same texts for every other display language.
constexpr TextEntry kEnglishTexts[] = {
    {TextId::kTrayTip, L"Horavel"},
    {TextId::kTrayCannotAdd, L"The icon could not be added to the notification area."},
    {TextId::kMenuSettings, L"Settings"},
    {TextId::kMenuDisplay, L"Show on display %s"},
    {TextId::kMenuDisplayDigitZero, L"0"},
    {TextId::kEveryDisplay, L"Show on every display"},
    {TextId::kMenuSupportSite, L"Support site"},
    {TextId::kMenuExit, L"Exit Horavel"},

    {TextId::kSheetCaption, L"Settings"},
    {TextId::kClockPage, L"Clock"},
    {TextId::kClockFontPage, L"Font"},
    {TextId::kClockColourPage, L"Colors"},
    {TextId::kDatePage, L"Date"},
    {TextId::kDateFontPage, L"Date font"},
    {TextId::kDateColourPage, L"Date colors"},
    {TextId::kZonePage, L"World clocks"},
    {TextId::kVersionPage, L"Version"},

    {TextId::kHideClock, L"Hide the clock"},
    {TextId::kStartHidden, L"Start hidden when Windows starts"},
    {TextId::kShowSeconds, L"Show the seconds"},
    {TextId::kSteadyColons, L"Do not blink the colons"},
    {TextId::kHour12, L"12-hour clock"},
    {TextId::kClockFade, L"Fade the clock when the mouse pointer comes near"},
    {TextId::kHideOnFullScreen, L"Hide the clock while a program fills the screen"},
    {TextId::kStartWithWindows, L"Start with Windows"},
    {TextId::kHotKey, L"Hot key to hide and show the clock"},
    {TextId::kHotKeyTaken, L"Another program uses this key"},
    {TextId::kHotKeyRefused, L"Add Ctrl, Alt or Win"},
    {TextId::kHotKeyReserved, L"Windows and other programs use this key"},
    {TextId::kHotKeyKept, L"The hot key is still %s"},
    {TextId::kHotKeyClear, L"Clear"},
    {TextId::kDrawType, L"Drawing"},
    {TextId::kDrawAll, L"Fill and outline"},
    {TextId::kDrawOutlineOnly, L"Outline only"},
    {TextId::kDrawFillOnly, L"Fill only"},
    {TextId::kMonitor, L"Display"},
    {TextId::kMonitorItem, L"Display %s"},
    {TextId::kCorner, L"Corner"},
    {TextId::kCornerTopLeft, L"Top left"},
    {TextId::kCornerTopRight, L"Top right"},
    {TextId::kCornerBottomLeft, L"Bottom left"},
    {TextId::kCornerBottomRight, L"Bottom right"},
    {TextId::kClockHorizontalOffset, L"Horizontal offset ("},
    {TextId::kClockVerticalOffset, L"Vertical offset ("},
    {TextId::kClockTransparency, L"Transparency ("},
    {TextId::kHideDate, L"Hide the date"},
    {TextId::kDateFormat, L"Format"},
    {TextId::kDateFormat0, L"YYYY年MM月DD日(Day)"},
    {TextId::kDateFormat1, L"YYYY年MM月DD日"},
    {TextId::kDateFormat2, L"MM月DD日(Day)"},
    {TextId::kDateFormat3, L"MM月DD日"},
    {TextId::kDateFormat4, L"YYYY/MM/DD(Day)"},
    {TextId::kDateFormat5, L"YYYY/MM/DD"},
    {TextId::kDateFormat6, L"MM/DD(Day)"},
    {TextId::kDateFormat7, L"MM/DD"},
    {TextId::kDateHorizontalOffset, L"Horizontal offset from the clock's center ("},
    {TextId::kDateVerticalOffset, L"Vertical offset from the clock's center ("},
    {TextId::kDateTransparency, L"Transparency ("},
    {TextId::kDateFade, L"Fade the date when the mouse pointer comes near"},
    {TextId::kZoneShow, L"Show the time of place %s"},
    {TextId::kZoneLabel, L"Label"},
    {TextId::kZoneHorizontalOffset, L"Horizontal offset from the date's center ("},
    {TextId::kZoneVerticalOffset, L"Vertical offset below the date ("},

    {TextId::kFontFamily, L"Typeface"},
    {TextId::kBold, L"Bold"},
    {TextId::kItalic, L"Italic"},
    {TextId::kFontSize, L"Size ("},
    {TextId::kOutlineWidth, L"Outline width ("},
    {TextId::kTextColour, L"Text color"},
    {TextId::kRisingColour, L"Text color (seconds)"},
    {TextId::kOutlineColour, L"Outline color"},
    {TextId::kChangeColour, L"  Change...  "},

    {TextId::kNoNotices, L"Do not tell me about new versions"},
    {TextId::kNoticesFrame, L"New versions"},
    {TextId::kVersionLabel, L"Version : %s"},
    {TextId::kSupportSiteLabel, L"Support site"},
    {TextId::kSupportSiteButton, L"    Open the support site    "},
    {TextId::kLicenceTitle, L"License"},
    {TextId::kLicenceMissing, L"The file with the license terms is missing: %s"},

    {TextId::kNoticeCaption, L"Horavel update"},
    {TextId::kNoticeText,
     L"Version %s of Horavel has been published.\r\nOpen its download site?\r\n\r\n"
     L"(The version installed now is %s.)\r\n"},
    {TextId::kNoticeSiteHost, L"The site is on %s.\r\n"},
    {TextId::kNoticeOpenSite, L"  Open the site  "},
    {TextId::kNoticeLater, L"  Remind me later  "},

    {TextId::kSunday, L"Sun"},
    {TextId::kMonday, L"Mon"},
    {TextId::kTuesday, L"Tue"},
    {TextId::kWednesday, L"Wed"},
    {TextId::kThursday, L"Thu"},
    {TextId::kFriday, L"Fri"},
    {TextId::kSaturday, L"Sat"},

    {TextId::kZoneMorning, L"%s AM"},
    {TextId::kZoneAfternoon, L"%s PM"},
    {TextId::kZoneDaysAhead, L"+%s"},
    {TextId::kZoneDaysBehind, L"-%s"},

    {TextId::kTimeSyncPage, L"Network time"},
    {TextId::kTimeSyncUse, L"Show the exact time from a time server"},
    {TextId::kTimeSyncServer, L"Time server"},
    {TextId::kTimeSyncMeasureNow, L"  Measure now  "},
    {TextId::kTimeSyncOff, L"Showing Windows' time"},
    {TextId::kTimeSyncDelay, L"Round trip: %s"},
    {TextId::kTimeSyncMeasuredAt, L"Measured: %s"},
    {TextId::kTimeSyncAsking, L"Asking %s for the time"},
    {TextId::kTimeSyncAgrees, L"Windows' clock agrees with %s (\x00B1%s)"},
    {TextId::kTimeSyncBehind, L"Windows' clock is %s behind (%s, \x00B1%s)"},
    {TextId::kTimeSyncAhead, L"Windows' clock is %s ahead (%s, \x00B1%s)"},
    {TextId::kTimeSyncTooFar, L": too far off to correct"},
    {TextId::kTimeSyncHeld, L"No answer from %s: still correcting by %s"},
    {TextId::kTimeSyncUnreachable, L"%s cannot be reached: showing Windows' time"},
    {TextId::kTimeSyncRefused, L"%s refused to answer: showing Windows' time"},
    {TextId::kSpanMs, L"%s ms"},
    {TextId::kSpanSeconds, L"%s s"},
    {TextId::kSpanMinutes, L"%s min %s s"},
    {TextId::kSpanHours, L"%s h %s min"},
};

// Each table holds every id once, in the order of the ids, so that a text
// is found by its id alone.
template <size_t N>
constexpr bool HoldsEveryIdInOrder(const TextEntry (&table)[N]) {
  if (N != static_cast<size_t>(kTextCount)) return false;
  for (size_t i = 0; i < N; ++i) {
    if (static_cast<size_t>(table[i].id) != i) return false;
  }
  return true;
}
static_assert(HoldsEveryIdInOrder(kJapaneseTexts), "the Japanese table misses an id or lists one out of order");
static_assert(HoldsEveryIdInOrder(kEnglishTexts), "the English table misses an id or lists one out of order");

// Chosen once at start and then only read, by the one UI thread.
UiLanguage g_language = UiLanguage::kJapanese;

constexpr wchar_t kPlaceholder[] = L"%s";

}  // namespace

UiLanguage ChooseUiLanguage(const std::wstring& setting, LANGID userUiLanguage) {
  if (_wcsicmp(setting.c_str(), L"ja") == 0) return UiLanguage::kJapanese;
  if (_wcsicmp(setting.c_str(), L"en") == 0) return UiLanguage::kEnglish;
  return PRIMARYLANGID(userUiLanguage) == LANG_JAPANESE ? UiLanguage::kJapanese : UiLanguage::kEnglish;
}

void SetUiLanguage(UiLanguage language) { g_language = language; }

UiLanguage CurrentUiLanguage() { return g_language; }

const wchar_t* UiText(TextId id, UiLanguage language) {
  const int index = static_cast<int>(id);
  if (index < 0 || index >= kTextCount) return L"";
  return (language == UiLanguage::kEnglish ? kEnglishTexts : kJapaneseTexts)[index].text;
}

const wchar_t* UiText(TextId id) { return UiText(id, g_language); }

std::wstring UiTextWith(TextId id, std::initializer_list<std::wstring> values) {
  return UiTextWith(id, g_language, values);
}

std::wstring UiTextWith(TextId id, UiLanguage language, std::initializer_list<std::wstring> values) {
  const std::wstring text = UiText(id, language);
  std::wstring filled;
  const std::wstring* value = values.begin();
  size_t from = 0;
  for (size_t at = text.find(kPlaceholder); at != std::wstring::npos && value != values.end();
       at = text.find(kPlaceholder, from)) {
    filled.append(text, from, at - from).append(*value++);
    from = at + std::size(kPlaceholder) - 1;
  }
  return filled.append(text, from, std::wstring::npos);
}
