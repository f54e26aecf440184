#include "text/time_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwctype>

#include "support/test_support.h"
#include "text/sync_text.h"

namespace {

SYSTEMTIME At(WORD hour, WORD minute, WORD second) {
  return testing_support::MakeTime(2024, 3, 5, 2, hour, minute, second);
}

SYSTEMTIME OnDay(WORD year, WORD month, WORD day, WORD dayOfWeek) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wDayOfWeek = dayOfWeek;
  return time;
}

timetext::ClockTextOptions Options(bool hour12, bool dispSecond, bool blink) {
  timetext::ClockTextOptions options;
  options.hour12 = hour12;
  options.dispSecond = dispSecond;
  options.blink = blink;
  return options;
}

}  // namespace

TEST(TimeText, HourRightAlignedAndFieldsZeroPadded) {
  EXPECT_EQ(L" 9:05", timetext::MakeTimeText(At(9, 5, 7), false, Options(false, false, false)));
  EXPECT_EQ(L" 9:05:07", timetext::MakeTimeText(At(9, 5, 7), false, Options(false, true, false)));
  EXPECT_EQ(L"23:59:00", timetext::MakeTimeText(At(23, 59, 0), false, Options(false, true, false)));
  EXPECT_EQ(L" 0:00", timetext::MakeTimeText(At(0, 0, 0), false, Options(false, false, false)));
}

TEST(TimeText, TwelveHourClockHasNoZeroHourAndNoMark) {
  const auto twelve = Options(true, false, false);
  EXPECT_EQ(L"12:30", timetext::MakeTimeText(At(0, 30, 0), false, twelve));
  EXPECT_EQ(L"12:30", timetext::MakeTimeText(At(12, 30, 0), false, twelve));
  EXPECT_EQ(L" 1:00", timetext::MakeTimeText(At(13, 0, 0), false, twelve));
  EXPECT_EQ(L"11:59", timetext::MakeTimeText(At(23, 59, 0), false, twelve));
  EXPECT_EQ(L"11:59", timetext::MakeTimeText(At(11, 59, 0), false, twelve));
}

TEST(TimeText, BlinkPhaseBlanksSeparatorsOnlyWhenBlinkIsOn) {
  EXPECT_EQ(L"10 20 30", timetext::MakeTimeText(At(10, 20, 30), true, Options(false, true, true)));
  EXPECT_EQ(L"10:20:30", timetext::MakeTimeText(At(10, 20, 30), false, Options(false, true, true)));
  EXPECT_EQ(L"10:20:30", timetext::MakeTimeText(At(10, 20, 30), true, Options(false, true, false)));
  EXPECT_EQ(L"10 20", timetext::MakeTimeText(At(10, 20, 30), true, Options(false, false, true)));
}

TEST(DateText, AllEightLayouts) {
  const SYSTEMTIME tuesday = OnDay(2024, 3, 5, 2);
  EXPECT_EQ(L"2024年3月5日(火)", timetext::MakeDateText(tuesday, 0));
  EXPECT_EQ(L"2024年3月5日", timetext::MakeDateText(tuesday, 1));
  EXPECT_EQ(L"3月5日(火)", timetext::MakeDateText(tuesday, 2));
  EXPECT_EQ(L"3月5日", timetext::MakeDateText(tuesday, 3));
  EXPECT_EQ(L"2024/3/5(火)", timetext::MakeDateText(tuesday, 4));
  EXPECT_EQ(L"2024/3/5", timetext::MakeDateText(tuesday, 5));
  EXPECT_EQ(L"3/5(火)", timetext::MakeDateText(tuesday, 6));
  EXPECT_EQ(L"3/5", timetext::MakeDateText(tuesday, 7));
}

TEST(DateText, YearAlwaysFourDigitsMonthAndDayNeverPadded) {
  EXPECT_EQ(L"0987/1/1", timetext::MakeDateText(OnDay(987, 1, 1, 0), 5));
  EXPECT_EQ(L"2024年12月31日(火)", timetext::MakeDateText(OnDay(2024, 12, 31, 2), 0));
}

TEST(DateText, UnknownFormatsReadAsFormatOne) {
  const SYSTEMTIME tuesday = OnDay(2024, 3, 5, 2);
  for (int format : {8, -1, 1000, INT_MIN}) {
    EXPECT_EQ(L"2024年3月5日", timetext::MakeDateText(tuesday, format)) << format;
    EXPECT_EQ(L"0000年00月00日", timetext::DateSampleText(format, L'0', 0)) << format;
  }
}

TEST(DateText, WeekdaySuffixFollowsTheTableOfTheLanguage) {
  const struct {
    UiLanguage language;
    const wchar_t* days[7];
    const wchar_t* yearMonthDay;
  } languages[] = {
      {UiLanguage::kJapanese, {L"(日)", L"(月)", L"(火)", L"(水)", L"(木)", L"(金)", L"(土)"}, L"2024年3月5日(火)"},
      {UiLanguage::kEnglish,
       {L"(Sun)", L"(Mon)", L"(Tue)", L"(Wed)", L"(Thu)", L"(Fri)", L"(Sat)"},
       L"2024年3月5日(Tue)"},
  };
  for (const auto& each : languages) {
    testing_support::ScopedUiLanguage language(each.language);
    for (WORD day = 0; day < 7; ++day) {
      EXPECT_EQ(std::wstring(L"3/5") + each.days[day], timetext::MakeDateText(OnDay(2024, 3, 5, day), 6));
    }
    // The layout is the user's choice: only the weekday follows the language.
    EXPECT_EQ(each.yearMonthDay, timetext::MakeDateText(OnDay(2024, 3, 5, 2), 0));
  }
  // A day outside the table leaves the parentheses empty rather than failing.
  EXPECT_EQ(L"3/5()", timetext::MakeDateText(OnDay(2024, 3, 5, 7), 6));
  EXPECT_EQ(L"", timetext::WeekdayName(-1));
  EXPECT_EQ(L"", timetext::WeekdayName(7));
  EXPECT_EQ(L"日", timetext::WeekdayName(0));
}

