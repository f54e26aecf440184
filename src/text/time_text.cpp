#include "text/time_text.h"

#include "comlib/ui_text.h"
#include "comlib/wide_format.h"

namespace timetext {

namespace {

constexpr size_t kTimeTextLimit = 260;
// The date text's buffer, terminating NUL included.
constexpr size_t kDateTextLimit = 64;
// "(Wed)" and the terminating NUL.
constexpr size_t kWeekdaySuffixRoom = 6;
constexpr int kDateFormatCount = 8;
constexpr int kDaysOfWeek = 7;

// The eight date layouts; the even ones carry the weekday, in the language
// of the other texts. The layouts themselves are the user's choice and stay
// as they are in every language.
const wchar_t* const kDateFormats[kDateFormatCount] = {
    L"%04d年%d月%d日", L"%04d年%d月%d日", L"%d月%d日", L"%d月%d日",
    L"%04d/%d/%d",     L"%04d/%d/%d",     L"%d/%d",    L"%d/%d",
};

bool HasYear(int dateFormat) { return dateFormat == 0 || dateFormat == 1 || dateFormat == 4 || dateFormat == 5; }
bool HasWeekday(int dateFormat) { return dateFormat % 2 == 0; }

int DisplayHour(int hour, bool hour12) {
  if (!hour12) return hour;
  const int twelveHour = hour % 12;
  return twelveHour == 0 ? 12 : twelveHour;
}

}  // namespace

int KnownDateFormat(int dateFormat) {
  constexpr unsigned kLastFormat = kDateFormatCount - 1;
  constexpr int kDefaultFormat = 1;
  // Compared unsigned, so negative numbers are out of range too.
  return static_cast<unsigned>(dateFormat) <= kLastFormat ? dateFormat : kDefaultFormat;
}

std::wstring MakeTimeText(const SYSTEMTIME& time, bool blinkPhase, const ClockTextOptions& options) {
  const wchar_t* separator = blinkPhase && options.blink ? L" " : L":";
  std::wstring text = comlib::FormatWide(kTimeTextLimit, L"%2d%s%02d", DisplayHour(time.wHour, options.hour12),
                                         separator, static_cast<int>(time.wMinute));
  if (options.dispSecond) {
    text += comlib::FormatWide(kTimeTextLimit, L"%s%02d", separator, static_cast<int>(time.wSecond));
  }
  return text;
}

std::wstring MakeDateText(const SYSTEMTIME& time, int dateFormat) {
  const int format = KnownDateFormat(dateFormat);
  const int month = time.wMonth;
  const int day = time.wDay;
  std::wstring text = HasYear(format)
                          ? comlib::FormatWide(kDateTextLimit, kDateFormats[format], static_cast<int>(time.wYear),
                                               month, day)
                          : comlib::FormatWide(kDateTextLimit, kDateFormats[format], month, day);
  if (HasWeekday(format) && !text.empty() && text.size() + kWeekdaySuffixRoom < kDateTextLimit) {
    text += comlib::FormatWide(kDateTextLimit - text.size(), L"(%s)", WeekdayName(time.wDayOfWeek).c_str());
  }
  return text;
}

std::wstring DateSampleText(int dateFormat, wchar_t digit, int dayOfWeek) {
  // Month and day 88 give two digits each in every layout.
  SYSTEMTIME eights{};
  eights.wYear = 8888;
  eights.wMonth = 88;
  eights.wDay = 88;
  eights.wDayOfWeek = static_cast<WORD>(dayOfWeek);
  std::wstring sample = MakeDateText(eights, dateFormat);
  for (wchar_t& c : sample) {
    if (c == L'8') c = digit;
  }
  return sample;
}

std::wstring WeekdayName(int dayOfWeek) {
  if (dayOfWeek < 0 || dayOfWeek >= kDaysOfWeek) return std::wstring();
  return UiText(NextTextId(TextId::kSunday, dayOfWeek));
}

}  // namespace timetext
