#pragma once
// A real HTTP server on 127.0.0.1, run by the test itself on a thread of its
// own: it answers every request with the same raw bytes, at once or one byte
// at a time, or accepts and never answers. Under Wine it can be reached over
// TLS too, through a front on the Linux side whose certificate comes from the
// tests' own certificate authority, trusted in the throwaway Wine prefix
// only: the program under test relaxes no check.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class LoopbackHttpServer {
 public:
  // Listens on a free port at once; stops when destroyed.
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // The whole response, status line and headers included.
  void Answer(const std::string& rawResponse);
  // Connections are accepted and then left without a word.
  void StaySilent();
  // The response's bytes from `fromByte` on go out one every kTrickleMs,
  // each in time to restart a reader's wait, until the server stops.
  void Trickle(const std::string& rawResponse, std::size_t fromByte);
  static constexpr unsigned kTrickleMs = 1000;

  unsigned short Port() const { return port_; }
  // "http://127.0.0.1:<port>/<path>"
  std::wstring Url(const std::string& path = "Horavel/Version.txt") const;
  // "https://127.0.0.1:<tls port>/<path>", the TLS front started on first
  // use; empty where there can be none (not under Wine).
  std::wstring SecureUrl(const std::string& path = "Horavel/Version.txt");
  // The request lines received so far ("GET /path HTTP/1.1").
  std::vector<std::string> RequestLines() const;

 private:
  void Serve();
  // Sockets are kept as plain numbers, so that users of this header need not
  // put winsock2.h before windows.h.
  using Socket = std::uintptr_t;
  void Handle(Socket connection);

  Socket listener_ = 0;
  unsigned short port_ = 0;
  unsigned short securePort_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::string response_;
  std::size_t trickleFrom_ = 0;
  bool silent_ = false;
  std::vector<std::string> requestLines_;
  std::vector<Socket> heldOpen_;
  std::thread thread_;
};

// A response with the body; the Content-Length header carries the given
// text, the body's size when none is given, or is left out when empty.
std::string HttpResponse(const std::string& body, std::optional<std::string> contentLength = std::nullopt,
                         int status = 200);
constexpr char kNoContentLength[] = "";

// A loopback port on which nothing listens.
unsigned short ClosedLoopbackPort();

}  // namespace testing_support
