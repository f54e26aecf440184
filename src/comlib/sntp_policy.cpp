#include "comlib/sntp_policy.h"

#include <algorithm>

namespace sntp {

namespace {

constexpr std::uint64_t kMsPerSecond = 1000;

std::int64_t Distance(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

SntpPolicy_CL::SntpPolicy_CL(std::uint64_t nowMs) : nextMs_(nowMs), lastOutcomeMs_(nowMs) {}

void SntpPolicy_CL::Answered(const Measurement& measurement, std::uint64_t nowMs) {
  if (InStartup()) {
    --startupLeft_;
    // The best sample so far is used at once, so the clock is right a
    // moment after start; later samples only replace it with a better one.
    if (!status_.measured || measurement.delayTicks < status_.measured->delayTicks) Take(measurement, nowMs);
  } else {
    const bool stable =
        status_.measured && Distance(measurement.offsetTicks, status_.measured->offsetTicks) <= kOffsetJumpTicks;
    status_.intervalS = stable ? std::min(status_.intervalS * 2, std::max(kMaxIntervalS, floorS_)) : floorS_;
    Take(measurement, nowMs);
  }
  ScheduleAfter(nowMs);
}

void SntpPolicy_CL::Unanswered(std::uint64_t nowMs) {
  // A start-up sample lost while an earlier one stands changes nothing shown.
  const bool earlierSampleStands = InStartup() && status_.measured;
  if (InStartup()) --startupLeft_;
  if (!earlierSampleStands) status_.state = SyncState::kUnreachable;
  if (status_.applied && nowMs - lastAnswerMs_ >= kHoldOffsetMs) status_.applied = false;
  ScheduleAfter(nowMs);
  // The next request comes in time to drop the offset when the hold ends.
  if (status_.applied) nextMs_ = std::min(nextMs_, lastAnswerMs_ + kHoldOffsetMs);
}

void SntpPolicy_CL::Kissed(Verdict kiss, std::uint64_t nowMs) {
  startupLeft_ = 0;
  if (kiss == Verdict::kKissRate) {
    floorS_ = std::min(std::max(status_.intervalS * 2, kMinIntervalS), kMaxRateIntervalS);
    status_.intervalS = floorS_;
    ScheduleAfter(nowMs);
    return;
  }
  status_.state = SyncState::kRefused;
  status_.applied = false;
  lastOutcomeMs_ = nowMs;
  nextMs_ = kNever;
}

void SntpPolicy_CL::AskNow(std::uint64_t nowMs) {
  // The start-up samples are on their way anyway.
  if (nextMs_ == kNever || InStartup()) return;
  nextMs_ = std::min(nextMs_, std::max(nowMs, lastOutcomeMs_ + kMinAskSpacingMs));
}

void SntpPolicy_CL::Take(const Measurement& measurement, std::uint64_t nowMs) {
  status_.measured = measurement;
  status_.applied = Distance(measurement.offsetTicks, 0) <= kMaxOffsetTicks;
  status_.state = status_.applied ? SyncState::kSynced : SyncState::kOutOfBounds;
  lastAnswerMs_ = nowMs;
}

void SntpPolicy_CL::ScheduleAfter(std::uint64_t nowMs) {
  lastOutcomeMs_ = nowMs;
  nextMs_ = nowMs + (InStartup() ? kStartupSpacingMs : status_.intervalS * kMsPerSecond);
}

}  // namespace sntp
