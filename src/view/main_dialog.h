#pragma once
// The clock window: the clock's face, and the program's hub. It owns the
// notification-area icon, takes the icon's clicks, the hot key and the
// menu's commands, runs the one tick and follows power, display, time and
// virtual-desktop changes; what any of them means for the faces, the
// display decides. The settings sheet's life and the restart live in small
// classes of their own.

#include <windows.h>

#include <functional>
#include <utility>

#include "comlib/hot_key.h"
#include "comlib/task_tray_icon.h"
#include "comlib/unique_handle.h"
#include "view/display.h"
#include "view/face_window.h"
#include "view/network_time.h"
#include "view/settings_host.h"
#include "view/virtual_desktop.h"

class MainDialog_CL : public FaceWindow_CL {
 public:
  // A second start finds the running clock by this class and its title.
  static constexpr wchar_t kClassName[] = L"MainWindowClass";
  // The id of the show-and-hide hot key, as WM_HOTKEY carries it.
  static constexpr int kHotKeyId = 1;

  using RestartFunction = DesktopWatch_CL::RestartFunction;

  // The settings are loaded before the window is made; the clock's menu
  // changes them (the monitor chosen), and so does the sheet it opens.
  MainDialog_CL(Settings_CL& settings, Display_CL& display, VirtualDesktopQuery& desktop,
                TrayShell& trayShell = SystemTrayShell(), RestartFunction restart = nullptr);
  ~MainDialog_CL() override;

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroy() override;

  // What the end of the Windows session runs once the sheet's settings are
  // back: the program's windows go and its platform is shut down, before
  // Windows may end the process.
  void SetSessionEndAction(std::function<void()> action) { sessionEndAction_ = std::move(action); }

  const TaskTrayIcon_CL& Icon() const { return icon_; }

 protected:
  void OnFaceCreated() override;

 private:
  // The machine's displays, time, fonts, power and session: true with the
  // answer in `result` where the message is answered here.
  bool OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  void OnTimer();
  // Arms the clock's timer for just past the wall clock's next half second.
  void AlignClockTimer();
  // Keeps the timer to the wall clock: armed again only when a tick strays,
  // and at the tick's own period once it is on time.
  void KeepTimerAligned(UINT msIntoSecond);
  // The clock was set, or the time zones changed.
  void OnTimeChange();
  void OnTrayMessage(UINT mouseMessage);
  void OnCommand(WPARAM command);
  // True when the close must wait for the settings sheet to close first.
  bool DeferCloseForSheet();
  void OnSizeChanged(WPARAM sizeType);
  void OnPowerBroadcast(WPARAM event, LPARAM setting);
  void OnEndSession(WPARAM ending, LPARAM reason);
  void PowerResume();
  void ShowOnDisplay(int displayNumber);
  // A group of faces on every monitor, or only the clock's own.
  void ShowOnEveryDisplay(bool every);
  // Starts a fresh copy and closes this one; false when the copy could not start.
  bool Restart();
  // Carries out what was asked for while a sheet ran.
  void AfterSheet(SettingsHost_CL::After after);
  void SaveWindowRect();
  void AddTrayIcon();
  void RegisterPowerNotifications();

  // Network time: true where the message is one of its own.
  bool OnTimeSyncMessage(UINT message, LPARAM lParam);
  // The client is started, switched or stopped as the setting says.
  void ApplyTimeSync();
  // The faces take the offset found, the ticks keep to the corrected
  // second, and the icon's tip says how Windows' clock stands.
  void ShowTimeSync();

  Settings_CL& settings_;
  TaskTrayIcon_CL icon_;
  SettingsHost_CL sheet_;
  DesktopWatch_CL desktop_;
  comlib::UniquePowerNotification monitorNotification_;
  comlib::UniquePowerNotification displayNotification_;
  HotKey_CL hotKey_{kHotKeyId};
  NetworkTime_CL networkTime_;
  // What the clock's timer was last armed with.
  UINT timerMs_ = 0;
  std::function<void()> sessionEndAction_;
};
