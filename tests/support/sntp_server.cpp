// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on
#include "support/sntp_server.h"

#include <cstring>
#include <utility>

namespace testing_support {

namespace {

constexpr long kPollMicroseconds = 50000;
constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksPerMs = 10000;
constexpr std::uint64_t kTicksFrom1601To1900 = 94354848000000000;
constexpr std::size_t kTransmitAt = 40;
constexpr std::uint64_t kForgedLeadS = 10;

// Windows' time moved by `offsetMs`, as an NTP timestamp.
std::uint64_t NtpNow(int offsetMs) {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  const std::uint64_t ticks = ((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) +
                              offsetMs * kTicksPerMs - kTicksFrom1601To1900;
  return ((ticks / kTicksPerSecond) << 32) | (((ticks % kTicksPerSecond) << 32) / kTicksPerSecond);
}

void PutBig64(std::uint8_t* at, std::uint64_t value) {
  for (int index = 7; index >= 0; --index, value >>= 8) at[index] = static_cast<std::uint8_t>(value);
}

std::uint64_t GetBig64(const std::uint8_t* at) {
  std::uint64_t value = 0;
  for (int index = 0; index < 8; ++index) value = (value << 8) | at[index];
  return value;
}

}  // namespace

SntpPacket SntpAnswer(std::uint64_t originate, std::uint64_t received, std::uint64_t sent) {
  SntpPacket packet{};
  packet[0] = (4 << 3) | 4;  // no leap second, version 4, server
  packet[1] = 2;             // stratum
  PutBig64(&packet[16], received);
  PutBig64(&packet[24], originate);
  PutBig64(&packet[32], received);
  PutBig64(&packet[kTransmitAt], sent);
  return packet;
}

LoopbackSntpServer::LoopbackSntpServer() {
  WSADATA data{};
  WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET listener = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int length = sizeof(address);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  socket_ = listener;
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackSntpServer::~LoopbackSntpServer() {
  stopping_ = true;
  thread_.join();
  closesocket(socket_);
  WSACleanup();
}

void LoopbackSntpServer::Set(Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  reply_ = std::move(reply);
}

void LoopbackSntpServer::AnswerTruly(int offsetMs, int delayMs) { Set({Mode::kTruth, offsetMs, delayMs, ""}); }
void LoopbackSntpServer::AnswerForged(bool thenTruly) {
  Set({thenTruly ? Mode::kForgedThenTruth : Mode::kForged, 0, 0, ""});
}
void LoopbackSntpServer::AnswerKiss(const char* code) { Set({Mode::kKiss, 0, 0, code}); }
void LoopbackSntpServer::AnswerMalformed() { Set({Mode::kMalformed, 0, 0, ""}); }
void LoopbackSntpServer::StaySilent() { Set({Mode::kSilent, 0, 0, ""}); }

std::wstring LoopbackSntpServer::Address() const { return L"127.0.0.1:" + std::to_wstring(port_); }

std::vector<std::vector<std::uint8_t>> LoopbackSntpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackSntpServer::Serve() {
  while (!stopping_) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval wait{0, kPollMicroseconds};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
    char bytes[512];
    sockaddr_storage from{};
    int fromLength = sizeof(from);
    const int received = recvfrom(socket_, bytes, sizeof(bytes), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0) continue;
    const std::vector<std::uint8_t> request(bytes, bytes + received);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    Answer(request, &from, fromLength);
  }
}

void LoopbackSntpServer::Answer(const std::vector<std::uint8_t>& request, const void* from, int fromLength) {
  std::unique_lock<std::mutex> lock(mutex_);
  const Reply reply = reply_;
  lock.unlock();
  if (reply.mode == Mode::kSilent || request.size() < sizeof(SntpPacket)) return;
  const std::uint64_t originate = GetBig64(&request[kTransmitAt]);
  // Stamped as if the request had spent half the delay on its way here.
  const std::uint64_t arrived = NtpNow(reply.offsetMs + reply.delayMs / 2);
  Sleep(static_cast<DWORD>(reply.delayMs));
  const auto* to = static_cast<const sockaddr*>(from);
  if (reply.mode == Mode::kForged || reply.mode == Mode::kForgedThenTruth) {
    const std::uint64_t forged = arrived + (kForgedLeadS << 32);
    const SntpPacket forgery = SntpAnswer(originate + 1, forged, forged);
    sendto(socket_, reinterpret_cast<const char*>(forgery.data()), sizeof(forgery), 0, to, fromLength);
    if (reply.mode == Mode::kForged) return;
  }
  SntpPacket answer = SntpAnswer(originate, arrived, arrived);
  if (reply.mode == Mode::kKiss) {
    answer[0] = (3 << 6) | (4 << 3) | 4;  // unsynchronised, version 4, server
    answer[1] = 0;
    std::memcpy(&answer[12], reply.kiss.data(), 4);
  }
  const char* bytes = reinterpret_cast<const char*>(answer.data());
  const int length = static_cast<int>(answer.size());
  if (reply.mode == Mode::kMalformed) {
    char longer[sizeof(SntpPacket) + 1] = {};
    std::memcpy(longer, bytes, sizeof(SntpPacket));
    sendto(socket_, bytes, length - 1, 0, to, fromLength);
    sendto(socket_, longer, length + 1, 0, to, fromLength);
    return;
  }
  sendto(socket_, bytes, length, 0, to, fromLength);
}

}  // namespace testing_support
