#include "comlib/web_fetch.h"

#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "comlib/inet_http.h"
#include "comlib/log_file.h"
#include "comlib/unique_handle.h"

namespace webfetch {

namespace {

// What the caller and its worker share. The caller reads the result only
// once the worker has ended in time; after the caller gives up, the worker
// alone uses it, and the last of the two to let go frees it.
struct FetchJob {
  WebAddress address;
  std::atomic<bool> givenUp{false};
  std::optional<std::string> body;
  std::vector<std::wstring> logLines;
};

bool IsRedirect(DWORD status) {
  return status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT || status == HTTP_STATUS_REDIRECT_METHOD ||
         status == HTTP_STATUS_REDIRECT_KEEP_VERB || status == HTTP_STATUS_PERMANENT_REDIRECT;
}

std::optional<std::string> FetchFollowingRedirects(WebAddress address, const std::atomic<bool>& givenUp) {
  InetHttp_CL http;
  http.Open();
  if (!http.IsOpen()) return std::nullopt;
  for (int redirects = 0; !givenUp; ++redirects) {
    if (http.Connect(address.host, address.port) == nullptr) return std::nullopt;
    if (http.Request(address.path, address.secure) == 0) return std::nullopt;
    if (!IsRedirect(http.StatusCode())) {
      const long length = http.ContentLength();
      if (length == InetHttp_CL::kUnknownLength || http.Read(length) != length) return std::nullopt;
      return http.BodyBytes();
    }
    if (redirects == kMaxRedirects) {
      HORAVEL_LOG(L"リダイレクトが%d回を超えたので、これ以上たどりません。", kMaxRedirects);
      return std::nullopt;
    }
    const std::optional<WebAddress> next = webaddress::RedirectTarget(address, http.Location());
    if (!next) {
      HORAVEL_LOG(L"リダイレクト先がhttp://かhttps://のアドレスではないので、たどりません。");
      return std::nullopt;
    }
    // What came over TLS may not be taken over plain HTTP.
    if (address.secure && !next->secure) {
      HORAVEL_LOG(L"https://からhttp://へのリダイレクトはたどりません。");
      return std::nullopt;
    }
    if (!webaddress::IsTrustedChannel(*next)) {
      HORAVEL_LOG(L"このパソコンの外のhttp://へのリダイレクトはたどりません。");
      return std::nullopt;
    }
    address = *next;
  }
  return std::nullopt;
}

DWORD WINAPI RunFetchJob(void* parameter) {
  // The worker's own share keeps the job alive after the caller has gone.
  const std::unique_ptr<std::shared_ptr<FetchJob>> share(static_cast<std::shared_ptr<FetchJob>*>(parameter));
  FetchJob& job = **share;
  ScopedLogHold hold(job.logLines);
  job.body = FetchFollowingRedirects(job.address, job.givenUp);
  return 0;
}

enum class Waited { kSignalled, kTimedOut, kWindowGone };

// Waits for the object, answering what other threads and programs send to
// this thread's windows meanwhile (a program broadcasting to every window
// must not hang on the clock); posted messages wait in the queue. Stops
// when what was sent destroyed the waiting window (the session ended).
Waited WaitAnsweringSentMessages(HANDLE object, DWORD timeoutMs, HWND waiting) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    const DWORD woken = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) return Waited::kSignalled;
    if (woken != WAIT_OBJECT_0 + 1) return Waited::kTimedOut;
    MSG sent;
    PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (waiting != nullptr && !IsWindow(waiting)) return Waited::kWindowGone;
  }
}

}  // namespace

Result FetchWithin(const WebAddress& address, DWORD timeLimitMs, HWND waiting) {
  const auto job = std::make_shared<FetchJob>();
  job->address = address;
  auto share = std::make_unique<std::shared_ptr<FetchJob>>(job);
  const comlib::UniqueKernelHandle worker(CreateThread(nullptr, 0, &RunFetchJob, share.get(), 0, nullptr));
  if (!worker) {
    HORAVEL_LOG(L"CreateThread()エラー = %u", static_cast<unsigned>(GetLastError()));
    return Result{};
  }
  share.release();  // now the worker's
  const Waited waited = WaitAnsweringSentMessages(worker.get(), timeLimitMs, waiting);
  if (waited != Waited::kSignalled) {
    job->givenUp = true;
    return Result{waited == Waited::kTimedOut ? Outcome::kTimedOut : Outcome::kAbandoned, {}};
  }
  AppendAppLogLines(job->logLines);
  if (!job->body) return Result{};
  return Result{Outcome::kFetched, std::move(*job->body)};
}

}  // namespace webfetch
