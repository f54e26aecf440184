#pragma once
// Every text the user reads, in one table per language, looked up by id.
// The tables live in comlib, the lowest layer, because comlib's own windows
// (the notification icon's message box, the update notice) show some of
// them; every layer above looks its texts up here the same way, so no
// caller has to hand texts down. They are tables in code rather than
// STRINGTABLE resources so that the test programs, which carry no resources
// of the program, read the very same texts. The log is the maker's record,
// not the user's: it stays Japanese and is not in these tables.

#include <windows.h>

#include <initializer_list>
#include <string>

enum class UiLanguage { kJapanese, kEnglish };

enum class TextId : int {
  // The notification icon: its tip, its menu and its message box.
  kTrayTip,
  kTrayCannotAdd,
  kMenuSettings,
  // "%s" takes the display's number, written with kMenuDisplayDigitZero as 0.
  kMenuDisplay,
  kMenuDisplayDigitZero,
  kEveryDisplay,
  kMenuSupportSite,
  kMenuExit,

  // The settings sheet. The page titles also head the pages' frames.
  kSheetCaption,
  kClockPage,
  kClockFontPage,
  kClockColourPage,
  kDatePage,
  kDateFontPage,
  kDateColourPage,
  kZonePage,
  kVersionPage,

  // The display pages. The bars' labels end in "(": the value and ")" follow.
  kHideClock,
  kStartHidden,
  kShowSeconds,
  kSteadyColons,
  kHour12,
  kClockFade,
  kHideOnFullScreen,
  kStartWithWindows,
  // The hot key that hides and shows the clock, and why a key is not had.
  // kHotKeyKept's "%s" takes the key still in effect while the field shows
  // none; kHotKeyClear names the button that switches the hot key off.
  kHotKey,
  kHotKeyTaken,
  kHotKeyRefused,
  kHotKeyReserved,
  kHotKeyKept,
  kHotKeyClear,
  kDrawType,
  kDrawAll,
  kDrawOutlineOnly,
  kDrawFillOnly,
  kMonitor,
  // "%s" takes the monitor's number counting from 1.
  kMonitorItem,
  kCorner,
  kCornerTopLeft,
  kCornerTopRight,
  kCornerBottomLeft,
  kCornerBottomRight,
  kClockHorizontalOffset,
  kClockVerticalOffset,
  kClockTransparency,
  kHideDate,
  kDateFormat,
  // The eight date layouts' names, in the order of date_format.
  kDateFormat0,
  kDateFormat1,
  kDateFormat2,
  kDateFormat3,
  kDateFormat4,
  kDateFormat5,
  kDateFormat6,
  kDateFormat7,
  kDateHorizontalOffset,
  kDateVerticalOffset,
  kDateTransparency,
  kDateFade,
  // The world clocks' page: "%s" takes the place's number from 1.
  kZoneShow,
  kZoneLabel,
  kZoneHorizontalOffset,
  kZoneVerticalOffset,

  // The font and colour pages.
  kFontFamily,
  kBold,
  kItalic,
  kFontSize,
  kOutlineWidth,
  kTextColour,
  kRisingColour,
  kOutlineColour,
  kChangeColour,

  // The version and licence pages. kVersionLabel's "%s" takes the version.
  kNoNotices,
  kNoticesFrame,
  kVersionLabel,
  kSupportSiteLabel,
  kSupportSiteButton,
  kLicenceTitle,
  // "%s" takes the path of the missing file.
  kLicenceMissing,

  // The update notice. kNoticeText's "%s" take the published version, then
  // the running one; kNoticeSiteHost's the host the site button opens.
  kNoticeCaption,
  kNoticeText,
  kNoticeSiteHost,
  kNoticeOpenSite,
  kNoticeLater,

  // The weekday in the date, Sunday first.
  kSunday,
  kMonday,
  kTuesday,
  kWednesday,
  kThursday,
  kFriday,
  kSaturday,

  // The world clocks' lines: "%s" takes the time, or the number of days.
  kZoneMorning,
  kZoneAfternoon,
  kZoneDaysAhead,
  kZoneDaysBehind,

  // Network time: its page, and the sentences of the page and the icon's
  // tip. The sentences' "%s" take the server, then what their comments say.
  kTimeSyncPage,
  kTimeSyncUse,
  kTimeSyncServer,
  kTimeSyncMeasureNow,
  kTimeSyncOff,
  // The round trip, and when it was measured; "-" before any answer.
  kTimeSyncDelay,
  kTimeSyncMeasuredAt,
  kTimeSyncAsking,
  // The server, then how sure the measurement is.
  kTimeSyncAgrees,
  // How far, the server, how sure.
  kTimeSyncBehind,
  kTimeSyncAhead,
  // Follows kTimeSyncBehind or kTimeSyncAhead.
  kTimeSyncTooFar,
  // The server, then how far the clock still corrects.
  kTimeSyncHeld,
  kTimeSyncUnreachable,
  kTimeSyncRefused,
  // Spans: milliseconds; seconds with a tenth; minutes and seconds; hours
  // and minutes.
  kSpanMs,
  kSpanSeconds,
  kSpanMinutes,
  kSpanHours,

  kCount
};

// The CLOCK_DISP key `language`: "ja" and "en" choose, "auto" (and anything
// else) follows the user's Windows display language: Japanese where its
// primary language is Japanese, English everywhere else.
UiLanguage ChooseUiLanguage(const std::wstring& setting, LANGID userUiLanguage);

// The language every lookup without one uses: Japanese until the program
// has read its settings and chosen.
void SetUiLanguage(UiLanguage language);
UiLanguage CurrentUiLanguage();

const wchar_t* UiText(TextId id, UiLanguage language);
const wchar_t* UiText(TextId id);
// The text with each "%s" in it replaced by the next of the values.
std::wstring UiTextWith(TextId id, std::initializer_list<std::wstring> values);
std::wstring UiTextWith(TextId id, UiLanguage language, std::initializer_list<std::wstring> values);

// The id `offset` places after `first`, for runs of ids such as the weekdays.
constexpr TextId NextTextId(TextId first, int offset) { return static_cast<TextId>(static_cast<int>(first) + offset); }
