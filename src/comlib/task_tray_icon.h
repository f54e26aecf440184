#pragma once
// The program's icon in the notification area: added with patience (the
// shell may not be ready at sign-in), removed at the end, and put back when
// the taskbar restarts.

#include <windows.h>
#include <shellapi.h>

#include <string>

// The three calls that the icon's retry loop makes of the system. Tests
// stand in for them to play a shell that refuses, times out or succeeds.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  virtual BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW* data) = 0;
  virtual void Sleep(DWORD milliseconds) = 0;
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

  explicit TaskTrayIcon_CL(const std::wstring& caption, TrayShell& shell = SystemTrayShell());
  virtual ~TaskTrayIcon_CL();
  TaskTrayIcon_CL(const TaskTrayIcon_CL&) = delete;
  TaskTrayIcon_CL& operator=(const TaskTrayIcon_CL&) = delete;

  // Shows the icon for the window; false when the user gave up.
  bool Add(HWND window);
  // Takes the icon off the notification area and lets go of its image.
  void Remove();
  // True for the taskbar's restart message while the icon is shown; the
  // icon is then added again.
  bool IsTaskbarCreated(UINT message);

  // The owner fills in the icon, callback message and tip before Add.
  NOTIFYICONDATAW& Data() { return data_; }
  // Replaces the icon image, destroying the one held before.
  void SetIcon(HICON icon);
  bool IsShown() const { return data_.hWnd != nullptr; }
  UINT TaskbarCreatedMessage() const { return taskbarCreated_; }

 private:
  NOTIFYICONDATAW data_{};
  UINT taskbarCreated_ = 0;
  std::wstring caption_;
  TrayShell& shell_;
};
