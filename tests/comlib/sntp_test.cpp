// Network time: the arithmetic of one exchange, the checks an answer must
// pass, when the client asks and what it shows, and the client itself
// against a loopback time server that answers as each case chooses.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "comlib/sntp_client.h"
#include "support/sntp_server.h"
#include "support/test_support.h"

using namespace sntp;
using namespace testing_support;

namespace {

// An NTP timestamp at whole seconds plus milliseconds.
Timestamp At(std::uint32_t seconds, int ms) {
  return (static_cast<Timestamp>(seconds) << 32) + (static_cast<Timestamp>(ms) << 32) / 1000;
}

constexpr std::uint32_t kEraEnd = 0xFFFFFFFF;  // the last second before February 2036
constexpr FileTicks kUnixEpoch = 116444736000000000;
constexpr FileTicks kSecondEra = 137304520960000000;  // 2036-02-07 06:28:16 UTC
constexpr FileTicks kDay = 86400 * kTicksPerSecond;

}  // namespace

TEST(Sntp, OffsetAndDelayHoldAcrossTheEraAndBothWays) {
  struct Row {
    const char* what;
    Timestamp t1, t2, t3, t4;
    int offsetMs, delayMs;
  };
  const Row rows[] = {
      {"server ahead", At(1000, 0), At(1000, 420), At(1000, 421), At(1000, 41), 400, 40},
      {"server behind", At(1000, 0), At(998, 10), At(998, 10), At(1000, 20), -2000, 20},
      {"ahead, its era ends on the way", At(kEraEnd, 900), At(0, 320), At(0, 321), At(kEraEnd, 941), 400, 40},
      {"behind, ours ends on the way", At(kEraEnd, 900), At(kEraEnd, 300), At(kEraEnd, 300), At(0, 0), -650, 100},
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(row.offsetMs * kTicksPerMs, SpanToTicks(Offset(row.t1, row.t2, row.t3, row.t4)), 1) << row.what;
    EXPECT_NEAR(row.delayMs * kTicksPerMs, SpanToTicks(Delay(row.t1, row.t2, row.t3, row.t4)), 1) << row.what;
  }

  EXPECT_EQ(Timestamp{2208988800} << 32, FromFileTicks(kUnixEpoch));
  EXPECT_EQ(0u, FromFileTicks(kSecondEra)) << "the era's seconds wrap";
  const FileTicks moments[] = {kUnixEpoch + 1, kSecondEra - 1, kSecondEra + 12345};
  for (const FileTicks moment : moments) {
    EXPECT_EQ(moment, ToFileTicks(FromFileTicks(moment), moment + kDay)) << moment;
    EXPECT_EQ(moment, ToFileTicks(FromFileTicks(moment), moment - kDay)) << moment;
  }
  const Answer late{Verdict::kBelievable, FromFileTicks(kSecondEra + 3 * kTicksPerSecond),
                    FromFileTicks(kSecondEra + 3 * kTicksPerSecond)};
  const Measurement measured = Measure(kSecondEra - kTicksPerSecond, late, kSecondEra + kTicksPerSecond);
  EXPECT_EQ(3 * kTicksPerSecond, measured.offsetTicks);
  EXPECT_EQ(2 * kTicksPerSecond, measured.delayTicks);
  EXPECT_EQ(0, Measure(0, Answer{Verdict::kBelievable, At(1000, 0), At(1000, 50)}, 0).delayTicks)
      << "a round trip shorter than the server's own time counts as none";
}

