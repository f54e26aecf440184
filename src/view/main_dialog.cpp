#include "view/main_dialog.h"

#include <cwchar>

#include "app.h"
#include "app_ids.h"
#include "comlib/full_screen.h"
#include "comlib/inifile.h"
#include "comlib/live_objects.h"
#include "comlib/log_file.h"
#include "comlib/popup_menu.h"
#include "comlib/update_check.h"
#include "comlib/web_page.h"
#include "data/placement.h"
#include "data/save_data.h"
#include "product.h"
#include "resource_ids.h"
#include "view/context_menu.h"
#include "view/layered_window.h"
#include "view/power_events.h"
#include "view/prop_app_license.h"
#include "view/renderer.h"
#include "view/setting_dialog.h"
#include "view/window_size.h"

namespace {

constexpr int kInitialBufferWidth = 480;
constexpr int kInitialBufferHeight = 470;
constexpr int kTrayIconSize = 16;
// The display configuration is checked on the first shown tick and then
// every 8 seconds; the clock is put back on top every 1.5 seconds.
constexpr unsigned kDisplayCheckEveryTicks = 16;
constexpr int kTopmostEveryTicks = 3;
// Between leaving and re-entering the topmost band, so the clock lands on its top.
constexpr DWORD kTopmostSettleMs = 100;

constexpr wchar_t kUpdateNoticeCaption[] = L"Horavelのアップデート。";

constexpr wchar_t kWindowSection[] = L"WINDOW";
constexpr wchar_t kWindowRectKey[] = L"rect";

// The clock takes no input, so raising it never activates it.
constexpr UINT kRaiseFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE;

HICON LoadProgramIcon(int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HORAVEL), IMAGE_ICON, size,
                                       size, size == 0 ? LR_DEFAULTSIZE : LR_LOADTRANSPARENT));
}

// True when a visible window other than `ignored` lies above the window in
// the z-order. Only then is raising worth its cost: under Wine a raise is a
// few dozen requests to the server, most ticks nothing is above the clock.
bool HasVisibleWindowAbove(HWND window, HWND ignored) {
  for (HWND above = GetWindow(window, GW_HWNDPREV); above != nullptr; above = GetWindow(above, GW_HWNDPREV)) {
    if (above != ignored && IsWindowVisible(above)) return true;
  }
  return false;
}

}  // namespace

MainDialog_CL::MainDialog_CL(bool startupFlag, VirtualDesktopQuery& desktop, TrayShell& trayShell)
    : backBuffer_(PixelFormat32bppRGB), icon_(product::kName, trayShell), startupFlag_(startupFlag), desktop_(desktop) {
  SetClassName(kClassName);
  style_ = kDefaultStyle & ~(WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  hideFromTaskbar_ = true;
  SetIcon(LoadProgramIcon(0));
}

// The shell's objects are let go while COM still runs.
MainDialog_CL::~MainDialog_CL() { desktop_.Disconnect(); }

LRESULT MainDialog_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT count = 0; comlib::AnswerLiveObjects(message, wParam, &count)) return count;
  bool handled = true;
  switch (message) {
    case WM_CREATE:
      return OnCreateClock();
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      render::PaintClock(window, backBuffer_, blinkPhase_);
      return 0;
    case WM_TIMER:
      if (wParam == kClockTimerId) {
        OnTimer();
      } else {
        // The icon paces its retries with a timer of this window.
        handled = icon_.OnTimer(wParam);
      }
      break;
    case kTrayCallbackMessage:
      OnTrayMessage(static_cast<UINT>(lParam));
      break;
    case WM_HOTKEY:
      if (wParam == static_cast<WPARAM>(kHotKeyId)) ToggleHidden();
      break;
    case WM_COMMAND:
      OnCommand(wParam);
      break;
    case WM_CLOSE:
      if (wParam != kCloseForRealCode) return OnCloseRequest(wParam);
      break;
    case WM_SIZE:
      OnSizeChanged(wParam);
      break;
    case WM_GETMINMAXINFO:
      view::AllowLargeWindows(lParam);
      return 0;
    case WM_MOVE:
      SaveWindowRect();
      break;
    case WM_DISPLAYCHANGE:
      OnDisplayChange();
      break;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(wParam, lParam);
      return TRUE;
    case WM_QUERYENDSESSION:
      // Nothing to save first: every setting is written when it changes.
      return TRUE;
    case WM_ENDSESSION:
      OnEndSession(wParam, lParam);
      break;
    case kSettingsClosedMessage:
      OnSettingsClosed();
      break;
    default:
      handled = false;
      break;
  }
  if (!handled) icon_.IsTaskbarCreated(message);
  HandleMenuOwnerDraw(window, message, lParam);
  return MainWindowBase_CL::WindowProc(window, message, wParam, lParam);
}

