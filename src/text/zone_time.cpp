#include "text/zone_time.h"

#include <algorithm>

#include "comlib/ui_text.h"
#include "comlib/wide_format.h"

namespace zonetext {

namespace {

constexpr size_t kTimeTextLimit = 16;
constexpr int kNoon = 12;

// Days since a fixed origin for a civil date (proleptic Gregorian).
long DayNumber(const SYSTEMTIME& date) {
  const long year = static_cast<long>(date.wYear) - (date.wMonth <= 2 ? 1 : 0);
  const long era = year / 400;
  const long yearOfEra = year - era * 400;
  const long month = date.wMonth;
  const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + date.wDay - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra;
}

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring DayMarker(int daysAhead) {
  if (daysAhead == 0) return std::wstring();
  const std::wstring count = std::to_wstring(daysAhead > 0 ? daysAhead : -daysAhead);
  return UiTextWith(daysAhead > 0 ? TextId::kZoneDaysAhead : TextId::kZoneDaysBehind, {count});
}

}  // namespace

int DaysAhead(const SYSTEMTIME& there, const SYSTEMTIME& here) {
  return static_cast<int>(DayNumber(there) - DayNumber(here));
}

std::wstring TimeText(const SYSTEMTIME& there, bool hour12) {
  if (!hour12) {
    return comlib::FormatWide(kTimeTextLimit, L"%d:%02d", static_cast<int>(there.wHour),
                              static_cast<int>(there.wMinute));
  }
  const int hour = there.wHour % kNoon == 0 ? kNoon : there.wHour % kNoon;
  const std::wstring time = comlib::FormatWide(kTimeTextLimit, L"%d:%02d", hour, static_cast<int>(there.wMinute));
  return UiTextWith(there.wHour < kNoon ? TextId::kZoneMorning : TextId::kZoneAfternoon, {time});
}

std::wstring PlaceLine(const std::wstring& label, const SYSTEMTIME& there, const SYSTEMTIME& here, bool hour12) {
  std::wstring line = label.empty() ? std::wstring() : label + L" ";
  line += TimeText(there, hour12);
  const std::wstring marker = DayMarker(DaysAhead(there, here));
  return marker.empty() ? line : line + L" " + marker;
}

std::wstring WidestLine(const std::wstring& label, wchar_t widestDigit, bool hour12) {
  SYSTEMTIME morning{};
  morning.wHour = 10;
  SYSTEMTIME afternoon = morning;
  afternoon.wHour = 22;
  std::wstring time = TimeText(morning, hour12);
  const std::wstring later = TimeText(afternoon, hour12);
  if (later.size() > time.size()) time = later;
  std::replace_if(time.begin(), time.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }, widestDigit);
  std::wstring line = label.empty() ? std::wstring() : label + L" ";
  return line + time + L" " + DayMarker(1);
}

std::wstring ShortName(const std::wstring& displayName) {
  std::wstring name = displayName;
  // "(UTC+09:00) " in front.
  if (!name.empty() && name[0] == L'(') {
    const size_t close = name.find(L')');
    if (close != std::wstring::npos) name.erase(0, close + 1);
  }
  const size_t comma = name.rfind(L',');
  if (comma != std::wstring::npos) name.erase(0, comma + 1);
  // " (US & Canada)" behind.
  const size_t open = name.find(L'(');
  if (open != std::wstring::npos && open > 0) name.erase(open);
  return CleanLabel(name);
}

std::wstring CleanLabel(const std::wstring& label) {
  std::wstring clean;
  for (wchar_t c : label) {
    if (c >= L' ' && c != 0x7F) clean.push_back(c);
  }
  clean = Trimmed(clean);
  if (clean.size() > kMaxLabelLength) {
    // Never half of a character that takes two code units.
    size_t cut = kMaxLabelLength;
    if (IS_LOW_SURROGATE(clean[cut])) --cut;
    clean = Trimmed(clean.substr(0, cut));
  }
  return clean;
}

}  // namespace zonetext
