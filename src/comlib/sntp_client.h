#pragma once
// Network time from one time server, measured on a worker thread of its
// own so that the thread that owns the clock never waits for the network.
// While a client runs, its worker holds Winsock and one UDP socket per
// request (never two at a time), follows the start-up samples and the
// interval of comlib/sntp_policy.h, and posts a message to a window each
// time there is news. Stopped, it holds no thread, socket or library.
//
// Use: Start() when network time is switched on (or its server changes),
// read Status() when the message comes, Stop() when it is switched off;
// the clock draws Windows' time plus Status().OffsetToApply().

#include <windows.h>

#include <memory>
#include <string>

#include "comlib/sntp_policy.h"
#include "comlib/unique_handle.h"

namespace sntp {

// An answer later than this is not awaited: its round trip would leave
// the offset unsure by a second, useless to a clock that shows seconds.
constexpr DWORD kAnswerDeadlineMs = 2000;
// How long Stop() waits for the worker. A woken worker ends within
// milliseconds, except while it resolves a name, which cannot be cut short.
constexpr DWORD kStopWaitMs = 500;

struct ClientShared;

}  // namespace sntp

class SntpClient_CL {
 public:
  SntpClient_CL() = default;
  ~SntpClient_CL() { Stop(); }
  SntpClient_CL(const SntpClient_CL&) = delete;
  SntpClient_CL& operator=(const SntpClient_CL&) = delete;

  // Starts asking `server`: "time.windows.com", an address, "name:port" or
  // "[IPv6 address]:port" (sntp::ParseServerName). Returns at once, false
  // when the worker could not start; a running client is stopped first.
  // `message` is posted to `window` (both parameters 0) after each
  // exchange's outcome; it is never posted once Stop() has returned.
  bool Start(const std::wstring& server, HWND window, UINT message);

  // Ends the worker. One still resolving a name after kStopWaitMs is left
  // to end by itself: it owns all it uses and reports nothing more.
  void Stop();

  // From Start() to Stop(), also after a refusal has ended the worker.
  bool IsRunning() const { return static_cast<bool>(worker_); }

  // The latest status, from any thread; the default (nothing applied) when
  // the client is stopped. Once the server refused, the worker has ended
  // but the status stays until Stop().
  sntp::SyncStatus Status() const;

  // The user's "measure now": a request leaves at once, or 15 s after the
  // previous one (sntp::kMinAskSpacingMs); ignored during the start-up samples.
  void MeasureNow();

 private:
  std::shared_ptr<sntp::ClientShared> shared_;
  comlib::UniqueKernelHandle worker_;
};
