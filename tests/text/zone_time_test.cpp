// The world clocks' lines from Windows' own zone data: the time in a zone at
// a moment, through the hours that go wrong.

#include "text/zone_time.h"

#include <gtest/gtest.h>

#include "comlib/time_zones.h"
#include "support/test_support.h"

namespace {

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  return testing_support::MakeTime(year, month, day, 0, hour, minute, 0);
}

struct PlaceCase {
  const wchar_t* zone;
  SYSTEMTIME utc;
  bool hour12;
  const wchar_t* english;
  const wchar_t* japanese;
};

}  // namespace

TEST(PlaceTime, ZoneDataGivesTheTimeThereThroughEveryChange) {
  // The local date the markers compare with is UTC's, so each row reads the
  // same on any machine.
  const PlaceCase cases[] = {
      // Spring forward and fall back in the north: London at 01:00 UTC.
      {L"GMT Standard Time", Utc(2026, 3, 29, 0, 59), false, L"P 0:59", L"P 0:59"},
      {L"GMT Standard Time", Utc(2026, 3, 29, 1, 0), false, L"P 2:00", L"P 2:00"},
      {L"GMT Standard Time", Utc(2026, 10, 25, 0, 59), false, L"P 1:59", L"P 1:59"},
      {L"GMT Standard Time", Utc(2026, 10, 25, 1, 0), false, L"P 1:00", L"P 1:00"},
      // And in the south, Sydney, where both fall on the next day's date.
      {L"AUS Eastern Standard Time", Utc(2026, 4, 4, 15, 59), false, L"P 2:59 +1", L"P 2:59 +1日"},
      {L"AUS Eastern Standard Time", Utc(2026, 4, 4, 16, 0), false, L"P 2:00 +1", L"P 2:00 +1日"},
      {L"AUS Eastern Standard Time", Utc(2026, 10, 3, 15, 59), false, L"P 1:59 +1", L"P 1:59 +1日"},
      {L"AUS Eastern Standard Time", Utc(2026, 10, 3, 16, 0), false, L"P 3:00 +1", L"P 3:00 +1日"},
      // Half and three-quarter hours, with and without daylight saving.
      {L"India Standard Time", Utc(2026, 12, 31, 18, 29), false, L"P 23:59", L"P 23:59"},
      {L"India Standard Time", Utc(2026, 12, 31, 18, 30), false, L"P 0:00 +1", L"P 0:00 +1日"},
      {L"Nepal Standard Time", Utc(2026, 6, 15, 12, 0), false, L"P 17:45", L"P 17:45"},
      {L"Newfoundland Standard Time", Utc(2026, 7, 1, 12, 0), false, L"P 9:30", L"P 9:30"},
      {L"Newfoundland Standard Time", Utc(2026, 1, 15, 12, 0), false, L"P 8:30", L"P 8:30"},
      // No daylight saving; twelve-hour hours; behind across the year's end.
      {L"Tokyo Standard Time", Utc(2026, 7, 1, 5, 30), true, L"P 2:30 PM", L"P 午後2:30"},
      {L"Tokyo Standard Time", Utc(2026, 7, 1, 15, 0), true, L"P 12:00 AM +1", L"P 午前12:00 +1日"},
      {L"Hawaiian Standard Time", Utc(2027, 1, 1, 5, 0), false, L"P 19:00 -1", L"P 19:00 -1日"},
  };
  const auto home = timezones::Find(L"UTC");
  ASSERT_TRUE(home.has_value());
  ZoneClock_CL homeClock(*home);
  for (const PlaceCase& place : cases) {
    const auto zone = timezones::Find(place.zone);
    ASSERT_TRUE(zone.has_value()) << place.zone;
    ZoneClock_CL clock(*zone);
    SYSTEMTIME there{};
    SYSTEMTIME here{};
    ASSERT_TRUE(clock.LocalAt(place.utc, &there)) << place.zone;
    ASSERT_TRUE(homeClock.LocalAt(place.utc, &here));
    for (const auto& [language, expected] :
         {std::pair{UiLanguage::kEnglish, place.english}, std::pair{UiLanguage::kJapanese, place.japanese}}) {
      testing_support::ScopedUiLanguage scoped(language);
      EXPECT_EQ(expected, zonetext::PlaceLine(L"P", there, here, place.hour12))
          << place.zone << " at " << place.utc.wMonth << "/" << place.utc.wDay << " " << place.utc.wHour << ":"
          << place.utc.wMinute;
    }
  }
}

TEST(PlaceTime, ZonesAreWindowsOwnAndAFewNamesGiveTheirDefaultLabels) {
  const std::vector<TimeZoneEntry> zones = timezones::List();
  ASSERT_GT(zones.size(), 50u);
  // West to east, as Windows lists them.
  EXPECT_GE(zones.front().bias, zones.back().bias);
  EXPECT_FALSE(timezones::Find(L"Atlantis Standard Time").has_value());
  EXPECT_FALSE(timezones::Find(L"..\\Tokyo Standard Time").has_value());
  EXPECT_EQ(L"Tokyo", zonetext::ShortName(L"(UTC+09:00) Osaka, Sapporo, Tokyo"));
  EXPECT_EQ(L"Eastern Time", zonetext::ShortName(L"(UTC-05:00) Eastern Time (US & Canada)"));
  EXPECT_EQ(L"Yangon", zonetext::ShortName(L"(UTC+06:30) Yangon (Rangoon)"));
  EXPECT_EQ(std::wstring(zonetext::kMaxLabelLength, L'x'), zonetext::CleanLabel(L" \tx\r\n" + std::wstring(99, L'x')));
}