LRESULT MainDialog_CL::OnCreateClock() {
  AppSaveData_CL& clock = ClockData();
  ChangeWindowStyle(window_, GWL_EXSTYLE, kClickThroughExStyle, 0);
  clock.Initialize(window_);
  ChangeWindowStyle(window_, GWL_STYLE, 0, kFrameStyle);
  ApplyLayeredAlpha(window_, clock.GetClockAlpha(window_));
  backBuffer_.Resize(kInitialBufferWidth, kInitialBufferHeight);
  // Runs to its end, notice included, before the clock is ever shown.
  UpdateCheck_CL(AppIni(), product::VersionFileUrl(), product::SupportSiteUrl())
      .Run(kUpdateNoticeCaption, product::kVersion, window_);
  SetWindowTextW(window_, product::kWindowTitle);
  AddTrayIcon();
  clock.SetClockFontEmHeight(clock.font_em_height);
  // The window stays invisible here: whether the clock shows depends on
  // hide_clock, which the date window's creation reads and then applies.
  if (startupFlag_ && clock.disp_startup_hidden) clock.hidden = 1;
  created_ = true;
  SetTimer(window_, kClockTimerId, kClockTimerMs, nullptr);
  RegisterPowerNotifications();
  hotKey_.Register(window_, clock.hotkey);
  return 1;
}

void MainDialog_CL::AddTrayIcon() {
  icon_.SetIcon(LoadProgramIcon(kTrayIconSize));
  NOTIFYICONDATAW& data = icon_.Data();
  data.uFlags |= NIF_MESSAGE | NIF_ICON;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.uFlags |= NIF_TIP;
  wcsncpy_s(data.szTip, product::kName, _TRUNCATE);
  icon_.Add(window_);
}

void MainDialog_CL::RegisterPowerNotifications() {
  monitorNotification_ = RegisterPowerSettingNotification(window_, &power::kMonitorPowerSetting,
                                                          DEVICE_NOTIFY_WINDOW_HANDLE);
  if (monitorNotification_ == nullptr) {
    HORAVEL_LOG(L"RegisterPowerSettingNotification(MONITOR) failed: %d", static_cast<int>(GetLastError()));
  }
  displayNotification_ = RegisterPowerSettingNotification(window_, &power::kDisplayPowerSetting,
                                                          DEVICE_NOTIFY_WINDOW_HANDLE);
  if (displayNotification_ == nullptr) {
    HORAVEL_LOG(L"RegisterPowerSettingNotification(DISPLAY) failed: %d", static_cast<int>(GetLastError()));
  }
}

void MainDialog_CL::OnTimer() {
  if (ClockData().hidden) return;
  if (tickCounter_++ % kDisplayCheckEveryTicks == 0) CheckDisplayChange(displayCheck_);
  if (CheckVirtualDesktop()) return;
  // Neither painted nor raised while a film or a game has the monitor.
  if (MakeWayForFullScreen()) return;
  DateData().PassClockTick();
  const bool shown = DateData().IsClockShown();
  if (!openingSettings_ && shown && topmostCounter_++ % kTopmostEveryTicks == 0 &&
      HasVisibleWindowAbove(window_, DateData().hwnd)) {
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, kRaiseFlags | SWP_NOSENDCHANGING);
  }
  if (shown) {
    blinkPhase_ = !blinkPhase_;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
  }
}

bool MainDialog_CL::CheckVirtualDesktop() {
  if (restartFailed_) return false;
  HRESULT status = S_OK;
  BOOL onCurrentDesktop = FALSE;
  const bool reached = desktop_.Ask(window_, &status, &onCurrentDesktop);
  if (!HasMovedToOtherDesktop(reached, status, onCurrentDesktop)) return false;
  HORAVEL_LOG(L"カレントデスクトップ移動を検出したので再起動します。");
  restartFailed_ = !RestartProcess(window_);
  return !restartFailed_;
}

void MainDialog_CL::ToggleHidden() { SetHidden(!ClockData().hidden); }

bool MainDialog_CL::ShouldMakeWay() const {
  const AppSaveData_CL& clock = ClockData();
  if (clock.hide_on_fullscreen == 0) return false;
  return fullscreen::IsFullScreenProgramOn(IsRectEmpty(&clock.monitor_area) ? ClockMonitorArea() : clock.monitor_area);
}

bool MainDialog_CL::MakeWayForFullScreen() {
  AppSaveData_CL& clock = ClockData();
  const bool makeWay = ShouldMakeWay();
  if (makeWay != (clock.making_way != 0)) {
    clock.making_way = makeWay ? 1 : 0;
    HORAVEL_LOG(makeWay ? L"全画面表示のアプリを検出: 時計を隠します。" : L"全画面表示が終了: 時計を表示します。");
    SyncVisibility();
  }
  return makeWay;
}

void MainDialog_CL::OnTrayMessage(UINT mouseMessage) {
  if (mouseMessage == WM_LBUTTONDOWN) {
    ToggleHidden();
  } else if (mouseMessage == WM_RBUTTONDOWN) {
    ShowContextMenu(window_);
  }
}

