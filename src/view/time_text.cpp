#include "view/time_text.h"

namespace timetext {
const wchar_t* const kTimeSamples[5] = {L"88", L"88:", L"88:88", L"88:88:", L"88:88:88"};
std::wstring MakeTimeText(const SYSTEMTIME&, bool, const ClockTextOptions&) { return std::wstring(); }
std::wstring MakeDateText(const SYSTEMTIME&, int) { return std::wstring(); }
std::wstring DateSampleText(int) { return std::wstring(); }
std::wstring WeekdayName(int) { return std::wstring(); }
}  // namespace timetext
