#include "comlib/sntp.h"

#include <cstring>
#include <cwchar>

namespace sntp {

namespace {

// Where the header's fields lie (RFC 5905, figure 8), all big-endian.
constexpr std::size_t kFlagsAt = 0;  // leap indicator 2 bits, version 3, mode 3
constexpr std::size_t kStratumAt = 1;
constexpr std::size_t kReferenceIdAt = 12;  // the kiss code when stratum is 0
constexpr std::size_t kOriginateAt = 24;
constexpr std::size_t kReceiveAt = 32;
constexpr std::size_t kTransmitAt = 40;

constexpr unsigned kModeClient = 3;
constexpr unsigned kModeServer = 4;
constexpr unsigned kOurVersion = 4;
constexpr unsigned kOldestVersion = 3;
constexpr unsigned kLeapUnsynchronised = 3;
constexpr unsigned kStratumKiss = 0;
constexpr unsigned kHighestStratum = 15;

constexpr std::uint64_t kSecondsFrom1601To1900 = 9435484800;
constexpr std::uint64_t kFractionUnit = 1ull << 32;
constexpr unsigned long kHighestPort = 65535;

std::uint64_t ReadBig64(const std::uint8_t* bytes) {
  std::uint64_t value = 0;
  for (int index = 0; index < 8; ++index) value = (value << 8) | bytes[index];
  return value;
}

void WriteBig64(std::uint8_t* bytes, std::uint64_t value) {
  for (int index = 7; index >= 0; --index, value >>= 8) bytes[index] = static_cast<std::uint8_t>(value);
}

Verdict KissVerdict(const std::uint8_t* code) {
  if (std::memcmp(code, "RATE", 4) == 0) return Verdict::kKissRate;
  if (std::memcmp(code, "DENY", 4) == 0) return Verdict::kKissDeny;
  if (std::memcmp(code, "RSTR", 4) == 0) return Verdict::kKissRestrict;
  return Verdict::kKissOther;
}

// The difference a - b as a signed span: modulo 2^64, so an era's end
// between the two does not matter.
Span Difference(Timestamp a, Timestamp b) { return static_cast<Span>(a - b); }

}  // namespace

Packet Request(std::uint64_t nonce) {
  Packet packet{};
  packet[kFlagsAt] = static_cast<std::uint8_t>((kOurVersion << 3) | kModeClient);
  WriteBig64(&packet[kTransmitAt], nonce);
  return packet;
}

Answer CheckAnswer(const std::uint8_t* bytes, std::size_t length, std::uint64_t nonce) {
  Answer answer;
  if (length != kPacketBytes) return answer;
  const unsigned leap = bytes[kFlagsAt] >> 6;
  const unsigned version = (bytes[kFlagsAt] >> 3) & 7;
  const unsigned mode = bytes[kFlagsAt] & 7;
  const unsigned stratum = bytes[kStratumAt];
  answer.serverReceived = ReadBig64(bytes + kReceiveAt);
  answer.serverSent = ReadBig64(bytes + kTransmitAt);
  if (mode != kModeServer) {
    answer.verdict = Verdict::kNotServer;
  } else if (version < kOldestVersion || version > kOurVersion) {
    answer.verdict = Verdict::kWrongVersion;
  } else if (ReadBig64(bytes + kOriginateAt) != nonce) {
    answer.verdict = Verdict::kForged;
  } else if (stratum == kStratumKiss) {
    answer.verdict = KissVerdict(bytes + kReferenceIdAt);
  } else if (leap == kLeapUnsynchronised) {
    answer.verdict = Verdict::kUnsynchronised;
  } else if (stratum > kHighestStratum) {
    answer.verdict = Verdict::kBadStratum;
  } else if (answer.serverSent == 0) {
    answer.verdict = Verdict::kNoTransmitTime;
  } else {
    answer.verdict = Verdict::kBelievable;
  }
  return answer;
}

const wchar_t* VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::kBelievable:
      return L"正しい応答";
    case Verdict::kMalformed:
      return L"長さが48バイトでない";
    case Verdict::kNotServer:
      return L"サーバーの応答（モード4）でない";
    case Verdict::kWrongVersion:
      return L"バージョンが3でも4でもない";
    case Verdict::kForged:
      return L"送った要求の時刻を返していない";
    case Verdict::kKissRate:
      return L"RATE（間隔を空けるよう求められた）";
    case Verdict::kKissDeny:
      return L"DENY（拒否された）";
    case Verdict::kKissRestrict:
      return L"RSTR（拒否された）";
    case Verdict::kKissOther:
      return L"不明なキスコード";
    case Verdict::kUnsynchronised:
      return L"サーバーが同期していない";
    case Verdict::kBadStratum:
      return L"階層が15を超える";
    case Verdict::kNoTransmitTime:
      return L"送信時刻が0";
  }
  return L"";
}

