#include "view/network_time.h"

#include "app_ids.h"
#include "comlib/log_file.h"
#include "comlib/ui_text.h"
#include "text/sync_text.h"

void NetworkTime_CL::Apply(const TimeSyncSaveData_CL& setting, HWND window) {
  if (setting.use == 0) {
    Stop();
    return;
  }
  if (IsOn() && setting.server == server_) return;
  server_ = setting.server;
  StartAsking(window);
}

void NetworkTime_CL::Stop() {
  client_.Stop();
  server_.clear();
  voided_ = false;
}

void NetworkTime_CL::WindowsClockSet(HWND window) {
  if (!IsOn()) return;
  voided_ = true;
  const std::uint64_t sinceStartMs = GetTickCount64() - startedMs_;
  if (sinceStartMs >= sntp::kMinAskSpacingMs) {
    StartAsking(window);
  } else {
    SetTimer(window, kRestartTimerId, static_cast<UINT>(sntp::kMinAskSpacingMs - sinceStartMs), nullptr);
  }
}

bool NetworkTime_CL::OnTimer(HWND window, UINT_PTR timerId) {
  if (timerId != kRestartTimerId) return false;
  KillTimer(window, kRestartTimerId);
  if (IsOn() && voided_) StartAsking(window);
  return true;
}

void NetworkTime_CL::StartAsking(HWND window) {
  voided_ = false;
  startedMs_ = GetTickCount64();
  if (!client_.Start(server_, window, kTimeSyncReportMessage)) {
    HORAVEL_LOG(L"時刻サーバー %s への問い合わせを開始できません。", server_.c_str());
  }
}

sntp::SyncStatus NetworkTime_CL::Status() const { return voided_ ? sntp::SyncStatus{} : client_.Status(); }

std::wstring NetworkTime_CL::Tip() const {
  const UiLanguage language = CurrentUiLanguage();
  return synctext::TrayTip(IsOn() ? synctext::StatusLine(Status(), server_, language) : std::wstring(), language);
}