void MainDialog_CL::OnCommand(WPARAM command) {
  if (command >= kCommandFirstDisplay && command <= kCommandLastDisplay) {
    ShowOnDisplay(static_cast<int>(command - kCommandFirstDisplay));
    return;
  }
  switch (command) {
    case kCommandShow:
      SetHidden(false);
      break;
    case kCommandHide:
      SetHidden(true);
      break;
    case kCommandSupportSite:
      OpenWebPage(product::SupportSiteUrl());
      break;
    case kCommandExit:
      SendMessageW(window_, WM_CLOSE, kCloseForRealCode, 0);
      break;
    case kCommandLicence:
      ShowLicenceSheet(window_);
      break;
    case kCommandSettings:
      OpenSettings();
      break;
    default:
      break;
  }
}

void MainDialog_CL::ShowOnDisplay(int displayNumber) {
  AppSaveData_CL& clock = ClockData();
  clock.SetDisplayIndex(displayNumber);
  clock.SaveClockDispFlags(window_);
  PlaceDateWindow();
  DateData().RaiseClockWindow();
}

void MainDialog_CL::OpenSettings() {
  if (settingDialog_) return;
  openingSettings_ = true;
  settingDialog_ = std::make_unique<SettingDialog_CL>(window_);
  const HWND created = settingDialog_->Create();
  openingSettings_ = false;
  if (created == nullptr) {
    // No closed message will come: let the next choice try again.
    HORAVEL_LOG(L"設定ダイアログを開けませんでした: %d", static_cast<int>(GetLastError()));
    settingDialog_.reset();
  }
}

void MainDialog_CL::OnSettingsClosed() {
  if (!settingDialog_) return;
  // Its close was posted just before this message on this same thread, so
  // the window has normally gone; waiting could never see it go.
  const HWND settingsWindow = settingDialog_->Window();
  if (IsWindow(settingsWindow)) DestroyWindow(settingsWindow);
  settingDialog_.reset();
}

LRESULT MainDialog_CL::OnCloseRequest(WPARAM) {
  // Only the exit command closes the program; any other close only hides it.
  SetHidden(true);
  return 0;
}

void MainDialog_CL::OnSizeChanged(WPARAM sizeType) {
  if (sizeType == SIZE_RESTORED) {
    SaveWindowRect();
  } else if (sizeType == SIZE_MINIMIZED) {
    SetHidden(true);
  }
  // The base then resizes the back buffer through OnSize.
}

void MainDialog_CL::OnSize() {
  if (!created_) return;
  RECT client{};
  GetClientRect(window_, &client);
  // A minimised window has no client area; keep the buffer for its return.
  if (client.right <= 0 || client.bottom <= 0) return;
  backBuffer_.Resize(client.right, client.bottom);
}

void MainDialog_CL::OnDisplayChange() { PowerResume(); }

void MainDialog_CL::OnPowerBroadcast(WPARAM event, LPARAM setting) {
  if (ClockData().hidden) return;
  if (power::IsResumeEvent(event) ||
      (event == PBT_POWERSETTINGCHANGE &&
       power::IsDisplayOnSetting(reinterpret_cast<const POWERBROADCAST_SETTING*>(setting)))) {
    PowerResume();
  }
}

void MainDialog_CL::OnEndSession(WPARAM ending, LPARAM reason) {
  if (!ending || !sessionEndAction_) return;
  HORAVEL_LOG(L"Windowsのセッション終了 (0x%08X): Horavelを終了します。", static_cast<unsigned>(reason));
  sessionEndAction_();
}

void MainDialog_CL::PowerResume() {
  if (!ClockData().hidden) RestoreDisplayLayout();
  if (!ClockData().hidden && !DateData().hide_clock) InvalidateRect(window_, nullptr, FALSE);
}

void MainDialog_CL::SetHidden(bool hidden) {
  ClockData().hidden = hidden ? 1 : 0;
  // The timer stops looking while the user hides the clock: look again now.
  if (!hidden) ClockData().making_way = ShouldMakeWay() ? 1 : 0;
  // Showing is left to the sync, which knows hide_clock: a clock shown here
  // first would flash before being hidden again.
  if (hidden) ShowWindow(window_, SW_HIDE);
  ApplyVisibility();
}

void MainDialog_CL::ApplyVisibility() {
  const bool clockShown = DateData().IsClockShown();
  if (clockShown && IsIconic(window_)) ShowWindow(window_, SW_SHOWNOACTIVATE);
  SyncVisibility();
  if (!clockShown) return;
  SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, kRaiseFlags);
  Sleep(kTopmostSettleMs);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, kRaiseFlags);
}

void MainDialog_CL::SaveWindowRect() {
  if (!created_ || IsIconic(window_)) return;
  AppIni().SaveWindowRect(kWindowSection, kWindowRectKey, window_);
}

void MainDialog_CL::OnDestroy() {
  if (monitorNotification_) UnregisterPowerSettingNotification(monitorNotification_);
  if (displayNotification_) UnregisterPowerSettingNotification(displayNotification_);
  monitorNotification_ = nullptr;
  displayNotification_ = nullptr;
  icon_.Remove();
  hotKey_.Unregister();
  ForgetLayeredAlpha(window_);
  ClockData().clock_font.reset();
}
