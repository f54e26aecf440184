#include "comlib/task_tray_icon.h"

#include <cwchar>
#include <iterator>

#include "comlib/log_file.h"
#include "comlib/ui_text.h"

namespace {

// The log names these lines as the origin of the icon's events, whatever
// line of this file writes them, so that the log reads the same in every build.
constexpr int kLogLineTaskbarMessage = 46;
constexpr int kLogLineAddFailed = 126;
constexpr int kLogLineUpdated = 147;
constexpr int kLogLineAdded = 157;
constexpr int kLogLineRemoved = 164;
constexpr int kLogLineAddAgain = 197;

constexpr wchar_t kTaskbarCreatedName[] = L"TaskbarCreated";
constexpr wchar_t kTipQueryName[] = L"Horavel.TrayTip";

class SystemShell : public TrayShell {
 public:
  BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override { return Shell_NotifyIconW(message, data); }
  void StartPause(HWND window, UINT_PTR timerId, DWORD milliseconds) override {
    SetTimer(window, timerId, milliseconds, nullptr);
  }
  void StopPause(HWND window, UINT_PTR timerId) override { KillTimer(window, timerId); }
  int AskRetry(HWND owner, const std::wstring& text, const std::wstring& caption) override {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_RETRYCANCEL);
  }
};

}  // namespace

TrayShell& SystemTrayShell() {
  static SystemShell shell;
  return shell;
}

TaskTrayIcon_CL::TaskTrayIcon_CL(const std::wstring& caption, TrayShell& shell)
    : caption_(caption), shell_(shell) {
  data_.cbSize = sizeof(data_);
  taskbarCreated_ = RegisterWindowMessageW(kTaskbarCreatedName);
  WriteLog(AppLog(), L"タスクバーリスタートメッセージ Id = %d", __FILE__, kLogLineTaskbarMessage,
           static_cast<int>(taskbarCreated_));
}

TaskTrayIcon_CL::~TaskTrayIcon_CL() {
  if (IsShown()) {
    Remove();
  } else {
    SetIcon(nullptr);
  }
}

bool TaskTrayIcon_CL::Add(HWND window) {
  StopRetrying();
  data_.hWnd = window;
  budget_ = kAttemptBudget;
  return Attempt();
}

bool TaskTrayIcon_CL::OnTimer(UINT_PTR timerId) {
  if (timerId != kRetryTimerId) return false;
  // Each pause ends with one attempt, which may start the next pause.
  const bool wasRetrying = retrying_;
  StopRetrying();
  if (wasRetrying && IsShown()) Attempt();
  return true;
}

bool TaskTrayIcon_CL::Attempt() {
  if (shell_.NotifyIcon(NIM_ADD, &data_)) return Added();
  const DWORD error = GetLastError();
  WriteLog(AppLog(), L"タスクトレイへアイコンを追加失敗。Shell_NotifyIconエラー %d, 0x%08x", __FILE__,
           kLogLineAddFailed, 0, static_cast<unsigned>(error));
  // A timed-out add may have reached the shell after all, so it costs no attempt.
  if (error != ERROR_TIMEOUT && --budget_ <= 0) {
    if (shell_.AskRetry(data_.hWnd, UiText(TextId::kTrayCannotAdd), caption_) != IDRETRY) {
      data_.hWnd = nullptr;
      return false;
    }
    budget_ = kAttemptBudget;
  }
  if (shell_.NotifyIcon(NIM_MODIFY, &data_)) {
    WriteLog(AppLog(), L"タスクトレイへアイコンアップデート成功", __FILE__, kLogLineUpdated);
    return Added();
  }
  retrying_ = true;
  shell_.StartPause(data_.hWnd, kRetryTimerId, kRetryPauseMs);
  return false;
}

bool TaskTrayIcon_CL::Added() {
  WriteLog(AppLog(), L"タスクトレイへアイコンを追加しました。", __FILE__, kLogLineAdded);
  return true;
}

void TaskTrayIcon_CL::StopRetrying() {
  if (retrying_) shell_.StopPause(data_.hWnd, kRetryTimerId);
  retrying_ = false;
}

void TaskTrayIcon_CL::Remove() {
  SetIcon(nullptr);
  StopRetrying();
  // An icon that was never added, or was given up, has nothing to remove.
  if (!IsShown()) return;
  WriteLog(AppLog(), L"タスクトレイアイコンを削除しました。", __FILE__, kLogLineRemoved);
  shell_.NotifyIcon(NIM_DELETE, &data_);
  data_.hWnd = nullptr;
}

bool TaskTrayIcon_CL::IsTaskbarCreated(UINT message) {
  // A failed registration leaves 0, which must not match WM_NULL.
  if (taskbarCreated_ == 0 || message != taskbarCreated_ || !IsShown()) return false;
  WriteLog(AppLog(), L"タスクトレイアイコンを追加します。(IsTaskbarCreated)", __FILE__, kLogLineAddAgain);
  Add(data_.hWnd);
  return true;
}

void TaskTrayIcon_CL::SetIcon(HICON icon) {
  if (icon != icon_.get()) icon_.reset(icon);
  data_.hIcon = icon;
}

void TaskTrayIcon_CL::SetTip(const std::wstring& tip) {
  if (tip.compare(0, std::wstring::npos, data_.szTip) == 0) return;
  wcsncpy_s(data_.szTip, tip.c_str(), _TRUNCATE);
  data_.uFlags |= NIF_TIP;
  if (IsShown() && !retrying_) shell_.NotifyIcon(NIM_MODIFY, &data_);
}

UINT TaskTrayIcon_CL::TipQueryMessage() {
  static const UINT message = RegisterWindowMessageW(kTipQueryName);
  return message;
}

bool TaskTrayIcon_CL::AnswerTipQuery(UINT message, WPARAM index, LRESULT* reply) const {
  const UINT query = TipQueryMessage();
  // A failed registration leaves 0, which must not match WM_NULL.
  if (query == 0 || message != query) return false;
  const size_t length = wcsnlen_s(data_.szTip, std::size(data_.szTip));
  *reply = index < length ? static_cast<LRESULT>(data_.szTip[index]) : 0;
  return true;
}
