#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/loopback_server.h"

#include <algorithm>

namespace testing_support {

namespace {

constexpr long kPollMicroseconds = 50000;
constexpr size_t kRequestRoom = 16384;

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
  return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/" + std::wstring(path.begin(), path.end());
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

unsigned short ClosedLoopbackPort() {
  unsigned short port = 0;
  closesocket(ListenOnLoopback(&port));
  return port;
}

}  // namespace testing_support
