#pragma once
// The texts the clock and the date show, made afresh from the local time on
// every paint, and the fixed samples that size the windows.

#include <windows.h>

#include <string>

namespace timetext {

struct ClockTextOptions {
  bool hour12 = false;
  bool dispSecond = true;
  bool blink = true;
};

// " 9:05" or " 9:05:07": the hour in two places, the separator at 2 (and 5),
// minutes at 3 and 4, seconds at 6 and 7. With blink on and the phase true
// the separators are spaces.
std::wstring MakeTimeText(const SYSTEMTIME& time, bool blinkPhase, const ClockTextOptions& options);

// The date in one of the eight layouts; an unknown format reads as 1.
std::wstring MakeDateText(const SYSTEMTIME& time, int dateFormat);

// date_format 0 ... 7 as it is; anything else reads as 1.
int KnownDateFormat(int dateFormat);

// The date layout with every digit `digit`, two-digit months and days and
// the weekday `dayOfWeek`: with the widest digit and weekday, at least as
// wide as any real date in that layout.
std::wstring DateSampleText(int dateFormat, wchar_t digit, int dayOfWeek);

// "日" ... "土" ("Sun" ... "Sat" in English) for 0 ... 6; empty outside.
std::wstring WeekdayName(int dayOfWeek);

}  // namespace timetext
