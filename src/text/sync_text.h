#pragma once
// What the user reads about network time: the notification icon's tip and
// the network time page's lines. Plain text from the client's status, in
// the language given; the window code only puts them up.

#include <windows.h>

#include <string>

#include "comlib/sntp_policy.h"
#include "comlib/ui_text.h"

namespace synctext {

// NOTIFYICONDATA's szTip holds 128 characters with the terminating zero.
constexpr size_t kTipLength = 127;
// A longer server name is cut in the tip, so that the rest still fits.
constexpr size_t kServerInTipLength = 40;

// How long a span is, as people say it: "400 ms", "2.3 s", "12 min 5 s",
// "3 h 20 min" (ミリ秒, 秒, 分, 時間). The sign is dropped.
std::wstring SpanText(std::int64_t ticks, UiLanguage language);

// One sentence on how Windows' clock stands against the server, and how
// sure that is: "Windows' clock is 2.3 s behind (time.windows.com, ±12 ms)",
// or that the server is being asked, cannot be reached or refused.
std::wstring StatusLine(const sntp::SyncStatus& status, const std::wstring& server, UiLanguage language);

// The icon's tip: the program's name, and below it the status line when
// network time is on, cut to fit.
std::wstring TrayTip(const std::wstring& statusLine, UiLanguage language);

// The page's lines on the last measurement: the round trip, and when it
// was taken (`measuredAt`, local time); both say so when there is none.
std::wstring DelayLine(const sntp::SyncStatus& status, UiLanguage language);
std::wstring MeasuredLine(const sntp::SyncStatus& status, const SYSTEMTIME& measuredAt, UiLanguage language);

}  // namespace synctext
