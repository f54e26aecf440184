#include "view/main_dialog.h"

#include <cwchar>

#include "app_ids.h"
#include "comlib/inifile.h"
#include "comlib/live_objects.h"
#include "comlib/log_file.h"
#include "comlib/popup_menu.h"
#include "comlib/ui_text.h"
#include "comlib/update_check.h"
#include "comlib/web_page.h"
#include "data/monitor_choice.h"
#include "product.h"
#include "resource_ids.h"
#include "text/clock_tick.h"
#include "text/corrected_time.h"
#include "view/context_menu.h"
#include "view/power_events.h"
#include "view/prop_app_license.h"

namespace {

constexpr int kTrayIconSize = 16;

constexpr wchar_t kWindowSection[] = L"WINDOW";
constexpr wchar_t kWindowRectKey[] = L"rect";

HICON LoadProgramIcon(int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HORAVEL), IMAGE_ICON, size,
                                       size, size == 0 ? LR_DEFAULTSIZE : LR_LOADTRANSPARENT));
}

// Milliseconds into the second the faces show (Windows' time plus the
// offset they add): time zones differ by whole minutes, so universal time
// serves.
UINT MsIntoSecond(std::int64_t timeOffset) {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  return correctedtime::Shifted(now, timeOffset).wMilliseconds;
}

}  // namespace

MainDialog_CL::MainDialog_CL(Settings_CL& settings, Display_CL& display, VirtualDesktopQuery& desktop,
                             TrayShell& trayShell, RestartFunction restart)
    : FaceWindow_CL(display, Face::kClock, kClassName, kClockInitialSize),
      settings_(settings),
      icon_(product::kName, trayShell),
      sheet_(settings, display),
      desktop_(desktop, restart) {
  // The clock carries its title only once its creation is done: a second
  // start before then finds no clock to show.
  SetWindowName(L"WindowName");
  SetIcon(LoadProgramIcon(0));
}

MainDialog_CL::~MainDialog_CL() = default;

LRESULT MainDialog_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT count = 0; comlib::AnswerLiveObjects(message, wParam, &count)) return count;
  if (LRESULT tip = 0; icon_.AnswerTipQuery(message, wParam, &tip)) return tip;
  if (OnTimeSyncMessage(message, lParam)) return 0;
  bool handled = true;
  switch (message) {
    case WM_TIMER:
      if (wParam == kClockTimerId) {
        OnTimer();
      } else if (networkTime_.OnTimer(window_, wParam)) {
        ShowTimeSync();
      } else {
        // The icon paces its retries with a timer of this window.
        handled = icon_.OnTimer(wParam);
      }
      break;
    case kTrayCallbackMessage:
      OnTrayMessage(static_cast<UINT>(lParam));
      break;
    case WM_HOTKEY:
      if (wParam == static_cast<WPARAM>(kHotKeyId)) display_.SetHidden(!display_.Hidden());
      break;
    case WM_COMMAND:
      OnCommand(wParam);
      break;
    case WM_CLOSE:
      if (wParam == kCloseForRealCode && DeferCloseForSheet()) return 0;
      break;
    case WM_SIZE:
      OnSizeChanged(wParam);
      break;
    case WM_MOVE:
      SaveWindowRect();
      break;
    case kSettingsClosedMessage:
      AfterSheet(sheet_.OnClosed());
      break;
    case kHotKeyChangedMessage:
      return hotKey_.Register(window_, settings_.Clock().hotkey) ? 1 : 0;
    default:
      if (LRESULT result = 0; OnSystemChange(message, wParam, lParam, &result)) return result;
      handled = false;
      break;
  }
  if (!handled) icon_.IsTaskbarCreated(message);
  HandleMenuOwnerDraw(window, message, lParam);
  return FaceWindow_CL::WindowProc(window, message, wParam, lParam);
}

