#pragma once
// A small synchronous HTTP GET client over WinINet. Every failed WinINet call
// is logged with the system's error text and reported as a plain failure; a
// dead, silent or lying server ends in the same failure, within time-outs.

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "comlib/dll_function.h"

// WinINet, loaded from the system folder while an object of this class
// lives: a day without an update check never maps it, nor the TLS and
// Kerberos libraries under it. Whoever makes calls holds one, so a fetch
// that outlives its caller keeps the library it runs in.
class WinInet_CL {
 public:
  WinInet_CL();
  WinInet_CL(const WinInet_CL&) = delete;
  WinInet_CL& operator=(const WinInet_CL&) = delete;

  // True when the library and every function below were found.
  bool IsLoaded() const { return loaded_; }

  decltype(&::InternetOpenW) InternetOpenW = nullptr;
  decltype(&::InternetConnectW) InternetConnectW = nullptr;
  decltype(&::InternetSetOptionW) InternetSetOptionW = nullptr;
  decltype(&::HttpOpenRequestW) HttpOpenRequestW = nullptr;
  decltype(&::HttpSendRequestW) HttpSendRequestW = nullptr;
  decltype(&::HttpQueryInfoW) HttpQueryInfoW = nullptr;
  decltype(&::InternetReadFile) InternetReadFile = nullptr;
  decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;

 private:
  DllFunction_CL library_;
  bool loaded_ = false;
};

namespace comlib {
// Closes a WinINet handle through the library it came from, leaving
// GetLastError as it was.
struct InternetHandleCloser {
  decltype(&::InternetCloseHandle) close = nullptr;
  void operator()(HINTERNET handle) const {
    const DWORD lastError = GetLastError();
    close(handle);
    SetLastError(lastError);
  }
};
using UniqueInternetHandle = std::unique_ptr<void, InternetHandleCloser>;
}  // namespace comlib

class InetHttp_CL {
 public:
  // The content length of a response without a usable Content-Length header.
  static constexpr long kUnknownLength = -1;
  // The version file is a few dozen bytes; nothing the client reads may be larger.
  static constexpr std::size_t kDefaultBodyLimitBytes = 64 * 1024;
  // Reads of unknown length go in chunks of this size.
  static constexpr std::size_t kChunkBytes = 0x100000;
  // Each of connecting, sending and waiting for data gives up after this.
  static constexpr DWORD kTimeoutMs = 3000;
  static constexpr std::size_t kMaxLocationLength = 2048;

  InetHttp_CL() = default;
  virtual ~InetHttp_CL();
  InetHttp_CL(const InetHttp_CL&) = delete;
  InetHttp_CL& operator=(const InetHttp_CL&) = delete;

  // Opens the WinINet session; IsOpen tells whether it worked.
  void Open();
  bool IsOpen() const { return static_cast<bool>(root_); }
  // Connects to a bare host name; null on failure. A second call replaces
  // the first connection.
  HINTERNET Connect(const std::wstring& host, INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT);
  // Sends a GET of the path, over TLS when `secure`; 1 on success, with the
  // content length recorded. A length below 0 or above the body limit fails
  // the request. A redirect is not followed: it is an answer like any other.
  int Request(const std::wstring& path, bool secure = false);
  // The answer's status code, 0 when there is none.
  DWORD StatusCode() const;
  // The answer's Location header; empty when there is none or it is longer
  // than kMaxLocationLength.
  std::wstring Location() const;
  // Reads the body: `count` bytes, or with kUnknownLength until the server
  // has no more (a body past the limit then reads as nothing). Returns the
  // number of bytes read.
  long Read(long count);

  // The body read last, followed by one NUL byte.
  const char* Body() const { return body_.empty() ? nullptr : body_.data(); }
  // The body's bytes without the NUL.
  std::string BodyBytes() const;
  long ContentLength() const { return contentLength_; }

  // Tests raise the limit to fetch large bodies.
  void SetBodyLimit(std::size_t bytes) { bodyLimit_ = bytes; }

 private:
  long ReadUnknownLength();
  void SetTimeouts(HINTERNET handle) const;
  comlib::UniqueInternetHandle Own(HINTERNET handle) const;

  // Declared so that the request closes first, the session last, and the
  // library goes after them.
  WinInet_CL inet_;
  comlib::UniqueInternetHandle root_;
  comlib::UniqueInternetHandle connection_;
  comlib::UniqueInternetHandle request_;
  std::vector<char> body_;
  long contentLength_ = 0;
  std::size_t bodyLimit_ = kDefaultBodyLimitBytes;
};

namespace inethttp {

// The error code a log line shows: GetLastError as an HRESULT.
DWORD LoggedErrorCode(DWORD lastError);

// A Content-Length header's text read as a signed decimal, as far as its
// leading digits go ("12abc" is 12, "abc" is 0).
long ParseContentLength(const wchar_t* headerText);

// True when a declared length may be read: not negative, not above the limit.
bool IsAcceptableLength(long length, std::size_t limit);

}  // namespace inethttp
