#pragma once
// A real SNTP server on 127.0.0.1, run by the test itself on a thread of its
// own, on a free UDP port. The test chooses how it answers, and may change
// that while it runs: the truth from a clock some milliseconds off Windows'
// after a chosen network delay, a forgery, a kiss-o'-death, rubbish, or
// nothing. Its timestamps are made here, apart from the program's code.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

using SntpPacket = std::array<std::uint8_t, 48>;

// A believable server answer (version 4, stratum 2) to the request whose
// transmit field was `originate`, with these receive and transmit times.
SntpPacket SntpAnswer(std::uint64_t originate, std::uint64_t received, std::uint64_t sent);

class LoopbackSntpServer {
 public:
  // Listens at once, answering the truth (AnswerTruly(0)); stops when destroyed.
  LoopbackSntpServer();
  ~LoopbackSntpServer();
  LoopbackSntpServer(const LoopbackSntpServer&) = delete;
  LoopbackSntpServer& operator=(const LoopbackSntpServer&) = delete;

  // Answers with its clock `offsetMs` ahead of Windows' (behind when
  // negative), `delayMs` after each request, as if all that time had been
  // spent on the network, half each way.
  void AnswerTruly(int offsetMs, int delayMs = 0);
  // An answer 10 s ahead whose originate time is one off the request's,
  // as from someone who did not see the request; then, if asked, the truth.
  void AnswerForged(bool thenTruly = false);
  // A kiss-o'-death with this code ("RATE", "DENY", "RSTR").
  void AnswerKiss(const char* code);
  // A true answer cut one byte short, then the same with a byte too many.
  void AnswerMalformed();
  void StaySilent();

  // "127.0.0.1:<port>", as the setting takes it.
  std::wstring Address() const;
  // Every request received so far, in order.
  std::vector<std::vector<std::uint8_t>> Requests() const;

 private:
  enum class Mode { kTruth, kForged, kForgedThenTruth, kKiss, kMalformed, kSilent };
  void Serve();
  void Answer(const std::vector<std::uint8_t>& request, const void* from, int fromLength);
  struct Reply {
    Mode mode;
    int offsetMs;
    int delayMs;
    std::string kiss;  // four letters
  };
  void Set(Reply reply);

  // A plain number, so that users of this header need not put winsock2.h
  // before windows.h.
  std::uintptr_t socket_ = 0;
  unsigned short port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  Reply reply_{Mode::kTruth, 0, 0, ""};
  std::vector<std::vector<std::uint8_t>> requests_;
  std::thread thread_;
};

}  // namespace testing_support
