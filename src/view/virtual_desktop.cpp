#include "view/virtual_desktop.h"

#include <servprov.h>

#include <utility>

#include "comlib/log_file.h"

namespace {

// The immersive shell, and the service under which it offers the desktop
// manager. Interface ids come from __uuidof, which keeps the whole of
// libuuid's table out of the program.
const CLSID kImmersiveShell = {0xC2F03A33, 0x21F5, 0x47FA, {0xB4, 0xBB, 0x15, 0x63, 0x62, 0xA2, 0xF2, 0x39}};
const GUID kVirtualDesktopManagerService = {0xA5CD92FF, 0x29BE, 0x454C, {0x8D, 0x04, 0xD8, 0x28, 0x79, 0xFB, 0x3F, 0x1B}};

class ImmersiveShellSource : public DesktopManagerSource {
 public:
  bool Connect(comlib::ComPtr<IVirtualDesktopManager>& manager) override {
    comlib::ComPtr<IServiceProvider> shell;
    if (FAILED(CoCreateInstance(kImmersiveShell, nullptr, CLSCTX_LOCAL_SERVER, __uuidof(IServiceProvider),
                                shell.put_void())) ||
        !shell) {
      return false;
    }
    return SUCCEEDED(shell->QueryService(kVirtualDesktopManagerService, __uuidof(IVirtualDesktopManager),
                                         manager.put_void())) &&
           manager;
  }
};

ImmersiveShellSource& ImmersiveShell() {
  static ImmersiveShellSource shell;
  return shell;
}

}  // namespace

bool HasMovedToOtherDesktop(bool reached, HRESULT status, BOOL onCurrentDesktop) {
  return reached && SUCCEEDED(status) && !onCurrentDesktop;
}

bool IsShellGone(HRESULT status) {
  return status == RPC_E_DISCONNECTED || status == RPC_E_SERVER_DIED || status == RPC_E_SERVER_DIED_DNE ||
         status == CO_E_OBJNOTCONNECTED || status == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
         status == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED);
}

ULONGLONG DesktopReconnectDelayMs(int failuresInARow) {
  constexpr ULONGLONG kFirstDelayMs = 60 * 1000;
  constexpr ULONGLONG kLongestDelayMs = 60 * 60 * 1000;
  ULONGLONG delay = kFirstDelayMs;
  for (int failure = 1; failure < failuresInARow && delay < kLongestDelayMs; ++failure) delay *= 2;
  return delay < kLongestDelayMs ? delay : kLongestDelayMs;
}

KeptDesktopManager::KeptDesktopManager(DesktopManagerSource& source, MillisecondClock now)
    : source_(source), now_(std::move(now)) {}

bool KeptDesktopManager::Ask(HWND window, HRESULT* status, BOOL* onCurrentDesktop) {
  if (!manager_ && !Reconnect()) return false;
  *onCurrentDesktop = FALSE;
  *status = manager_->IsWindowOnCurrentVirtualDesktop(window, onCurrentDesktop);
  if (IsShellGone(*status)) {
    manager_.reset();
    RememberFailure(now_());
  }
  return true;
}

bool KeptDesktopManager::Reconnect() {
  const ULONGLONG now = now_();
  if (failuresInARow_ > 0 && now - failedAtMs_ < DesktopReconnectDelayMs(failuresInARow_)) return false;
  if (source_.Connect(manager_) && manager_) {
    failuresInARow_ = 0;
    return true;
  }
  manager_.reset();
  RememberFailure(now);
  return false;
}

void KeptDesktopManager::RememberFailure(ULONGLONG nowMs) {
  ++failuresInARow_;
  failedAtMs_ = nowMs;
}

VirtualDesktopQuery& SystemVirtualDesktopQuery() {
  static KeptDesktopManager query(ImmersiveShell());
  return query;
}

bool DesktopWatch_CL::MovedAway(HWND clock) {
  if (failed_ || restarting_ || deferred_) return false;
  HRESULT status = S_OK;
  BOOL onCurrentDesktop = FALSE;
  const bool reached = desktop_.Ask(clock, &status, &onCurrentDesktop);
  if (!HasMovedToOtherDesktop(reached, status, onCurrentDesktop)) return false;
  HORAVEL_LOG(L"カレントデスクトップ移動を検出したので再起動します。");
  return true;
}

bool DesktopWatch_CL::Restart(HWND clock) {
  deferred_ = false;
  restarting_ = true;
  failed_ = restart_ == nullptr || !restart_(clock);
  restarting_ = false;
  return !failed_;
}