TEST(DateText, SamplesAreAtLeastAsLongAsAnyDateInTheirLayout) {
  const SYSTEMTIME widest = OnDay(2999, 12, 28, 3);
  for (int format = 0; format < 8; ++format) {
    const std::wstring sample = timetext::DateSampleText(format, L'4', 3);
    const std::wstring date = timetext::MakeDateText(widest, format);
    EXPECT_EQ(date.size(), sample.size()) << format;
    // Same characters in the same places, except that every digit is the
    // one asked for.
    for (size_t i = 0; i < date.size() && i < sample.size(); ++i) {
      EXPECT_EQ(iswdigit(date[i]) ? L'4' : date[i], sample[i]) << format << " at " << i;
    }
  }
  EXPECT_EQ(L"0000年00月00日(月)", timetext::DateSampleText(0, L'0', 1));
  EXPECT_EQ(L"88/88", timetext::DateSampleText(7, L'8', 0));
}

TEST(SyncText, TheTipSaysHowFarAndHowSureOrWhatWentWrongInBothLanguages) {
  using sntp::SyncState;
  constexpr std::int64_t kMs = sntp::kTicksPerMs;
  struct Row {
    SyncState state;
    std::int64_t offsetMs;  // INT_MIN: nothing measured
    std::int64_t delayMs;
    bool applied;
    const wchar_t* english;
    const wchar_t* japanese;
  };
  const Row rows[] = {
      {SyncState::kNoAnswerYet, INT_MIN, 0, false, L"Asking srv for the time", L"srv に時刻を問い合わせています"},
      {SyncState::kSynced, 2345, 24, true, L"Windows' clock is 2.3 s behind (srv, \x00B1" L"12 ms)",
       L"Windowsの時計は 2.3秒 遅れています（srv、誤差 ±12ミリ秒）"},
      {SyncState::kSynced, -400, 1, true, L"Windows' clock is 400 ms ahead (srv, \x00B1" L"1 ms)",
       L"Windowsの時計は 400ミリ秒 進んでいます（srv、誤差 ±1ミリ秒）"},
      {SyncState::kSynced, -9, 30, true, L"Windows' clock agrees with srv (\x00B1" L"15 ms)",
       L"Windowsの時計は srv と合っています（誤差 ±15ミリ秒）"},
      {SyncState::kSynced, 999, 0, true, L"Windows' clock is 999 ms behind (srv, \x00B1" L"1 ms)",
       L"Windowsの時計は 999ミリ秒 遅れています（srv、誤差 ±1ミリ秒）"},
      {SyncState::kSynced, 725000, 40, true, L"Windows' clock is 12 min 5 s behind (srv, \x00B1" L"20 ms)",
       L"Windowsの時計は 12分5秒 遅れています（srv、誤差 ±20ミリ秒）"},
      {SyncState::kOutOfBounds, -12030000, 40, false,
       L"Windows' clock is 3 h 21 min ahead (srv, \x00B1" L"20 ms): too far off to correct",
       L"Windowsの時計は 3時間21分 進んでいます（srv、誤差 ±20ミリ秒）。ずれが大きすぎるため補正しません"},
      {SyncState::kUnreachable, 1500, 10, true, L"No answer from srv: still correcting by 1.5 s",
       L"srv から応答がありません。前回のずれ（1.5秒）で補正を続けます"},
      {SyncState::kUnreachable, 1500, 10, false, L"srv cannot be reached: showing Windows' time",
       L"srv に接続できません。Windowsの時刻を表示しています"},
      {SyncState::kRefused, INT_MIN, 0, false, L"srv refused to answer: showing Windows' time",
       L"srv に拒否されました。Windowsの時刻を表示しています"},
  };
  for (const Row& row : rows) {
    sntp::SyncStatus status;
    status.state = row.state;
    status.applied = row.applied;
    if (row.offsetMs != INT_MIN) status.measured = sntp::Measurement{row.offsetMs * kMs, row.delayMs * kMs, 0};
    EXPECT_EQ(row.english, synctext::StatusLine(status, L"srv", UiLanguage::kEnglish)) << row.offsetMs;
    EXPECT_EQ(row.japanese, synctext::StatusLine(status, L"srv", UiLanguage::kJapanese)) << row.offsetMs;
  }

  // Off, the tip is the program's name; on, the name and the line below,
  // cut with a long server's name to what szTip holds.
  EXPECT_EQ(L"Horavel", synctext::TrayTip(L"", UiLanguage::kEnglish));
  EXPECT_EQ(L"Horavel\nAsking srv for the time", synctext::TrayTip(L"Asking srv for the time", UiLanguage::kEnglish));
  sntp::SyncStatus distant;
  distant.state = SyncState::kOutOfBounds;
  distant.measured = sntp::Measurement{-99999999 * kMs, 999 * kMs, 0};
  const std::wstring longName(300, L'n');
  for (const UiLanguage language : {UiLanguage::kEnglish, UiLanguage::kJapanese}) {
    const std::wstring tip = synctext::TrayTip(synctext::StatusLine(distant, longName, language), language);
    EXPECT_LE(tip.size(), synctext::kTipLength);
    EXPECT_NE(std::wstring::npos, tip.find(std::wstring(synctext::kServerInTipLength - 1, L'n') + L"\x2026"));
    EXPECT_EQ(L"Horavel\n", tip.substr(0, 8));
  }
}
