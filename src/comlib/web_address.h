#pragma once
// Web addresses as the program meets them: where the version file lies,
// where a redirect leads, and what may go to the shell.

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>

struct WebAddress {
  std::wstring host;
  INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
  std::wstring path;
  bool secure = false;  // https
};

namespace webaddress {

// Only letters, digits and signs: no blank, control or non-ASCII character.
bool IsPrintableAscii(const std::wstring& text);

// "http://host[:port]/path" or "https://host[:port]/path"; nothing for any
// other form.
std::optional<WebAddress> Parse(const std::wstring& url);

// Where a redirect from `from` with this Location leads: another http:// or
// https:// address, or a path on the same server; nothing for anything else.
std::optional<WebAddress> RedirectTarget(const WebAddress& from, const std::wstring& location);

// True for a name of this machine itself: "localhost" or 127.x.x.x.
bool IsLoopbackHost(const std::wstring& host);

// True when what comes from the address may be trusted: https://, or plain
// http:// to this machine (a test server). Anywhere else, anyone on the way
// could read and change what plain http carries.
bool IsTrustedChannel(const WebAddress& address);

}  // namespace webaddress