bool MainDialog_CL::OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // Until its start-up is done (the update check may wait seconds for the
  // server, then for the user) the clock neither shows nor places anything:
  // the start-up reads the monitors afresh.
  if (!created_ && message != WM_QUERYENDSESSION && message != WM_ENDSESSION) return false;
  switch (message) {
    case WM_DISPLAYCHANGE:
      PowerResume();
      break;
    case WM_TIMECHANGE:
      // What was measured against the old time is void.
      networkTime_.WindowsClockSet(window_);
      ShowTimeSync();
      OnTimeChange();
      break;
    case WM_SETTINGCHANGE:
      OnTimeChange();
      break;
    case WM_FONTCHANGE:
      display_.FontsChanged();
      break;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(wParam, lParam);
      *result = TRUE;
      return true;
    case WM_QUERYENDSESSION:
      // Settings changed a moment ago go to the file before Windows may end us.
      settings_.Store().Flush();
      *result = TRUE;
      return true;
    case WM_ENDSESSION:
      OnEndSession(wParam, lParam);
      break;
    default:
      break;
  }
  // The others go on to the base.
  return false;
}

void MainDialog_CL::OnFaceCreated() {
  // Runs to its end, notice included, before the clock is ever shown.
  UpdateCheck_CL(settings_.Store(), product::VersionFileUrl(), product::SupportSiteUrl())
      .Run(UiText(TextId::kNoticeCaption), product::kVersion, window_);
  // The session ended while the check waited: there is nothing left to start.
  if (!IsWindow(window_)) return;
  display_.Screens().Enumerate();
  display_.Screens().DumpMonitors();
  SetWindowTextW(window_, product::kWindowTitle);
  AddTrayIcon();
  // Placed now; shown, with the other faces, once they all exist.
  display_.Apply(display::kClockPlace);
  AlignClockTimer();
  // Only starts the client: the clock never waits for the network.
  ApplyTimeSync();
  RegisterPowerNotifications();
  hotKey_.Register(window_, settings_.Clock().hotkey);
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
  timerMs_ = clocktick::DelayToNextTickMs(MsIntoSecond(display_.TimeOffset()));
  SetTimer(window_, kClockTimerId, timerMs_, nullptr);
}

void MainDialog_CL::KeepTimerAligned(UINT msIntoSecond) {
  if (!clocktick::IsOnTime(msIntoSecond)) {
    AlignClockTimer();
  } else if (timerMs_ != clocktick::kTickMs) {
    timerMs_ = clocktick::kTickMs;
    SetTimer(window_, kClockTimerId, timerMs_, nullptr);
  }
}

void MainDialog_CL::OnTimeChange() {
  // The ticks keep to the new time; the date and the world clocks read it.
  AlignClockTimer();
  display_.TimeChanged();
}

void MainDialog_CL::OnTimer() {
  // A tick a hair early waits, rather than draw the last second again.
  if (const UINT early = clocktick::EarlyByMs(MsIntoSecond(display_.TimeOffset()))) Sleep(early);
  KeepTimerAligned(MsIntoSecond(display_.TimeOffset()));
  display_.Tick();
  if (display_.Hidden() || !desktop_.MovedAway(window_)) return;
  if (sheet_.CloseThenRestart()) {
    desktop_.Defer();
    return;
  }
  Restart();
}

bool MainDialog_CL::Restart() {
  // The new copy loads the settings as they are in effect.
  settings_.Store().Flush();
  return desktop_.Restart(window_);
}

void MainDialog_CL::OnTrayMessage(UINT mouseMessage) {
  if (mouseMessage == WM_LBUTTONDOWN) {
    display_.SetHidden(!display_.Hidden());
  } else if (mouseMessage == WM_RBUTTONDOWN) {
    ShowContextMenu(window_, contextmenu::MonitorItems{display_.Screens().Count(), display_.ChosenMonitor().value_or(-1),
                                                       settings_.Clock().display_all != 0});
  }
}

