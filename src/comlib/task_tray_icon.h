#pragma once
// The program's icon in the notification area: added with patience (the
// shell may not be ready at sign-in), removed at the end, and put back when
// the taskbar restarts. The pauses between attempts are timer messages to
// the owner window, so the window keeps painting while the shell comes up.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "comlib/unique_handle.h"

// The calls that the icon's retries make of the system. Tests stand in for
// them to play a shell that refuses, times out or succeeds.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  virtual BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW* data) = 0;
  // A pause before the next attempt: the window gets WM_TIMER with the id.
  virtual void StartPause(HWND window, UINT_PTR timerId, DWORD milliseconds) = 0;
  virtual void StopPause(HWND window, UINT_PTR timerId) = 0;
  // The question after the attempts ran out; returns the button (IDRETRY, IDCANCEL).
  virtual int AskRetry(HWND owner, const std::wstring& text, const std::wstring& caption) = 0;
};

// The real shell, sleep and message box.
TrayShell& SystemTrayShell();

class TaskTrayIcon_CL {
 public:
  // Attempts before the user is asked, and the pause between them.
  static constexpr int kAttemptBudget = 60;
  static constexpr DWORD kRetryPauseMs = 2000;
  // The owner window's timer that paces the attempts.
  static constexpr UINT_PTR kRetryTimerId = 0x3200;

  explicit TaskTrayIcon_CL(const std::wstring& caption, TrayShell& shell = SystemTrayShell());
  virtual ~TaskTrayIcon_CL();
  TaskTrayIcon_CL(const TaskTrayIcon_CL&) = delete;
  TaskTrayIcon_CL& operator=(const TaskTrayIcon_CL&) = delete;

  // Shows the icon for the window. True when it is in place at once;
  // otherwise the attempts go on at each retry timer until the icon is in
  // place or the user gives up.
  bool Add(HWND window);
  // The owner window passes its timers here; true for the retry timer.
  bool OnTimer(UINT_PTR timerId);
  // Takes the icon off the notification area and lets go of its image.
  void Remove();
  // True for the taskbar's restart message while the icon is shown; the
  // icon is then added again.
  bool IsTaskbarCreated(UINT message);

  // The owner fills in the icon, callback message and tip before Add.
  NOTIFYICONDATAW& Data() { return data_; }
  // Replaces the icon image, destroying the one held before.
  void SetIcon(HICON icon);
  // Replaces the tip (cut to what szTip holds) and shows it on an icon in
  // place; an icon still being added takes it with its next attempt.
  void SetTip(const std::wstring& tip);
  // In a window procedure: true, with the tip's character at `index` (0
  // past its end) in `reply`, when `message` is the registered message
  // "Horavel.TrayTip". Another process reads the tip one character a call
  // (the shell keeps its own copy out of reach).
  bool AnswerTipQuery(UINT message, WPARAM index, LRESULT* reply) const;
  static UINT TipQueryMessage();
  // True while the icon is in place or still being added.
  bool IsShown() const { return data_.hWnd != nullptr; }
  bool IsRetrying() const { return retrying_; }
  UINT TaskbarCreatedMessage() const { return taskbarCreated_; }

 private:
  // One attempt; asks the user when the budget is spent. True when the
  // icon is in place; otherwise a pause is started or the user gave up.
  bool Attempt();
  bool Added();
  void StopRetrying();

  NOTIFYICONDATAW data_{};
  // The image data_.hIcon names.
  comlib::UniqueIcon icon_;
  int budget_ = kAttemptBudget;
  bool retrying_ = false;
  UINT taskbarCreated_ = 0;
  std::wstring caption_;
  TrayShell& shell_;
};
