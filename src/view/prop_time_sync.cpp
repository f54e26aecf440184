#include "view/prop_time_sync.h"

#include "app_ids.h"
#include "comlib/sntp_policy.h"
#include "data/settings.h"
#include "text/corrected_time.h"
#include "text/sync_text.h"

using namespace dispsetting;

namespace {

// The page's own timer, while it is open.
constexpr UINT_PTR kRefreshTimerId = 1;
constexpr UINT kRefreshMs = 1000;
// The server field, in "W" widths of the page's font.
constexpr int kServerChars = 24;
// The status sentence may take two lines.
constexpr int kStatusLines = 2;
// Characters no server name has: a space pasted in would name no server.
constexpr wchar_t kBlanks[] = L" \t\r\n";

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// When the measurement was taken, in local time as the clock showed it then.
SYSTEMTIME MeasuredLocal(const sntp::SyncStatus& status) {
  SYSTEMTIME local{};
  if (!status.measured) return local;
  const sntp::FileTicks at = status.measured->measuredAt;
  const FILETIME file{static_cast<DWORD>(at), static_cast<DWORD>(at >> 32)};
  SYSTEMTIME universal{};
  if (!FileTimeToSystemTime(&file, &universal)) return local;
  universal = correctedtime::Shifted(universal, status.OffsetToApply());
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) return universal;
  return local;
}

}  // namespace

PropTimeSync_CL::PropTimeSync_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : ScrollPage_CL(settings, display, clockWindow, scrolling::ScrollRules{}) {}

PropTimeSync_CL::~PropTimeSync_CL() = default;

INT_PTR PropTimeSync_CL::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kRefreshTimerId) Refresh();
      return 0;
    case WM_DESTROY:
      KillTimer(window, kRefreshTimerId);
      break;
    default:
      break;
  }
  return ScrollPage_CL::DialogProc(window, message, wParam, lParam);
}

void PropTimeSync_CL::BuildControls() {
  const TimeSyncSaveData_CL& setting = settings_.TimeSync();
  const int w = area_.charWidth;
  const int d = area_.charHeight;
  use_ = AddCheckBox(UiText(TextId::kTimeSyncUse), Px(kBoxX), Px(kTop), setting.use != 0);
  const int serverTop = 2 * d + Px(kTop);
  const StaticText_CL* caption = AddLabel(UiText(TextId::kTimeSyncServer), 2 * w, serverTop + Px(4));
  const RECT captionRect = RectInParent(caption->Window());
  server_ = factory_.Get<EditBox_CL>(
      factory_.AddEditBox(ControlParent(), setting.server, kServerChars, captionRect.right + w / 2, serverTop));
  status_ = AddStatusLine(serverTop + 2 * d, kStatusLines);
  delay_ = AddStatusLine(serverTop + (2 + kStatusLines) * d, 1);
  measured_ = AddStatusLine(serverTop + (3 + kStatusLines) * d, 1);
  measureNow_ = factory_.Get<Button_CL>(
      factory_.AddButton(ControlParent(), UiText(TextId::kTimeSyncMeasureNow), 2 * w, serverTop + (5 + kStatusLines) * d));
  FinishPanel(*use_, TextId::kTimeSyncPage, {server_, measured_, measureNow_}, *measureNow_);
  Refresh();
  SetTimer(window_, kRefreshTimerId, kRefreshMs, nullptr);
}

StaticText_CL* PropTimeSync_CL::AddStatusLine(int y, int lines) {
  const int w = area_.charWidth;
  StaticText_CL* line = AddLabel(L"-", 2 * w, y);
  line->Resize(area_.width - 4 * w, lines * area_.charHeight, TRUE);
  return line;
}

bool PropTimeSync_CL::OnControlCommand(int id, int code, HWND control) {
  TimeSyncSaveData_CL& setting = settings_.TimeSync();
  if (id == use_->ControlId()) {
    setting.SetUse(use_->IsChecked());
  } else if (id == server_->ControlId() && code == EN_CHANGE) {
    // Kept as it is typed; the client asks the new server once the field is left.
    const std::wstring server = Trimmed(server_->Text());
    if (server == setting.server) return false;
    setting.SetServer(server);
    return true;
  } else if (id == server_->ControlId() && code == EN_KILLFOCUS) {
    SendMessageW(clockWindow_, kTimeSyncChangedMessage, 0, 0);
    return false;
  } else if (control == measureNow_->Window() && code == BN_CLICKED) {
    SendMessageW(clockWindow_, kTimeSyncChangedMessage, 0, 0);
    SendMessageW(clockWindow_, kTimeSyncMeasureMessage, 0, 0);
    Refresh();
    return false;
  } else {
    return false;
  }
  SendMessageW(clockWindow_, kTimeSyncChangedMessage, 0, 0);
  Refresh();
  return true;
}

void PropTimeSync_CL::Refresh() {
  const TimeSyncSaveData_CL& setting = settings_.TimeSync();
  sntp::SyncStatus status;
  SendMessageW(clockWindow_, kTimeSyncStatusMessage, 0, reinterpret_cast<LPARAM>(&status));
  const UiLanguage language = CurrentUiLanguage();
  const bool on = setting.use != 0;
  const std::wstring lines[] = {
      on ? synctext::StatusLine(status, setting.server, language) : std::wstring(UiText(TextId::kTimeSyncOff)),
      synctext::DelayLine(status, language), synctext::MeasuredLine(status, MeasuredLocal(status), language)};
  StaticText_CL* const shown[] = {status_, delay_, measured_};
  for (size_t index = 0; index < std::size(shown); ++index) {
    // Set only when it changed: a static repaints on every set.
    wchar_t current[256] = {};
    GetWindowTextW(shown[index]->Window(), current, static_cast<int>(std::size(current)));
    if (lines[index] != current) shown[index]->SetText(lines[index]);
  }
  EnableWindow(measureNow_->Window(), on ? TRUE : FALSE);
}
