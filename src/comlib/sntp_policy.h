#pragma once
// When to ask the time server and what to make of its answers: the
// start-up samples, the interval between requests, the kiss-o'-death codes,
// the bound on a believable offset, and how long an offset outlives a
// server that stopped answering. Plain values only: the caller passes the
// time (milliseconds on a steady clock, GetTickCount64) and the outcome of
// each exchange, and reads when to ask next and what to show.

#include <cstdint>
#include <optional>

#include "comlib/sntp.h"

namespace sntp {

// Four samples at start, a second apart; the one with the smallest delay
// is kept, as NTP's clock filter keeps it, since the least time on the
// path leaves the least room for error.
constexpr int kStartupSamples = 4;
constexpr std::uint64_t kStartupSpacingMs = 1000;
// Between requests afterwards: 64 s, doubled while the offset stays
// stable up to 1024 s (NTP's default poll range).
constexpr std::uint32_t kMinIntervalS = 64;
constexpr std::uint32_t kMaxIntervalS = 1024;
// A "RATE" doubles the interval and its floor, up to NTP's longest poll.
constexpr std::uint32_t kMaxRateIntervalS = 131072;
// An offset that moves by more than this since the last answer has jumped:
// Windows' clock was set or the path changed, so the next request comes
// after the shortest interval again. A healthy clock drifts less (100 ppm
// over the longest interval is about 100 ms).
constexpr std::int64_t kOffsetJumpTicks = 100 * kTicksPerMs;
// Further off than this, the server or Windows' clock is not to be trusted
// with the drawn time: the offset is reported, not applied.
constexpr std::int64_t kMaxOffsetTicks = 1000 * kTicksPerSecond;
// How long an offset is kept once the server stops answering: a clock that
// drifts 100 ppm is then out by a third of a second.
constexpr std::uint64_t kHoldOffsetMs = 3600 * 1000;
// A request asked for by the user leaves no sooner than this after the
// last one (RFC 4330's shortest interval).
constexpr std::uint64_t kMinAskSpacingMs = 15 * 1000;
constexpr std::uint64_t kNever = UINT64_MAX;

enum class SyncState {
  kNoAnswerYet,
  kSynced,       // the last request was answered; its offset is applied
  kUnreachable,  // the last request went unanswered (see `applied`)
  kRefused,      // the server said DENY or RSTR: no more requests
  kOutOfBounds,  // the server's time is further off than kMaxOffsetTicks
};

// What the clock and the user are shown.
struct SyncStatus {
  SyncState state = SyncState::kNoAnswerYet;
  // The measurement the state speaks of: the one applied, the one out of
  // bounds, or the last one taken before the server fell silent.
  std::optional<Measurement> measured;
  // Whether the clock adds measured->offsetTicks to Windows' time.
  bool applied = false;
  std::uint32_t intervalS = kMinIntervalS;

  // What the clock adds to Windows' time: 0 unless an offset is applied.
  std::int64_t OffsetToApply() const { return applied && measured ? measured->offsetTicks : 0; }
};

class SntpPolicy_CL {
 public:
  // The first request is due at `nowMs`.
  explicit SntpPolicy_CL(std::uint64_t nowMs);

  // When the next request should leave; kNever once the server refused.
  std::uint64_t NextRequestMs() const { return nextMs_; }
  const SyncStatus& Status() const { return status_; }

  // The outcome of the request that was due, known at `nowMs`.
  void Answered(const Measurement& measurement, std::uint64_t nowMs);
  // No believable answer before the deadline (silence, forgeries, rubbish).
  void Unanswered(std::uint64_t nowMs);
  // A kiss-o'-death verdict: kKissRate, kKissDeny or kKissRestrict.
  void Kissed(Verdict kiss, std::uint64_t nowMs);
  // The user asks to measure now.
  void AskNow(std::uint64_t nowMs);

 private:
  bool InStartup() const { return startupLeft_ > 0; }
  void Take(const Measurement& measurement, std::uint64_t nowMs);
  void ScheduleAfter(std::uint64_t nowMs);

  SyncStatus status_;
  std::uint64_t nextMs_;
  std::uint64_t lastOutcomeMs_ = 0;
  std::uint64_t lastAnswerMs_ = 0;
  int startupLeft_ = kStartupSamples;
  std::uint32_t floorS_ = kMinIntervalS;
};

}  // namespace sntp
