// clang-format off
// Winsock's header comes before windows.h, which would bring the older one.
#include "comlib/winsock_library.h"
// clang-format on
#include "comlib/sntp_client.h"

#include <bcrypt.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "comlib/log_file.h"

namespace sntp {

// What the client and its worker share. The worker reports only while the
// client has not given it up; the last of the two to let go frees it.
struct ClientShared {
  std::wstring server;
  HWND window = nullptr;
  UINT message = 0;
  comlib::UniqueKernelHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  comlib::UniqueKernelHandle ask{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  // Held while a report goes out and while the client gives the worker up.
  std::mutex reportMutex;
  bool givenUp = false;
  mutable std::mutex statusMutex;
  SyncStatus status;
};

namespace {

// Room for an answer one byte too long, so that it is seen as such.
constexpr int kReceiveRoom = static_cast<int>(kPacketBytes) + 1;
using GenRandomFn = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, ULONG);

using SystemTimeFn = void(WINAPI*)(LPFILETIME);

struct Outcome {
  enum class Kind { kAnswered, kUnanswered, kKissed, kStopped } kind = Kind::kUnanswered;
  Measurement measurement{};
  Verdict kiss = Verdict::kKissRate;
};

SystemTimeFn PreciseOrPlainClock(const DllFunction_CL& kernel) {
  const auto precise = kernel.GetFunctionAs<SystemTimeFn>("GetSystemTimePreciseAsFileTime");
  return precise != nullptr ? precise : &GetSystemTimeAsFileTime;
}

class Worker {
 public:
  explicit Worker(ClientShared& shared) : shared_(shared), hold_(logLines_) {}
  ~Worker() { Report(nullptr); }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  void Run();

 private:
  Outcome Exchange();
  comlib::UniqueSocket Connect();
  Outcome AwaitAnswer(const comlib::UniqueSocket& socket, std::uint64_t nonce, FileTicks sent);
  std::uint64_t NewNonce();
  void LogIgnored(Verdict verdict);
  void Report(const SyncStatus* status);
  FileTicks NowTicks() const;

