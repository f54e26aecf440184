// A time server on loopback for the benchmark of network time: answers
// truly, a chosen offset ahead of Windows, for a while, writes its address
// for the script to put in the settings, and then prints how many requests
// it had; and, from the client's own schedule, how many packets each way a
// steady server gets in the first hour and in every hour after.
//
//   sntp_bench_server.exe seconds offset_ms address_file

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "comlib/sntp_policy.h"
#include "support/sntp_server.h"

namespace {

constexpr std::uint64_t kHourMs = 3600 * 1000;

// Requests the schedule sends to a server that answers at once with an
// offset that never moves, in [fromMs, toMs).
int RequestsBetween(std::uint64_t fromMs, std::uint64_t toMs) {
  sntp::SntpPolicy_CL policy(0);
  int requests = 0;
  while (policy.NextRequestMs() < toMs) {
    const std::uint64_t at = policy.NextRequestMs();
    if (at >= fromMs) ++requests;
    policy.Answered(sntp::Measurement{0, 0, 0}, at);
  }
  return requests;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const int seconds = _wtoi(argv[1]);
  testing_support::LoopbackSntpServer server;
  server.AnswerTruly(_wtoi(argv[2]));
  {
    std::wofstream file(argv[3]);
    file << server.Address();
  }
  Sleep(static_cast<DWORD>(seconds) * 1000);
  std::printf("timesync_requests_seen=%zu in %d s\n", server.Requests().size(), seconds);
  std::printf("timesync_packets_each_way_first_hour=%d\n", RequestsBetween(0, kHourMs));
  std::printf("timesync_packets_each_way_per_hour_steady=%d\n", RequestsBetween(kHourMs, 2 * kHourMs));
  return 0;
}
