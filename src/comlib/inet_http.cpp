#include "comlib/inet_http.h"

#include <algorithm>
#include <cwchar>
#include <type_traits>
#include <utility>

#include "comlib/log_file.h"

namespace {

// The ideographic space between "Internet" and "Explorer" is part of the name.
constexpr wchar_t kUserAgent[] = L"Microsoft Internet\u3000Explorer";
constexpr wchar_t kVerb[] = L"GET";
// Always fetched from the server, never kept in the cache. Redirects are
// the caller's to follow, so that it can vet and count them. Nothing of the
// user's goes out: no cookies, no answer to a logon challenge, and no
// WinINet dialog comes up. No INTERNET_FLAG_IGNORE_CERT_* and no security
// option ever: a certificate Windows does not trust fails the request.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_UI;
constexpr DWORD kLengthHeaderBytes = 256;
// One try per address: a host that does not answer must not be tried again.
constexpr DWORD kConnectRetries = 1;

constexpr DWORD kSystemTextFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_MAX_WIDTH_MASK;

std::wstring SystemErrorText(DWORD code) {
  comlib::UniqueLocal<wchar_t*> text;
  const DWORD length = FormatMessageW(kSystemTextFlags, nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
  return length != 0 && text ? std::wstring(text.get(), length) : std::wstring();
}

// Logs the failed call named in the format with the thread's last error.
#define LOG_INET_FAILURE(format)                                                            \
  do {                                                                                      \
    const DWORD code = inethttp::LoggedErrorCode(GetLastError());                           \
    HORAVEL_LOG(format, static_cast<unsigned>(code), SystemErrorText(code).c_str());        \
  } while (false)

}  // namespace

namespace inethttp {

DWORD LoggedErrorCode(DWORD lastError) {
  const LONG signedError = static_cast<LONG>(lastError);
  if (signedError <= 0) return lastError;
  return static_cast<DWORD>(HRESULT_FROM_WIN32(lastError));
}

long ParseContentLength(const wchar_t* headerText) { return std::wcstol(headerText, nullptr, 10); }

bool IsAcceptableLength(long length, std::size_t limit) {
  return length >= 0 && static_cast<unsigned long>(length) <= limit;
}

}  // namespace inethttp

WinInet_CL::WinInet_CL() : library_(L"wininet.dll") {
  bool complete = library_.IsLoaded();
  const auto bind = [&](auto& function, const char* name) {
    function = library_.GetFunctionAs<std::remove_reference_t<decltype(function)>>(name);
    complete = complete && function != nullptr;
  };
  bind(InternetOpenW, "InternetOpenW");
  bind(InternetConnectW, "InternetConnectW");
  bind(InternetSetOptionW, "InternetSetOptionW");
  bind(HttpOpenRequestW, "HttpOpenRequestW");
  bind(HttpSendRequestW, "HttpSendRequestW");
  bind(HttpQueryInfoW, "HttpQueryInfoW");
  bind(InternetReadFile, "InternetReadFile");
  bind(InternetCloseHandle, "InternetCloseHandle");
  loaded_ = complete;
}

InetHttp_CL::~InetHttp_CL() = default;

comlib::UniqueInternetHandle InetHttp_CL::Own(HINTERNET handle) const {
  return comlib::UniqueInternetHandle(handle, comlib::InternetHandleCloser{inet_.InternetCloseHandle});
}

void InetHttp_CL::SetTimeouts(HINTERNET handle) const {
  DWORD timeout = kTimeoutMs;
  inet_.InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
  inet_.InternetSetOptionW(handle, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
  inet_.InternetSetOptionW(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
  DWORD retries = kConnectRetries;
  inet_.InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof(retries));
}

void InetHttp_CL::Open() {
  if (!inet_.IsLoaded()) {
    HORAVEL_LOG(L"wininet.dllを読み込めません (%u)", static_cast<unsigned>(GetLastError()));
    return;
  }
  root_ = Own(inet_.InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!root_) {
    LOG_INET_FAILURE(L"InternetOpen()エラー = 0x%08x : %s");
    return;
  }
  SetTimeouts(root_.get());
}

HINTERNET InetHttp_CL::Connect(const std::wstring& host, INTERNET_PORT port) {
  request_.reset();
  connection_.reset();
  connection_ =
      Own(inet_.InternetConnectW(root_.get(), host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection_) LOG_INET_FAILURE(L"InternetConnect()エラー = 0x%08x : %s");
  return connection_.get();
}

int InetHttp_CL::Request(const std::wstring& path, bool secure) {
  request_.reset();
  request_ = Own(inet_.HttpOpenRequestW(connection_.get(), kVerb, path.c_str(), nullptr, nullptr, nullptr,
                                        kRequestFlags | (secure ? INTERNET_FLAG_SECURE : 0), 0));
  if (!request_) {
    LOG_INET_FAILURE(L"HttpOpenRequest()エラー = 0x%08x : %s");
    return 0;
  }
  // Wine honours the receive time-out only when it is set on the request.
  SetTimeouts(request_.get());
  if (inet_.HttpSendRequestW(request_.get(), nullptr, 0, nullptr, 0) != TRUE) {
    LOG_INET_FAILURE(L"HttpSendRequest()エラー = 0x%08x : %s");
    return 0;
  }
  wchar_t header[kLengthHeaderBytes / sizeof(wchar_t)] = {};
  DWORD headerBytes = sizeof(header);
  if (!inet_.HttpQueryInfoW(request_.get(), HTTP_QUERY_CONTENT_LENGTH, header, &headerBytes, nullptr)) {
    contentLength_ = kUnknownLength;
    return 1;
  }
  contentLength_ = inethttp::ParseContentLength(header);
  // The length sizes the body buffer: a negative or huge one is a lie.
  if (!inethttp::IsAcceptableLength(contentLength_, bodyLimit_)) {
    HORAVEL_LOG(L"Content-Lengthが不正です = %s", header);
    return 0;
  }
  return 1;
}

DWORD InetHttp_CL::StatusCode() const {
  DWORD status = 0;
  DWORD statusBytes = sizeof(status);
  if (!inet_.HttpQueryInfoW(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusBytes,
                            nullptr)) {
    return 0;
  }
  return status;
}

std::wstring InetHttp_CL::Location() const {
  std::wstring location(kMaxLocationLength + 1, L'\0');
  DWORD locationBytes = static_cast<DWORD>(location.size() * sizeof(wchar_t));
  if (!inet_.HttpQueryInfoW(request_.get(), HTTP_QUERY_LOCATION, location.data(), &locationBytes, nullptr)) {
    return L"";
  }
  location.resize(locationBytes / sizeof(wchar_t));
  return location;
}

long InetHttp_CL::Read(long count) {
  body_.clear();
  if (count == kUnknownLength) return ReadUnknownLength();
  if (!inethttp::IsAcceptableLength(count, bodyLimit_)) return 0;
  body_.assign(static_cast<std::size_t>(count) + 1, '\0');
  DWORD total = 0;
  while (total < static_cast<DWORD>(count)) {
    DWORD read = 0;
    if (!inet_.InternetReadFile(request_.get(), body_.data() + total, static_cast<DWORD>(count) - total, &read)) {
      return 0;
    }
    if (read == 0) break;
    total += read;
  }
  body_.resize(static_cast<std::size_t>(total) + 1);
  body_[total] = '\0';
  return static_cast<long>(total);
}

long InetHttp_CL::ReadUnknownLength() {
  std::vector<char> chunk(std::min(kChunkBytes, bodyLimit_ + 1));
  std::vector<char> bytes;
  for (;;) {
    // Never asks for more than one byte past the limit, so a body that is
    // too long is known without holding it.
    const std::size_t room = std::min(chunk.size(), bodyLimit_ + 1 - bytes.size());
    DWORD read = 0;
    if (!inet_.InternetReadFile(request_.get(), chunk.data(), static_cast<DWORD>(room), &read)) {
      bytes.clear();
      break;
    }
    if (read == 0) break;
    bytes.insert(bytes.end(), chunk.data(), chunk.data() + read);
    if (bytes.size() > bodyLimit_) {
      HORAVEL_LOG(L"応答が長すぎるので読むのをやめます (上限 %u バイト)", static_cast<unsigned>(bodyLimit_));
      bytes.clear();
      break;
    }
  }
  body_ = std::move(bytes);
  body_.push_back('\0');
  return static_cast<long>(body_.size() - 1);
}

std::string InetHttp_CL::BodyBytes() const {
  return body_.empty() ? std::string() : std::string(body_.data(), body_.size() - 1);
}
