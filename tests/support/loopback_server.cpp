#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/loopback_server.h"

#include <wincrypt.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

namespace testing_support {

namespace {

constexpr long kPollMicroseconds = 50000;
constexpr size_t kRequestRoom = 16384;
#ifndef HORAVEL_TLS_CERTIFICATE
#define HORAVEL_TLS_CERTIFICATE ""  // the build had no openssl: no TLS front
#endif
// A TLS front lives no longer than this, whatever becomes of the test.
constexpr int kTlsFrontSeconds = 60;
constexpr DWORD kTlsFrontStartMs = 10000;

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockSession() { WSACleanup(); }
};

void EnsureWinsock() { static WinsockSession session; }

SOCKET ListenOnLoopback(unsigned short* port) {
  EnsureWinsock();
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(listener, SOMAXCONN);
  int length = sizeof(address);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return listener;
}

bool WaitReadable(SOCKET socket) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket, &readable);
  timeval wait{0, kPollMicroseconds};
  return select(0, &readable, nullptr, nullptr, &wait) > 0;
}

void SendAll(SOCKET socket, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<size_t>(bytes.size() - sent, 65536));
    const int result = send(socket, bytes.data() + sent, chunk, 0);
    if (result <= 0) return;
    sent += static_cast<size_t>(result);
  }
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// True once something listens on the port: a plain connection, closed at once.
bool Accepts(unsigned short port) {
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  const bool accepted = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  closesocket(probe);
  return accepted;
}

bool TrustCertificate(const std::vector<unsigned char>& der) {
  HCERTSTORE root = CertOpenSystemStoreW(0, L"ROOT");
  const bool added = root != nullptr && CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(),
                                                                         static_cast<DWORD>(der.size()),
                                                                         CERT_STORE_ADD_USE_EXISTING, nullptr);
  if (root != nullptr) CertCloseStore(root, 0);
  return added;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  listener_ = ListenOnLoopback(&port_);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  thread_.join();
  closesocket(listener_);
  for (Socket held : heldOpen_) closesocket(held);
}

void LoopbackHttpServer::Answer(const std::string& rawResponse) { Trickle(rawResponse, rawResponse.size()); }

void LoopbackHttpServer::Trickle(const std::string& rawResponse, std::size_t fromByte) {
  std::lock_guard<std::mutex> lock(mutex_);
  response_ = rawResponse;
  trickleFrom_ = std::min(fromByte, rawResponse.size());
  silent_ = false;
}

void LoopbackHttpServer::StaySilent() {
  std::lock_guard<std::mutex> lock(mutex_);
  silent_ = true;
}

std::wstring LoopbackHttpServer::Url(const std::string& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/" + Widen(path);
}

std::vector<std::string> LoopbackHttpServer::RequestLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requestLines_;
}

void LoopbackHttpServer::Serve() {
  while (!stopping_) {
    if (!WaitReadable(listener_)) continue;
    SOCKET connection = accept(listener_, nullptr, nullptr);
    if (connection != INVALID_SOCKET) Handle(connection);
  }
}

void LoopbackHttpServer::Handle(Socket connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < kRequestRoom && !stopping_) {
    if (!WaitReadable(connection)) continue;
    const int received = recv(connection, buffer, sizeof(buffer), 0);
    if (received <= 0) break;
    request.append(buffer, static_cast<size_t>(received));
  }
  std::string response;
  std::size_t trickleFrom = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requestLines_.push_back(request.substr(0, request.find("\r\n")));
    if (silent_) {
      heldOpen_.push_back(connection);
      return;
    }
    response = response_;
    trickleFrom = trickleFrom_;
  }
  SendAll(connection, response.substr(0, trickleFrom));
  for (std::size_t next = trickleFrom; next < response.size() && !stopping_; ++next) {
    for (unsigned waited = 0; waited < kTrickleMs && !stopping_; waited += kPollMicroseconds / 1000) {
      Sleep(kPollMicroseconds / 1000);
    }
    if (stopping_ || send(connection, &response[next], 1, 0) != 1) break;
  }
  shutdown(connection, SD_SEND);
  closesocket(connection);
}

std::string HttpResponse(const std::string& body, std::optional<std::string> contentLength, int status) {
  std::string response = "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Not Found") + "\r\n";
  response += "Content-Type: text/plain\r\nConnection: close\r\n";
  const std::string length = contentLength.value_or(std::to_string(body.size()));
  if (!length.empty()) response += "Content-Length: " + length + "\r\n";
  return response + "\r\n" + body;
}

// socat on the Linux side, which Wine shows as drive Z:, with the
// certificate the build made (tests/CMakeLists.txt). Wine starts a Linux
// program without handing back a handle to it: the front ends by itself.
std::wstring LoopbackHttpServer::SecureUrl(const std::string& path) {
  const bool certificateMade = sizeof(HORAVEL_TLS_CERTIFICATE) > 1;
  if (!certificateMade || GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) return L"";
  if (securePort_ == 0) {
    static const bool trusted = TrustCertificate(ReadBytes(L"Z:" HORAVEL_TLS_CERTIFICATE ".der"));
    EXPECT_TRUE(trusted) << "the test prefix trusts the test certificate";
    securePort_ = ClosedLoopbackPort();
    std::wstring command = L"sh -c \"exec timeout " + std::to_wstring(kTlsFrontSeconds) + L" socat OPENSSL-LISTEN:" +
                           std::to_wstring(securePort_) +
                           L",bind=127.0.0.1,reuseaddr,fork,verify=0,cert=" HORAVEL_TLS_CERTIFICATE
                           ".crt,key=" HORAVEL_TLS_CERTIFICATE ".key TCP:127.0.0.1:" +
                           std::to_wstring(port_) + L" </dev/null >/dev/null 2>&1\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    EXPECT_TRUE(CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &started));
    EXPECT_TRUE(WaitUntil([&] { return Accepts(securePort_); }, kTlsFrontStartMs)) << "socat serves TLS";
  }
  return L"https://127.0.0.1:" + std::to_wstring(securePort_) + L"/" + Widen(path);
}

unsigned short ClosedLoopbackPort() {
  unsigned short port = 0;
  closesocket(ListenOnLoopback(&port));
  return port;
}

}  // namespace testing_support
