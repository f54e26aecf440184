#include "comlib/web_address.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace webaddress {

namespace {

constexpr wchar_t kHttpScheme[] = L"http://";
constexpr wchar_t kHttpsScheme[] = L"https://";
constexpr wchar_t kDigits[] = L"0123456789";
constexpr std::size_t kMaxPortDigits = 5;
constexpr unsigned long kHighestPort = 65535;
constexpr wchar_t kLoopbackName[] = L"localhost";
// The whole 127.0.0.0/8 block is this machine's.
constexpr unsigned long kLoopbackFirstPart = 127;
constexpr unsigned long kHighestAddressPart = 255;
constexpr int kAddressParts = 4;
constexpr std::size_t kMaxAddressPartDigits = 3;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const std::size_t length = wcslen(prefix);
  return text.size() >= length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

// The port after the host's colon; nothing unless it is 1 to 65535.
std::optional<INTERNET_PORT> ParsePort(const std::wstring& text) {
  if (text.empty() || text.size() > kMaxPortDigits || wcsspn(text.c_str(), kDigits) != text.size()) {
    return std::nullopt;
  }
  const unsigned long number = wcstoul(text.c_str(), nullptr, 10);
  if (number == 0 || number > kHighestPort) return std::nullopt;
  return static_cast<INTERNET_PORT>(number);
}

// The dotted parts of an IPv4 address written as four decimal numbers.
std::optional<std::vector<unsigned long>> AddressParts(const std::wstring& host) {
  std::vector<unsigned long> parts;
  std::size_t start = 0;
  for (int index = 0; index < kAddressParts; ++index) {
    const std::size_t end = index + 1 < kAddressParts ? host.find(L'.', start) : host.size();
    if (end == std::wstring::npos) return std::nullopt;
    const std::wstring part = host.substr(start, end - start);
    if (part.empty() || part.size() > kMaxAddressPartDigits || wcsspn(part.c_str(), kDigits) != part.size()) {
      return std::nullopt;
    }
    parts.push_back(wcstoul(part.c_str(), nullptr, 10));
    if (parts.back() > kHighestAddressPart) return std::nullopt;
    start = end + 1;
  }
  return parts;
}

}  // namespace

bool IsPrintableAscii(const std::wstring& text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c > L' ' && c < 0x7F; });
}

std::optional<WebAddress> Parse(const std::wstring& url) {
  if (!IsPrintableAscii(url)) return std::nullopt;
  WebAddress address;
  address.secure = StartsWithNoCase(url, kHttpsScheme);
  if (!address.secure && !StartsWithNoCase(url, kHttpScheme)) return std::nullopt;
  const std::wstring rest = url.substr(wcslen(address.secure ? kHttpsScheme : kHttpScheme));
  const std::size_t slash = rest.find(L'/');
  const std::wstring authority = rest.substr(0, slash);
  address.path = slash == std::wstring::npos ? L"/" : rest.substr(slash);
  const std::size_t colon = authority.find(L':');
  address.host = authority.substr(0, colon);
  if (address.host.empty()) return std::nullopt;
  address.port = address.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
  if (colon != std::wstring::npos) {
    const std::optional<INTERNET_PORT> port = ParsePort(authority.substr(colon + 1));
    if (!port) return std::nullopt;
    address.port = *port;
  }
  return address;
}

std::optional<WebAddress> RedirectTarget(const WebAddress& from, const std::wstring& location) {
  // "/path" stays on the server; "//host/path" would leave it without naming a scheme.
  if (!location.empty() && location[0] == L'/' && location.compare(0, 2, L"//") != 0) {
    if (!IsPrintableAscii(location)) return std::nullopt;
    WebAddress next = from;
    next.path = location;
    return next;
  }
  return Parse(location);
}

bool IsLoopbackHost(const std::wstring& host) {
  if (_wcsicmp(host.c_str(), kLoopbackName) == 0) return true;
  const std::optional<std::vector<unsigned long>> parts = AddressParts(host);
  return parts && parts->front() == kLoopbackFirstPart;
}

bool IsTrustedChannel(const WebAddress& address) { return address.secure || IsLoopbackHost(address.host); }

}  // namespace webaddress
