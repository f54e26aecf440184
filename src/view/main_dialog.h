#pragma once
// The clock window: it shows the time and drives the program. It owns the
// notification-area icon, takes the icon's clicks and the menu's commands,
// runs the heartbeat timer, keeps itself on top and follows display, power
// and virtual-desktop changes.

#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "comlib/back_buffer.h"
#include "comlib/hot_key.h"
#include "comlib/task_tray_icon.h"
#include "comlib/unique_handle.h"
#include "comlib/window_base.h"
#include "view/display.h"
#include "view/virtual_desktop.h"

class SettingDialog_CL;

class MainDialog_CL : public MainWindowBase_CL {
 public:
  // A second start finds the running clock by this class and its title.
  static constexpr wchar_t kClassName[] = L"MainWindowClass";
  // The id of the show-and-hide hot key, as WM_HOTKEY carries it.
  static constexpr int kHotKeyId = 1;

  // Starts a fresh copy of the program and closes this one; false when the
  // copy could not be started.
  using RestartFunction = bool (*)(HWND clockWindow);

  MainDialog_CL(bool startupFlag, VirtualDesktopQuery& desktop, TrayShell& trayShell = SystemTrayShell(),
                RestartFunction restart = nullptr);
  ~MainDialog_CL() override;

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroy() override;
  void OnSize() override;

  // What the end of the Windows session runs: the program's clean shutdown,
  // which ends the process.
  void SetSessionEndAction(std::function<void()> action) { sessionEndAction_ = std::move(action); }

  const TaskTrayIcon_CL& Icon() const { return icon_; }

 private:
  LRESULT OnCreateClock();
  void OnTimer();
  // Arms the clock's timer for just past the wall clock's next half second.
  void AlignClockTimer();
  // The clock was set: the time shows at once and the ticks keep to it.
  void OnTimeChange();
  void OnTrayMessage(UINT mouseMessage);
  // The icon's left click and the hot key: hide or show both windows.
  void ToggleHidden();
  // Hides both windows while another program shows full screen on the
  // clock's monitor and shows them when it has gone; true while making way.
  bool MakeWayForFullScreen();
  bool ShouldMakeWay() const;
  void OnCommand(WPARAM command);
  LRESULT OnCloseRequest(WPARAM closeCode);
  // True when the close must wait for the settings sheet to close first.
  bool DeferCloseForSheet();
  void OnSizeChanged(WPARAM sizeType);
  void OnDisplayChange();
  void OnPowerBroadcast(WPARAM event, LPARAM setting);
  void OnEndSession(WPARAM ending, LPARAM reason);
  void PowerResume();

  void SetHidden(bool hidden);
  void ApplyVisibility();
  void SaveWindowRect();
  void AddTrayIcon();
  void RegisterPowerNotifications();
  // True when the program is restarting for another virtual desktop.
  bool CheckVirtualDesktop();
  bool Restart();
  void ShowOnDisplay(int displayNumber);
  // The settings sheet runs inside OpenSettings; the closed message comes
  // after. An end or a restart asked for while it runs closes it first and
  // happens when it has closed.
  void OpenSettings();
  void OnSettingsClosed();
  void FinishDeferredClose();
  void DiscardSettingsDialog();

  BackBuffer_CL backBuffer_;
  TaskTrayIcon_CL icon_;
  bool startupFlag_;
  bool created_ = false;
  int topmostCounter_ = 0;
  std::unique_ptr<SettingDialog_CL> settingDialog_;
  // The sheet runs (inside OpenSettings); the object outlives it until the
  // closed message.
  bool sheetRunning_ = false;
  // A settings command came while the last sheet was closing.
  bool settingsWanted_ = false;
  // What waits for the running sheet to close.
  bool exitPending_ = false;
  bool restartPending_ = false;
  unsigned tickCounter_ = 0;
  comlib::UniquePowerNotification monitorNotification_;
  comlib::UniquePowerNotification displayNotification_;
  VirtualDesktopQuery& desktop_;
  RestartFunction restart_;
  // A restart runs once: once begun, further desktop changes are ignored.
  // After one that could not start the new copy, the desktop is no longer
  // watched: each further try would fail the same way.
  bool restarting_ = false;
  bool restartFailed_ = false;
  DisplayCheckState displayCheck_;
  HotKey_CL hotKey_{kHotKeyId};
  std::function<void()> sessionEndAction_;
};
