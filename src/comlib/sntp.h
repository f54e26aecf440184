#pragma once
// Simple Network Time Protocol (RFC 4330, the client side of NTPv4 in
// RFC 5905) over plain values: the request, the checks an answer must pass
// before it is believed, and the arithmetic that turns the four timestamps
// of one exchange into how far Windows' clock is from the server's.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace sntp {

// A request and a believable answer are exactly the 48-byte header: we send
// no extension fields and no key, so a server has nothing to add, and
// anything longer or shorter is not an answer to us.
constexpr std::size_t kPacketBytes = 48;
using Packet = std::array<std::uint8_t, kPacketBytes>;
constexpr wchar_t kDefaultPort[] = L"123";

// An NTP timestamp: seconds since 1900 in the upper 32 bits, wrapping every
// 136 years (first in February 2036), and the fraction in the lower 32.
using Timestamp = std::uint64_t;
// A signed span in the same units, 2^-32 s.
using Span = std::int64_t;

// FILETIME ticks: 100 ns since 1601, UTC.
using FileTicks = std::uint64_t;
constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksPerMs = 10000;

// A client request (mode 3, version 4) whose transmit field carries `nonce`,
// a random value never used before, and nothing else. The answer must hand
// the nonce back as its originate time, which an off-path sender cannot know;
// the real time the request left is kept by the caller.
Packet Request(std::uint64_t nonce);

// What an answer is worth, each rule its own verdict, checked in this order.
// The originate time is checked before a kiss code is obeyed, so a forged
// kiss-o'-death cannot silence us.
enum class Verdict {
  kBelievable,
  kMalformed,       // not 48 bytes
  kNotServer,       // mode other than 4
  kWrongVersion,    // version other than 3 or 4
  kForged,          // originate time is not our nonce
  kKissRate,        // stratum 0, "RATE": ask less often
  kKissDeny,        // stratum 0, "DENY": stop asking
  kKissRestrict,    // stratum 0, "RSTR": stop asking
  kKissOther,       // stratum 0 with another code: not a time, ignored
  kUnsynchronised,  // leap indicator 3: the server has no time to give
  kBadStratum,      // stratum above 15
  kNoTransmitTime,
};
const wchar_t* VerdictText(Verdict verdict);

struct Answer {
  Verdict verdict = Verdict::kMalformed;
  Timestamp serverReceived = 0;  // T2
  Timestamp serverSent = 0;      // T3
};
Answer CheckAnswer(const std::uint8_t* bytes, std::size_t length, std::uint64_t nonce);

// Offset of the server's clock from ours and the round trip's delay (RFC 5905):
// offset = ((T2 - T1) + (T3 - T4)) / 2, delay = (T4 - T1) - (T3 - T2). Each
// difference is taken modulo 2^64 as signed, so timestamps on either side
// of an era's end subtract right while they lie within 68 years.
Span Offset(Timestamp t1, Timestamp t2, Timestamp t3, Timestamp t4);
Span Delay(Timestamp t1, Timestamp t2, Timestamp t3, Timestamp t4);

Timestamp FromFileTicks(FileTicks ticks);
// The moment of the timestamp's era nearest to `near`.
FileTicks ToFileTicks(Timestamp timestamp, FileTicks near);
// Rounded to the nearest 100 ns.
std::int64_t SpanToTicks(Span span);

// One exchange, in Windows' units.
struct Measurement {
  std::int64_t offsetTicks = 0;  // the server's time minus Windows' time
  std::int64_t delayTicks = 0;   // the round trip; the offset is sure to half of it
  FileTicks measuredAt = 0;      // Windows' time when the answer came
};
// From the time the request left, a believable answer and the time it came.
Measurement Measure(FileTicks sent, const Answer& answer, FileTicks received);

// "name", "address" or "name:port"; an IPv6 address with a port in brackets.
struct ServerName {
  std::wstring host;
  std::wstring port;
};
// Nothing for an empty host or a port that is not 1 to 65535.
std::optional<ServerName> ParseServerName(const std::wstring& server);

}  // namespace sntp