void MainDialog_CL::OnCommand(WPARAM command) {
  if (command >= kCommandFirstDisplay && command <= kCommandLastDisplay) {
    ShowOnDisplay(static_cast<int>(command - kCommandFirstDisplay));
    return;
  }
  switch (command) {
    case kCommandShow:
      display_.SetHidden(false);
      break;
    case kCommandHide:
      display_.SetHidden(true);
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
      AfterSheet(sheet_.Open(window_));
      break;
    case kCommandEveryDisplay:
      ShowOnEveryDisplay(settings_.Clock().display_all == 0);
      break;
    default:
      break;
  }
}

void MainDialog_CL::ShowOnDisplay(int displayNumber) {
  AppSaveData_CL& clock = settings_.Clock();
  clock.SetDisplay(displayNumber, monitor_choice::IdentityTextFor(display_.Screens(), displayNumber));
  clock.SaveClockDispFlags();
  display_.Apply(display::kClockPlace | display::kClockOpacity);
}

void MainDialog_CL::ShowOnEveryDisplay(bool every) {
  AppSaveData_CL& clock = settings_.Clock();
  clock.display_all = every ? 1 : 0;
  clock.SaveField(&AppSaveData_CL::display_all);
  display_.Apply(display::kClockPlace);
}

void MainDialog_CL::AfterSheet(SettingsHost_CL::After after) {
  // The session ended while the sheet ran: the clock has gone.
  if (!IsWindow(window_)) return;
  // The sheet may have put another key back, or another time server.
  hotKey_.Register(window_, settings_.Clock().hotkey);
  ApplyTimeSync();
  if (after.restart && Restart()) return;
  if (after.exit) SendMessageW(window_, WM_CLOSE, kCloseForRealCode, 0);
}

bool MainDialog_CL::DeferCloseForSheet() { return sheet_.CloseThenExit(); }

void MainDialog_CL::OnSizeChanged(WPARAM sizeType) {
  if (sizeType == SIZE_RESTORED) {
    SaveWindowRect();
  } else if (sizeType == SIZE_MINIMIZED) {
    display_.SetHidden(true);
  }
}

void MainDialog_CL::OnPowerBroadcast(WPARAM event, LPARAM setting) {
  if (display_.Hidden()) return;
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
  sheet_.End();
  sessionEndAction_();
}

void MainDialog_CL::PowerResume() {
  // Timers may have slept through a suspend or stalled while the displays
  // changed: the ticks keep to the wall clock again.
  AlignClockTimer();
  if (!display_.Hidden()) display_.RestoreLayout();
}

void MainDialog_CL::SaveWindowRect() {
  if (!created_ || IsIconic(window_)) return;
  settings_.Store().SaveWindowRect(kWindowSection, kWindowRectKey, window_);
}

void MainDialog_CL::OnDestroy() {
  // The program is ending: what was changed a moment ago goes to the file now.
  settings_.Store().Flush();
  monitorNotification_.reset();
  displayNotification_.reset();
  networkTime_.Stop();
  icon_.Remove();
  hotKey_.Unregister();
  sheet_.Discard();
  desktop_.Disconnect();
  FaceWindow_CL::OnDestroy();
}

bool MainDialog_CL::OnTimeSyncMessage(UINT message, LPARAM lParam) {
  switch (message) {
    case kTimeSyncReportMessage:
      ShowTimeSync();
      return true;
    case kTimeSyncChangedMessage:
      ApplyTimeSync();
      return true;
    case kTimeSyncMeasureMessage:
      networkTime_.MeasureNow();
      return true;
    case kTimeSyncStatusMessage:
      if (lParam != 0) *reinterpret_cast<sntp::SyncStatus*>(lParam) = networkTime_.Status();
      return true;
    default:
      return false;
  }
}

void MainDialog_CL::ApplyTimeSync() {
  networkTime_.Apply(settings_.TimeSync(), window_);
  ShowTimeSync();
}

void MainDialog_CL::ShowTimeSync() {
  const std::int64_t before = display_.TimeOffset();
  display_.SetTimeOffset(networkTime_.OffsetToApply());
  if (display_.TimeOffset() != before) AlignClockTimer();
  icon_.SetTip(networkTime_.Tip());
}
