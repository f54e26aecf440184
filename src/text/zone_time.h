#pragma once
// The world clocks' lines: a place's label, its time and, when its date is
// not the local one, how many days it is ahead or behind ("London 14:05",
// "Tokyo 23:05 +1"). Plain text from plain times; the zone arithmetic lives
// in comlib/time_zones.

#include <windows.h>

#include <string>

namespace zonetext {

// The longest label a place keeps: a word or two, not a paragraph.
constexpr size_t kMaxLabelLength = 32;

// Whole days the place's date lies ahead of the local date (negative behind).
int DaysAhead(const SYSTEMTIME& there, const SYSTEMTIME& here);

// The time there as the clock shows hours: 24-hour "9:05", or 12-hour with
// its half of the day ("9:05 PM", "午後9:05").
std::wstring TimeText(const SYSTEMTIME& there, bool hour12);

// One line: the label, the time there, and the day marker when the dates differ.
std::wstring PlaceLine(const std::wstring& label, const SYSTEMTIME& there, const SYSTEMTIME& here, bool hour12);

// A line as wide as any the label can show: the widest digit in every place
// of the time, the longer half-day mark, a day marker.
std::wstring WidestLine(const std::wstring& label, wchar_t widestDigit, bool hour12);

// A short name for a zone from its display name: the last place it lists,
// without the offset in front or a note in brackets behind
// ("(UTC+09:00) Osaka, Sapporo, Tokyo" gives "Tokyo").
std::wstring ShortName(const std::wstring& displayName);

// A label as a place keeps it: no control characters, blanks at the ends
// trimmed, at most kMaxLabelLength characters.
std::wstring CleanLabel(const std::wstring& label);

}  // namespace zonetext