  ClientShared& shared_;
  std::vector<std::wstring> logLines_;
  ScopedLogHold hold_;
  WinsockLibrary_CL winsock_;
  DllFunction_CL bcrypt_{L"bcrypt.dll"};
  // The precise clock came with Windows 8; Windows 7 has only the one that
  // moves on the system's 15.6 ms beat, which still serves a clock that
  // draws seconds.
  DllFunction_CL kernel_{L"kernel32.dll"};
  SystemTimeFn systemTime_ = PreciseOrPlainClock(kernel_);
  comlib::UniqueKernelHandle readable_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::uint64_t lastNonce_ = 0;
  unsigned loggedVerdicts_ = 0;
  bool loggedResolution_ = false;
};

void Worker::Run() {
  if (!winsock_.IsReady() || !readable_) {
    HORAVEL_LOG(L"Winsockを使えないので、時刻サーバーに問い合わせません。");
    SyncStatus unreachable;
    unreachable.state = SyncState::kUnreachable;
    Report(&unreachable);
    return;
  }
  SntpPolicy_CL policy(GetTickCount64());
  const HANDLE wakers[] = {shared_.stop.get(), shared_.ask.get()};
  while (policy.NextRequestMs() != kNever) {
    const std::uint64_t now = GetTickCount64();
    const std::uint64_t wait = policy.NextRequestMs() > now ? policy.NextRequestMs() - now : 0;
    const DWORD woken =
        WaitForMultipleObjects(2, wakers, FALSE, static_cast<DWORD>(std::min<std::uint64_t>(wait, INFINITE - 1)));
    if (woken == WAIT_OBJECT_0) return;
    if (woken == WAIT_OBJECT_0 + 1) {
      policy.AskNow(GetTickCount64());
      continue;
    }
    const Outcome outcome = Exchange();
    if (outcome.kind == Outcome::Kind::kStopped) return;
    if (outcome.kind == Outcome::Kind::kAnswered) {
      policy.Answered(outcome.measurement, GetTickCount64());
    } else if (outcome.kind == Outcome::Kind::kKissed) {
      HORAVEL_LOG(L"時刻サーバー %s のキスコード: %s", shared_.server.c_str(), VerdictText(outcome.kiss));
      policy.Kissed(outcome.kiss, GetTickCount64());
    } else {
      policy.Unanswered(GetTickCount64());
    }
    Report(&policy.Status());
  }
}

Outcome Worker::Exchange() {
  const comlib::UniqueSocket socket = Connect();
  const std::uint64_t nonce = NewNonce();
  if (!socket || nonce == 0) return Outcome{};
  const Packet request = Request(nonce);
  ResetEvent(readable_.get());
  if (winsock_.WSAEventSelect(socket.get(), readable_.get(), FD_READ) != 0) return Outcome{};
  // The time the request leaves is taken as late as it can be.
  const FileTicks sent = NowTicks();
  const int length = static_cast<int>(request.size());
  if (winsock_.send(socket.get(), reinterpret_cast<const char*>(request.data()), length, 0) != length) {
    return Outcome{};
  }
  return AwaitAnswer(socket, nonce, sent);
}

// A UDP socket connected to the server: Winsock then drops datagrams from
// any other address, and a closed port shows as an error at once.
comlib::UniqueSocket Worker::Connect() {
  const std::optional<ServerName> name = ParseServerName(shared_.server);
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_protocol = IPPROTO_UDP;
  ADDRINFOW* found = nullptr;
  if (!name || winsock_.GetAddrInfoW(name->host.c_str(), name->port.c_str(), &hints, &found) != 0) {
    if (!loggedResolution_) HORAVEL_LOG(L"時刻サーバー %s のアドレスが分かりません。", shared_.server.c_str());
    loggedResolution_ = true;
    return comlib::UniqueSocket();
  }
  comlib::UniqueSocket socket;
  for (const ADDRINFOW* address = found; address != nullptr && !socket; address = address->ai_next) {
    socket = winsock_.Open(address->ai_family, address->ai_socktype, address->ai_protocol);
    if (socket && winsock_.connect(socket.get(), address->ai_addr, static_cast<int>(address->ai_addrlen)) != 0) {
      socket.reset();
    }
  }
  winsock_.FreeAddrInfoW(found);
  return socket;
}

// Waits until the deadline for an answer that passes the checks: one that
// fails them is dropped and the wait goes on, so a forgery that comes
// first does not keep the true answer out.
Outcome Worker::AwaitAnswer(const comlib::UniqueSocket& socket, std::uint64_t nonce, FileTicks sent) {
  const HANDLE wakers[] = {shared_.stop.get(), readable_.get()};
  const std::uint64_t deadline = GetTickCount64() + kAnswerDeadlineMs;
  for (std::uint64_t now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    const DWORD woken = WaitForMultipleObjects(2, wakers, FALSE, static_cast<DWORD>(deadline - now));
    if (woken == WAIT_OBJECT_0) return Outcome{Outcome::Kind::kStopped};
    if (woken != WAIT_OBJECT_0 + 1) break;
    ResetEvent(readable_.get());
    for (;;) {
      std::uint8_t bytes[kReceiveRoom];
      const int received = winsock_.recv(socket.get(), reinterpret_cast<char*>(bytes), kReceiveRoom, 0);
      const FileTicks arrived = NowTicks();
      if (received < 0) {
        const int error = winsock_.WSAGetLastError();
        if (error == WSAEWOULDBLOCK) break;
        if (error != WSAEMSGSIZE) return Outcome{};  // refused, unreachable: no answer will come
      }
      const Answer answer =
          CheckAnswer(bytes, received < 0 ? sizeof(bytes) : static_cast<std::size_t>(received), nonce);
      if (answer.verdict == Verdict::kBelievable) {
        return Outcome{Outcome::Kind::kAnswered, Measure(sent, answer, arrived)};
      }
      if (answer.verdict == Verdict::kKissRate || answer.verdict == Verdict::kKissDeny ||
          answer.verdict == Verdict::kKissRestrict) {
        return Outcome{Outcome::Kind::kKissed, {}, answer.verdict};
      }
      LogIgnored(answer.verdict);
    }
  }
  return Outcome{};
}

FileTicks Worker::NowTicks() const {
  FILETIME now{};
  systemTime_(&now);
  return (static_cast<FileTicks>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// A random value from the system's generator, never 0 and never the last
// one, or 0 when there is none to be had.
std::uint64_t Worker::NewNonce() {
  const auto generate = bcrypt_.GetFunctionAs<GenRandomFn>("BCryptGenRandom");
  std::uint64_t nonce = 0;
  while (generate != nullptr && (nonce == 0 || nonce == lastNonce_)) {
    if (!BCRYPT_SUCCESS(
            generate(nullptr, reinterpret_cast<PUCHAR>(&nonce), sizeof(nonce), BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
      return 0;
    }
  }
  lastNonce_ = nonce;
  return nonce;
}

// Each kind of rejected answer is logged once per run: a hostile sender
// must not fill the log.
void Worker::LogIgnored(Verdict verdict) {
  const unsigned bit = 1u << static_cast<unsigned>(verdict);
  if (loggedVerdicts_ & bit) return;
  loggedVerdicts_ |= bit;
  HORAVEL_LOG(L"時刻サーバー %s からの応答を無視します（%s）。", shared_.server.c_str(), VerdictText(verdict));
}

// Passes the held log lines on and, with a status, publishes it and tells
// the window; nothing once the client has given the worker up.
void Worker::Report(const SyncStatus* status) {
  std::lock_guard<std::mutex> report(shared_.reportMutex);
  if (shared_.givenUp) return;
  AppendAppLogLines(logLines_);
  logLines_.clear();
  if (status == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(shared_.statusMutex);
    shared_.status = *status;
  }
  PostMessageW(shared_.window, shared_.message, 0, 0);
}

DWORD WINAPI RunWorker(void* parameter) {
  // The worker's own share keeps what it uses alive after the client has gone.
  const std::unique_ptr<std::shared_ptr<ClientShared>> share(static_cast<std::shared_ptr<ClientShared>*>(parameter));
  Worker(**share).Run();
  return 0;
}

}  // namespace

}  // namespace sntp

bool SntpClient_CL::Start(const std::wstring& server, HWND window, UINT message) {
  Stop();
  auto shared = std::make_shared<sntp::ClientShared>();
  shared->server = server;
  shared->window = window;
  shared->message = message;
  if (!shared->stop || !shared->ask) return false;
  auto share = std::make_unique<std::shared_ptr<sntp::ClientShared>>(shared);
  worker_.reset(CreateThread(nullptr, 0, &sntp::RunWorker, share.get(), 0, nullptr));
  if (!worker_) {
    HORAVEL_LOG(L"CreateThread()エラー = %u", static_cast<unsigned>(GetLastError()));
    return false;
  }
  share.release();  // now the worker's
  shared_ = std::move(shared);
  return true;
}

void SntpClient_CL::Stop() {
  if (!shared_) return;
  SetEvent(shared_->stop.get());
  if (WaitForSingleObject(worker_.get(), sntp::kStopWaitMs) == WAIT_TIMEOUT) {
    HORAVEL_LOG(L"時刻サーバーの名前解決が終わらないので、待たずに止めます。");
  }
  {
    std::lock_guard<std::mutex> report(shared_->reportMutex);
    shared_->givenUp = true;
  }
  worker_.reset();
  shared_.reset();
}

sntp::SyncStatus SntpClient_CL::Status() const {
  if (!shared_) return sntp::SyncStatus{};
  std::lock_guard<std::mutex> lock(shared_->statusMutex);
  return shared_->status;
}

void SntpClient_CL::MeasureNow() {
  if (shared_) SetEvent(shared_->ask.get());
}
