#include "text/sync_text.h"

#include <cwchar>
#include <iterator>

namespace synctext {

namespace {

using sntp::kTicksPerMs;
using sntp::kTicksPerSecond;
using sntp::SyncState;
constexpr std::int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr wchar_t kEllipsis[] = L"\x2026";

std::wstring Number(std::int64_t value) { return std::to_wstring(value); }

std::int64_t Magnitude(std::int64_t ticks) { return ticks < 0 ? 0 - ticks : ticks; }

// Rounded to the nearest unit.
std::int64_t In(std::int64_t ticks, std::int64_t unit) { return (ticks + unit / 2) / unit; }

std::wstring Text(TextId id, std::initializer_list<std::wstring> values, UiLanguage language) {
  return UiTextWith(id, language, values);
}

std::wstring Cut(const std::wstring& text, size_t length) {
  return text.size() <= length ? text : text.substr(0, length - 1) + kEllipsis;
}

// What the offset is sure to: half the round trip, at least a millisecond.
std::wstring Uncertainty(const sntp::Measurement& measured, UiLanguage language) {
  const std::int64_t half = measured.delayTicks / 2;
  return SpanText(half < kTicksPerMs ? kTicksPerMs : half, language);
}

// How far Windows' clock is from the server: the server's time minus
// Windows' is positive when Windows' clock is behind.
std::wstring OffsetSentence(const sntp::Measurement& measured, const std::wstring& server, UiLanguage language) {
  const std::wstring sure = Uncertainty(measured, language);
  const std::int64_t offset = measured.offsetTicks;
  if (Magnitude(offset) <= measured.delayTicks / 2 || In(Magnitude(offset), kTicksPerMs) == 0) {
    return Text(TextId::kTimeSyncAgrees, {server, sure}, language);
  }
  return Text(offset > 0 ? TextId::kTimeSyncBehind : TextId::kTimeSyncAhead,
              {SpanText(offset, language), server, sure}, language);
}

}  // namespace

std::wstring SpanText(std::int64_t ticks, UiLanguage language) {
  const std::int64_t span = Magnitude(ticks);
  if (In(span, kTicksPerMs) < 1000) return Text(TextId::kSpanMs, {Number(In(span, kTicksPerMs))}, language);
  const std::int64_t tenths = In(span, kTicksPerSecond / 10);
  if (tenths < 600) {
    return Text(TextId::kSpanSeconds, {Number(tenths / 10) + L"." + Number(tenths % 10)}, language);
  }
  const std::int64_t seconds = In(span, kTicksPerSecond);
  if (seconds < 3600) return Text(TextId::kSpanMinutes, {Number(seconds / 60), Number(seconds % 60)}, language);
  const std::int64_t minutes = In(span, kTicksPerMinute);
  return Text(TextId::kSpanHours, {Number(minutes / 60), Number(minutes % 60)}, language);
}

std::wstring StatusLine(const sntp::SyncStatus& status, const std::wstring& serverName, UiLanguage language) {
  const std::wstring server = Cut(serverName, kServerInTipLength);
  switch (status.state) {
    case SyncState::kNoAnswerYet:
      return Text(TextId::kTimeSyncAsking, {server}, language);
    case SyncState::kSynced:
      if (status.measured) return OffsetSentence(*status.measured, server, language);
      break;
    case SyncState::kOutOfBounds:
      if (status.measured) {
        return OffsetSentence(*status.measured, server, language) + Text(TextId::kTimeSyncTooFar, {}, language);
      }
      break;
    case SyncState::kUnreachable:
      if (status.applied) {
        return Text(TextId::kTimeSyncHeld, {server, SpanText(status.OffsetToApply(), language)}, language);
      }
      return Text(TextId::kTimeSyncUnreachable, {server}, language);
    case SyncState::kRefused:
      return Text(TextId::kTimeSyncRefused, {server}, language);
  }
  return Text(TextId::kTimeSyncAsking, {server}, language);
}

std::wstring TrayTip(const std::wstring& statusLine, UiLanguage language) {
  const std::wstring name = Text(TextId::kTrayTip, {}, language);
  return statusLine.empty() ? name : Cut(name + L"\n" + statusLine, kTipLength);
}

std::wstring DelayLine(const sntp::SyncStatus& status, UiLanguage language) {
  if (!status.measured) return Text(TextId::kTimeSyncDelay, {L"-"}, language);
  return Text(TextId::kTimeSyncDelay, {SpanText(status.measured->delayTicks, language)}, language);
}

std::wstring MeasuredLine(const sntp::SyncStatus& status, const SYSTEMTIME& measuredAt, UiLanguage language) {
  if (!status.measured) return Text(TextId::kTimeSyncMeasuredAt, {L"-"}, language);
  wchar_t when[32] = {};
  swprintf(when, std::size(when), L"%04u/%02u/%02u %02u:%02u:%02u", measuredAt.wYear, measuredAt.wMonth,
           measuredAt.wDay, measuredAt.wHour, measuredAt.wMinute, measuredAt.wSecond);
  return Text(TextId::kTimeSyncMeasuredAt, {when}, language);
}

}  // namespace synctext
