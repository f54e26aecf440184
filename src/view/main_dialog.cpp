#include "view/main_dialog.h"

#include <cwchar>

#include "app_ids.h"
#include "comlib/full_screen.h"
#include "comlib/inifile.h"
#include "comlib/live_objects.h"
#include "comlib/log_file.h"
#include "comlib/popup_menu.h"
#include "comlib/ui_text.h"
#include "comlib/update_check.h"
#include "comlib/web_page.h"
#include "data/save_data.h"
#include "product.h"
#include "resource_ids.h"
#include "text/clock_tick.h"
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

// Milliseconds into the wall clock's second: time zones differ by whole
// minutes, so universal time serves.
UINT MsIntoSecond() {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  return now.wMilliseconds;
}

}  // namespace

MainDialog_CL::MainDialog_CL(bool startupFlag, VirtualDesktopQuery& desktop, TrayShell& trayShell,
                             RestartFunction restart)
    : backBuffer_(PixelFormat32bppRGB),
      icon_(product::kName, trayShell),
      startupFlag_(startupFlag),
      desktop_(desktop),
      restart_(restart) {
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
      render::PaintClock(window, backBuffer_);
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
      if (DeferCloseForSheet()) return 0;
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
    case WM_TIMECHANGE:
      OnTimeChange();
      break;
    case WM_DPICHANGED:
      // Laid out afresh at the new scale, where the placement puts it.
      display::Apply(display::kClockPlace);
      return 0;
    case WM_FONTCHANGE:
      display::FontsChanged();
      break;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(wParam, lParam);
      return TRUE;
    case WM_QUERYENDSESSION:
      // Settings changed a moment ago go to the file before Windows may end us.
      AppIni().Flush();
      return TRUE;
    case WM_ENDSESSION:
      OnEndSession(wParam, lParam);
      break;
    case kSettingsClosedMessage:
      OnSettingsClosed();
      break;
    case kHotKeyChangedMessage:
      return hotKey_.Register(window_, ClockData().hotkey) ? 1 : 0;
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
  DisplayState& display = Display();
  ChangeWindowStyle(window_, GWL_EXSTYLE, kClickThroughExStyle, 0);
  clock.Initialize();
  // Read once, before the update notice: every text from here on is in this language.
  SetUiLanguage(ChooseUiLanguage(clock.language, GetUserDefaultUILanguage()));
  display.clock.handle = window_;
  display.screens.Enumerate();
  display.screens.DumpMonitors();
  ChangeWindowStyle(window_, GWL_STYLE, 0, kFrameStyle);
  display.clock.alpha.Apply(window_, display::ClockOpacity());
  backBuffer_.Resize(kInitialBufferWidth, kInitialBufferHeight);
  // Runs to its end, notice included, before the clock is ever shown.
  UpdateCheck_CL(AppIni(), product::VersionFileUrl(), product::SupportSiteUrl())
      .Run(UiText(TextId::kNoticeCaption), product::kVersion, window_);
  SetWindowTextW(window_, product::kWindowTitle);
  AddTrayIcon();
  display::Apply(display::kClockPlace);
  // The window stays invisible here: whether the clock shows depends on
  // hide_clock, which the date window's creation reads and then applies.
  if (startupFlag_ && clock.disp_startup_hidden) display.hidden = true;
  created_ = true;
  AlignClockTimer();
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
  wcsncpy_s(data.szTip, UiText(TextId::kTrayTip), _TRUNCATE);
  icon_.Add(window_);
}

void MainDialog_CL::RegisterPowerNotifications() {
  monitorNotification_.reset(
      RegisterPowerSettingNotification(window_, &power::kMonitorPowerSetting, DEVICE_NOTIFY_WINDOW_HANDLE));
  if (!monitorNotification_) {
    HORAVEL_LOG(L"RegisterPowerSettingNotification(MONITOR) failed: %d", static_cast<int>(GetLastError()));
  }
  displayNotification_.reset(
      RegisterPowerSettingNotification(window_, &power::kDisplayPowerSetting, DEVICE_NOTIFY_WINDOW_HANDLE));
  if (!displayNotification_) {
    HORAVEL_LOG(L"RegisterPowerSettingNotification(DISPLAY) failed: %d", static_cast<int>(GetLastError()));
  }
}