TEST(Sntp, AnAnswerIsBelievedOnlyWhenEveryRulePasses) {
  constexpr std::uint64_t kNonce = 0x0123456789ABCDEF;
  using Bytes = std::vector<std::uint8_t>;
  struct Row {
    const char* what;
    void (*spoil)(Bytes&);
    Verdict verdict;
  };
  // Kiss-o'-death answers come unsynchronised, with stratum 0 and the code.
  static const auto kiss = [](Bytes& bytes, const char* code) {
    bytes[0] |= 0xC0;
    bytes[1] = 0;
    std::copy(code, code + 4, bytes.begin() + 12);
  };
  const Row rows[] = {
      {"a true answer", [](Bytes&) {}, Verdict::kBelievable},
      {"from a version 3 server", [](Bytes& b) { b[0] = (3 << 3) | 4; }, Verdict::kBelievable},
      {"one byte short", [](Bytes& b) { b.pop_back(); }, Verdict::kMalformed},
      {"one byte too many", [](Bytes& b) { b.push_back(0); }, Verdict::kMalformed},
      {"empty", [](Bytes& b) { b.clear(); }, Verdict::kMalformed},
      {"our request sent back",
       [](Bytes& b) {
         const Packet request = Request(kNonce);
         b.assign(request.begin(), request.end());
       },
       Verdict::kNotServer},
      {"a broadcast", [](Bytes& b) { b[0] = (4 << 3) | 5; }, Verdict::kNotServer},
      {"version 2", [](Bytes& b) { b[0] = (2 << 3) | 4; }, Verdict::kWrongVersion},
      {"version 5", [](Bytes& b) { b[0] = (5 << 3) | 4; }, Verdict::kWrongVersion},
      {"originate a bit off", [](Bytes& b) { b[31] ^= 1; }, Verdict::kForged},
      {"originate zero", [](Bytes& b) { std::fill(b.begin() + 24, b.begin() + 32, 0); }, Verdict::kForged},
      {"a forged DENY",
       [](Bytes& b) {
         kiss(b, "DENY");
         b[24] ^= 0x80;
       },
       Verdict::kForged},
      {"unsynchronised", [](Bytes& b) { b[0] |= 0xC0; }, Verdict::kUnsynchronised},
      {"stratum 16", [](Bytes& b) { b[1] = 16; }, Verdict::kBadStratum},
      {"no transmit time", [](Bytes& b) { std::fill(b.begin() + 40, b.end(), 0); }, Verdict::kNoTransmitTime},
      {"RATE", [](Bytes& b) { kiss(b, "RATE"); }, Verdict::kKissRate},
      {"DENY", [](Bytes& b) { kiss(b, "DENY"); }, Verdict::kKissDeny},
      {"RSTR", [](Bytes& b) { kiss(b, "RSTR"); }, Verdict::kKissRestrict},
      {"another kiss", [](Bytes& b) { kiss(b, "INIT"); }, Verdict::kKissOther},
  };
  const SntpPacket good = SntpAnswer(kNonce, At(1000, 0), At(1000, 1));
  for (const Row& row : rows) {
    Bytes bytes(good.begin(), good.end());
    row.spoil(bytes);
    EXPECT_EQ(row.verdict, CheckAnswer(bytes.data(), bytes.size(), kNonce).verdict) << row.what;
  }
  const Answer answer = CheckAnswer(good.data(), good.size(), kNonce);
  EXPECT_EQ(At(1000, 0), answer.serverReceived);
  EXPECT_EQ(At(1000, 1), answer.serverSent);
}

TEST(Sntp, ServerNamesTakeAnOptionalPort) {
  const std::pair<const wchar_t*, const wchar_t*> rows[] = {
      {L"time.windows.com", L"time.windows.com 123"},
      {L"127.0.0.1:8123", L"127.0.0.1 8123"},
      {L"[::1]:65535", L"::1 65535"},
      {L"fe80::1", L"fe80::1 123"},
      {L"", L""},
      {L"host:0", L""},
      {L"host:65536", L""},
      {L"host:12a", L""},
      {L"[::1]x", L""},
  };
  for (const auto& [server, expected] : rows) {
    const auto name = ParseServerName(server);
    EXPECT_EQ(expected, name ? name->host + L" " + name->port : L"") << server;
  }
}