// Halved before they are added: a hostile server's timestamps may be far
// enough apart that the sum of the two would overflow.
Span Offset(Timestamp t1, Timestamp t2, Timestamp t3, Timestamp t4) {
  return Difference(t2, t1) / 2 + Difference(t3, t4) / 2;
}

Span Delay(Timestamp t1, Timestamp t2, Timestamp t3, Timestamp t4) { return static_cast<Span>((t4 - t1) - (t3 - t2)); }

Timestamp FromFileTicks(FileTicks ticks) {
  const std::uint64_t sinceNtpEpoch = ticks - kSecondsFrom1601To1900 * kTicksPerSecond;
  const std::uint64_t seconds = sinceNtpEpoch / kTicksPerSecond;
  const std::uint64_t remainder = sinceNtpEpoch % kTicksPerSecond;
  // The era's seconds wrap here, as NTP's do.
  return (seconds << 32) + (remainder * kFractionUnit) / kTicksPerSecond;
}

FileTicks ToFileTicks(Timestamp timestamp, FileTicks near) {
  return near + static_cast<FileTicks>(SpanToTicks(Difference(timestamp, FromFileTicks(near))));
}

std::int64_t SpanToTicks(Span span) {
  // Worked on the magnitude, so that both signs round alike.
  const std::uint64_t magnitude = span < 0 ? 0 - static_cast<std::uint64_t>(span) : static_cast<std::uint64_t>(span);
  const std::uint64_t whole = (magnitude >> 32) * kTicksPerSecond;
  const std::uint64_t part = ((magnitude & (kFractionUnit - 1)) * kTicksPerSecond + kFractionUnit / 2) >> 32;
  const auto ticks = static_cast<std::int64_t>(whole + part);
  return span < 0 ? -ticks : ticks;
}

Measurement Measure(FileTicks sent, const Answer& answer, FileTicks received) {
  const Timestamp t1 = FromFileTicks(sent);
  const Timestamp t4 = FromFileTicks(received);
  Measurement measurement;
  measurement.offsetTicks = SpanToTicks(Offset(t1, answer.serverReceived, answer.serverSent, t4));
  // A server that claims to have held the request longer than it was gone
  // has lied about its timestamps or stepped its clock: the round trip
  // counts as instant rather than less than nothing.
  const std::int64_t delay = SpanToTicks(Delay(t1, answer.serverReceived, answer.serverSent, t4));
  measurement.delayTicks = delay < 0 ? 0 : delay;
  measurement.measuredAt = received;
  return measurement;
}

std::optional<ServerName> ParseServerName(const std::wstring& server) {
  ServerName name{server, kDefaultPort};
  std::size_t portColon = std::wstring::npos;
  if (!server.empty() && server[0] == L'[') {
    const std::size_t close = server.find(L']');
    if (close == std::wstring::npos) return std::nullopt;
    name.host = server.substr(1, close - 1);
    if (close + 1 < server.size()) {
      if (server[close + 1] != L':') return std::nullopt;
      portColon = close + 1;
    }
  } else if (server.find(L':') == server.rfind(L':')) {
    // One colon at most: with more, it is a bare IPv6 address.
    portColon = server.find(L':');
    name.host = server.substr(0, portColon);
  }
  if (portColon != std::wstring::npos) {
    name.port = server.substr(portColon + 1);
    const bool digits =
        !name.port.empty() && name.port.size() <= 5 && name.port.find_first_not_of(L"0123456789") == std::wstring::npos;
    const unsigned long port = digits ? std::wcstoul(name.port.c_str(), nullptr, 10) : 0;
    if (port == 0 || port > kHighestPort) return std::nullopt;
  }
  if (name.host.empty()) return std::nullopt;
  return name;
}

}  // namespace sntp