void MainDialog_CL::AlignClockTimer() {
  SetTimer(window_, kClockTimerId, clocktick::DelayToNextTickMs(MsIntoSecond()), nullptr);
}

void MainDialog_CL::OnTimeChange() {
  AlignClockTimer();
  if (display::ClockShown()) InvalidateRect(window_, nullptr, FALSE);
}

void MainDialog_CL::OnTimer() {
  // A tick a hair early waits, rather than draw the last second again.
  if (const UINT early = clocktick::EarlyByMs(MsIntoSecond())) Sleep(early);
  AlignClockTimer();
  if (Display().hidden) return;
  // The picture first: the new second shows as it begins, whatever the
  // rest of the tick costs.
  if (display::ClockShown()) {
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
  }
  if (tickCounter_++ % kDisplayCheckEveryTicks == 0) display::CheckDisplayChange(displayCheck_);
  if (CheckVirtualDesktop()) return;
  // Not raised while a film or a game has the monitor.
  if (MakeWayForFullScreen()) return;
  display::PassClockTick();
  if (!sheetRunning_ && display::ClockShown() && topmostCounter_++ % kTopmostEveryTicks == 0 &&
      HasVisibleWindowAbove(window_, Display().date.handle)) {
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, kRaiseFlags | SWP_NOSENDCHANGING);
  }
}

bool MainDialog_CL::CheckVirtualDesktop() {
  if (restartFailed_ || restarting_ || restartPending_) return false;
  HRESULT status = S_OK;
  BOOL onCurrentDesktop = FALSE;
  const bool reached = desktop_.Ask(window_, &status, &onCurrentDesktop);
  if (!HasMovedToOtherDesktop(reached, status, onCurrentDesktop)) return false;
  HORAVEL_LOG(L"カレントデスクトップ移動を検出したので再起動します。");
  if (sheetRunning_) {
    // The sheet puts its settings back and writes them first: the new copy
    // must load them as they will stay.
    restartPending_ = true;
    settingDialog_->CloseSheet();
    return true;
  }
  return Restart();
}

bool MainDialog_CL::Restart() {
  // The new copy loads the settings as they are in effect.
  AppIni().Flush();
  restarting_ = true;
  restartFailed_ = restart_ == nullptr || !restart_(window_);
  restarting_ = false;
  return !restartFailed_;
}

void MainDialog_CL::ToggleHidden() { SetHidden(!Display().hidden); }

bool MainDialog_CL::ShouldMakeWay() const {
  if (ClockData().hide_on_fullscreen == 0) return false;
  const RECT& area = Display().monitorArea;
  return fullscreen::IsFullScreenProgramOn(IsRectEmpty(&area) ? display::ClockMonitorArea() : area);
}