TEST(SntpPolicy, StartupSamplesIntervalsKissesAndTheHeldOffset) {
  enum class Event { kAnswer, kSilence, kRate, kDeny, kAsk };
  using E = Event;
  using S = SyncState;
  constexpr int kNone = -1;  // no offset measured yet
  constexpr std::uint64_t kNeverS = kNever;
  struct Step {
    std::uint64_t atS;
    Event event;
    int offsetMs, delayMs;  // of an answer
    SyncState state;
    int measuredMs;
    bool applied;
    std::uint64_t nextS;
  };
  const std::vector<std::vector<Step>> scenarios = {
      {
          {0, E::kAnswer, 500, 40, S::kSynced, 500, true, 1},
          {1, E::kAnswer, 510, 20, S::kSynced, 510, true, 2},
          {2, E::kSilence, 0, 0, S::kSynced, 510, true, 3},
          {3, E::kAnswer, 530, 60, S::kSynced, 510, true, 67},  // the smallest delay stays
          {67, E::kAnswer, 520, 30, S::kSynced, 520, true, 195},
          {195, E::kAnswer, 540, 30, S::kSynced, 540, true, 451},
          {451, E::kAnswer, 560, 30, S::kSynced, 560, true, 963},
          {963, E::kAnswer, 580, 30, S::kSynced, 580, true, 1987},
          {1987, E::kAnswer, 600, 30, S::kSynced, 600, true, 3011},  // no longer than 1024 s
          {3011, E::kSilence, 0, 0, S::kUnreachable, 600, true, 4035},
          {4035, E::kSilence, 0, 0, S::kUnreachable, 600, true, 5059},
          {5059, E::kSilence, 0, 0, S::kUnreachable, 600, true, 5587},  // when the hour held ends
          {5587, E::kSilence, 0, 0, S::kUnreachable, 600, false, 6611},
          {6611, E::kAnswer, 900, 30, S::kSynced, 900, true, 6675},  // a jump: 64 s again
          {6620, E::kAsk, 0, 0, S::kSynced, 900, true, 6626},
          {6626, E::kAnswer, 2000000, 30, S::kOutOfBounds, 2000000, false, 6690},
          {6690, E::kDeny, 0, 0, S::kRefused, 2000000, false, kNeverS},
          {6700, E::kAsk, 0, 0, S::kRefused, 2000000, false, kNeverS},
      },
      {
          {0, E::kAnswer, -100, 10, S::kSynced, -100, true, 1},
          {1, E::kRate, 0, 0, S::kSynced, -100, true, 129},  // no more start-up samples
          {129, E::kAnswer, -100, 10, S::kSynced, -100, true, 385},
          {385, E::kAnswer, 400, 10, S::kSynced, 400, true, 513},  // a jump goes back to RATE's floor
          {513, E::kRate, 0, 0, S::kSynced, 400, true, 769},
      },
      {
          {0, E::kSilence, 0, 0, S::kUnreachable, kNone, false, 1},
          {1, E::kSilence, 0, 0, S::kUnreachable, kNone, false, 2},
          {2, E::kSilence, 0, 0, S::kUnreachable, kNone, false, 3},
          {3, E::kAnswer, 50, 10, S::kSynced, 50, true, 67},
          {67, E::kAnswer, 60, 10, S::kSynced, 60, true, 195},
      },
  };
  for (const auto& scenario : scenarios) {
    SntpPolicy_CL policy(0);
    EXPECT_EQ(0u, policy.NextRequestMs());
    for (const Step& step : scenario) {
      const std::uint64_t nowMs = step.atS * 1000;
      if (step.event == E::kAnswer) policy.Answered({step.offsetMs * kTicksPerMs, step.delayMs * kTicksPerMs}, nowMs);
      if (step.event == E::kSilence) policy.Unanswered(nowMs);
      if (step.event == E::kRate) policy.Kissed(Verdict::kKissRate, nowMs);
      if (step.event == E::kDeny) policy.Kissed(Verdict::kKissDeny, nowMs);
      if (step.event == E::kAsk) policy.AskNow(nowMs);
      const SyncStatus& status = policy.Status();
      const std::string at = "at " + std::to_string(step.atS) + " s";
      EXPECT_EQ(step.state, status.state) << at;
      EXPECT_EQ(step.measuredMs, status.measured ? status.measured->offsetTicks / kTicksPerMs : kNone) << at;
      EXPECT_EQ(step.applied ? step.measuredMs * kTicksPerMs : 0, status.OffsetToApply()) << at;
      EXPECT_EQ(step.nextS == kNeverS ? kNever : step.nextS * 1000, policy.NextRequestMs()) << at;
    }
  }
}

namespace {

constexpr UINT kReport = WM_APP + 29;
int reports = 0;

LRESULT CALLBACK CountReports(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kReport) ++reports;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST(SntpClient, BelievesTrueAnswersOnlyAndObeysKisses) {
  constexpr int kNone = INT_MIN;
  struct Row {
    const char* what;
    void (*serve)(LoopbackSntpServer&);
    SyncState state;
    int offsetMs, delayMs;
    std::uint32_t intervalS;
    std::size_t logLines;
  };
  using S = SyncState;
  const Row rows[] = {
      {"400 ms ahead", [](LoopbackSntpServer& s) { s.AnswerTruly(400, 60); }, S::kSynced, 400, 60, 64, 0},
      {"1500 s behind", [](LoopbackSntpServer& s) { s.AnswerTruly(-1500000); }, S::kOutOfBounds, -1500000, 0, 64, 0},
      {"forged", [](LoopbackSntpServer& s) { s.AnswerForged(); }, S::kUnreachable, kNone, 0, 64, 1},
      {"forged, then true", [](LoopbackSntpServer& s) { s.AnswerForged(true); }, S::kSynced, 0, 0, 64, 1},
      {"malformed twice", [](LoopbackSntpServer& s) { s.AnswerMalformed(); }, S::kUnreachable, kNone, 0, 64, 1},
      {"silent", [](LoopbackSntpServer& s) { s.StaySilent(); }, S::kUnreachable, kNone, 0, 64, 0},
      {"RATE", [](LoopbackSntpServer& s) { s.AnswerKiss("RATE"); }, S::kNoAnswerYet, kNone, 0, 128, 1},
      {"DENY", [](LoopbackSntpServer& s) { s.AnswerKiss("DENY"); }, S::kRefused, kNone, 0, 64, 1},
      {"RSTR", [](LoopbackSntpServer& s) { s.AnswerKiss("RSTR"); }, S::kRefused, kNone, 0, 64, 1},
  };
  TempFolder folder;
  const HWND window = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountReports));
  std::set<std::uint64_t> nonces;
  for (const Row& row : rows) {
    LoopbackSntpServer server;
    row.serve(server);
    const std::wstring logPath = folder.File(std::to_wstring(nonces.size()) + L".log");
    ScopedAppLog log(logPath);
    SntpClient_CL client;
    const int before = reports;
    ASSERT_TRUE(client.Start(server.Address(), window, kReport));
    ASSERT_TRUE(WaitUntil([&] { return reports > before; }, kAnswerDeadlineMs * 2)) << row.what;
    const SyncStatus status = client.Status();
    client.Stop();
    EXPECT_EQ(row.state, status.state) << row.what;
    EXPECT_EQ(row.state == S::kSynced, status.applied) << row.what;
    EXPECT_EQ(row.intervalS, status.intervalS) << row.what;
    EXPECT_EQ(row.offsetMs != kNone, status.measured.has_value()) << row.what;
    if (row.offsetMs != kNone && status.measured) {
      // However slow the loopback, the offset is sure to within half of
      // what it added to the round trip.
      const double addedMs = static_cast<double>(status.measured->delayTicks) / kTicksPerMs - row.delayMs;
      EXPECT_GE(addedMs, -1.0) << row.what << ": the server's hold is part of the trip";
      EXPECT_LT(addedMs, kAnswerDeadlineMs) << row.what;
      EXPECT_NEAR(row.offsetMs, static_cast<double>(status.measured->offsetTicks) / kTicksPerMs, addedMs / 2 + 1)
          << row.what;
    }
    EXPECT_EQ(row.logLines, CountOccurrences(ReadUtf16(logPath), L"\r\n")) << row.what;

    const std::vector<std::vector<std::uint8_t>> requests = server.Requests();
    ASSERT_EQ(1u, requests.size()) << row.what;
    const std::vector<std::uint8_t>& request = requests[0];
    ASSERT_EQ(48u, request.size());
    EXPECT_EQ((4 << 3) | 3, request[0]) << "version 4, client";
    EXPECT_EQ(std::vector<std::uint8_t>(39), std::vector<std::uint8_t>(request.begin() + 1, request.begin() + 40))
        << "nothing but the transmit field tells about us";
    std::uint64_t nonce = 0;
    for (int index = 40; index < 48; ++index) nonce = (nonce << 8) | request[index];
    nonces.insert(nonce);
  }
  EXPECT_EQ(std::size(rows), nonces.size()) << "each request carries a value of its own";
  EXPECT_EQ(0u, nonces.count(0));
  DestroyWindow(window);
}