bool MainDialog_CL::MakeWayForFullScreen() {
  DisplayState& display = Display();
  const bool makeWay = ShouldMakeWay();
  if (makeWay != display.makingWay) {
    display.makingWay = makeWay;
    HORAVEL_LOG(makeWay ? L"全画面表示のアプリを検出: 時計を隠します。" : L"全画面表示が終了: 時計を表示します。");
    display::Apply(display::kShowing);
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
  clock.SaveClockDispFlags();
  display::Apply(display::kClockPlace | display::kClockOpacity);
}

void MainDialog_CL::OpenSettings() {
  if (settingDialog_) {
    // The last sheet is still closing: this one opens once it has gone. A
    // second choice while a sheet is open does nothing.
    if (!sheetRunning_) settingsWanted_ = true;
    return;
  }
  sheetRunning_ = true;
  settingDialog_ = std::make_unique<SettingDialog_CL>(window_);
  const HWND created = settingDialog_->Create();
  sheetRunning_ = false;
  // The sheet may have put another key back.
  hotKey_.Register(window_, ClockData().hotkey);
  if (created == nullptr) {
    // No closed message will come: let the next choice try again.
    HORAVEL_LOG(L"設定ダイアログを開けませんでした: %d", static_cast<int>(GetLastError()));
    settingDialog_.reset();
  }
  FinishDeferredClose();
}

void MainDialog_CL::OnSettingsClosed() {
  // A closed message while the sheet still runs is not its own: the object
  // must outlive the sheet.
  if (!settingDialog_ || sheetRunning_) return;
  DiscardSettingsDialog();
  if (settingsWanted_) {
    settingsWanted_ = false;
    OpenSettings();
  }
}

void MainDialog_CL::DiscardSettingsDialog() {
  if (!settingDialog_) return;
  // Its close was posted just before the closed message on this same
  // thread, so the window has normally gone; waiting could never see it go.
  const HWND settingsWindow = settingDialog_->Window();
  if (IsWindow(settingsWindow)) DestroyWindow(settingsWindow);
  settingDialog_.reset();
}

bool MainDialog_CL::DeferCloseForSheet() {
  if (!sheetRunning_) return false;
  exitPending_ = true;
  settingDialog_->CloseSheet();
  return true;
}

void MainDialog_CL::FinishDeferredClose() {
  if (restartPending_) {
    restartPending_ = false;
    exitPending_ = false;
    if (Restart()) return;
  }
  if (exitPending_) {
    exitPending_ = false;
    SendMessageW(window_, WM_CLOSE, kCloseForRealCode, 0);
  }
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
  if (Display().hidden) return;
  if (power::IsResumeEvent(event) ||
      (event == PBT_POWERSETTINGCHANGE &&
       power::IsDisplayOnSetting(reinterpret_cast<const POWERBROADCAST_SETTING*>(setting)))) {
    PowerResume();
  }
}

void MainDialog_CL::OnEndSession(WPARAM ending, LPARAM reason) {
  if (!ending || !sessionEndAction_) return;
  HORAVEL_LOG(L"Windowsのセッション終了 (0x%08X): Horavelを終了します。", static_cast<unsigned>(reason));
  // The sheet's own loop will not get to close it: its settings go back now.
  if (sheetRunning_) settingDialog_->PutBack();
  sessionEndAction_();
}

void MainDialog_CL::PowerResume() {
  // Timers may have slept through a suspend or stalled while the displays
  // changed: the ticks keep to the wall clock again.
  AlignClockTimer();
  if (Display().hidden) return;
  display::RestoreDisplayLayout();
  if (display::ClockShown()) InvalidateRect(window_, nullptr, FALSE);
}

void MainDialog_CL::SetHidden(bool hidden) {
  DisplayState& display = Display();
  display.hidden = hidden;
  // The timer stops looking while the user hides the clock: look again now.
  if (!hidden) display.makingWay = ShouldMakeWay();
  // Showing is left to the display, which knows hide_clock: a clock shown
  // here first would flash before being hidden again.
  if (hidden) ShowWindow(window_, SW_HIDE);
  ApplyVisibility();
}

void MainDialog_CL::ApplyVisibility() {
  const bool clockShown = display::ClockShown();
  if (clockShown && IsIconic(window_)) ShowWindow(window_, SW_SHOWNOACTIVATE);
  display::Apply(display::kShowing);
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
  // The program is ending: what was changed a moment ago goes to the file now.
  AppIni().Flush();
  monitorNotification_.reset();
  displayNotification_.reset();
  icon_.Remove();
  hotKey_.Unregister();
  DiscardSettingsDialog();
  display::ForgetWindow(window_);
}
