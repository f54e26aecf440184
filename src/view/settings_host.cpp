#include "view/settings_host.h"

#include "comlib/log_file.h"
#include "view/display.h"
#include "view/setting_dialog.h"

SettingsHost_CL::SettingsHost_CL(Settings_CL& settings, Display_CL& display)
    : settings_(settings), display_(display) {}

SettingsHost_CL::~SettingsHost_CL() { Discard(); }

SettingsHost_CL::After SettingsHost_CL::Open(HWND clockWindow) {
  clockWindow_ = clockWindow;
  if (dialog_) {
    if (!running_) wanted_ = true;
    return After{};
  }
  running_ = true;
  display_.SetSheetOpen(true);
  dialog_ = std::make_unique<SettingDialog_CL>(settings_, display_, clockWindow_);
  const HWND created = dialog_->Create();
  display_.SetSheetOpen(false);
  running_ = false;
  if (created == nullptr) {
    // No closed message will come: let the next choice try again.
    HORAVEL_LOG(L"設定ダイアログを開けませんでした: %d", static_cast<int>(GetLastError()));
    dialog_.reset();
  } else if (discarded_) {
    // The clock went while the sheet ran: now that it has returned, it goes too.
    discarded_ = false;
    Discard();
  }
  const After after = after_;
  after_ = After{};
  return after;
}

SettingsHost_CL::After SettingsHost_CL::OnClosed() {
  // A closed message while the sheet still runs is not its own: the object
  // must outlive the sheet.
  if (!dialog_ || running_) return After{};
  Discard();
  if (!wanted_) return After{};
  wanted_ = false;
  return Open(clockWindow_);
}

bool SettingsHost_CL::CloseThenExit() {
  if (!running_) return false;
  after_.exit = true;
  dialog_->CloseSheet();
  return true;
}

bool SettingsHost_CL::CloseThenRestart() {
  if (!running_) return false;
  // The sheet puts its settings back and writes them first: the new copy
  // must load them as they will stay.
  after_.restart = true;
  dialog_->CloseSheet();
  return true;
}

void SettingsHost_CL::End() {
  if (running_) dialog_->End();
}

void SettingsHost_CL::Discard() {
  if (!dialog_) return;
  if (running_) {
    // Its loop is still on the stack, below this call: it is ended now and
    // deleted once it has returned.
    End();
    discarded_ = true;
    return;
  }
  // Its close was posted just before the closed message on this same
  // thread, so the window has normally gone; waiting could never see it go.
  const HWND settingsWindow = dialog_->Window();
  if (IsWindow(settingsWindow)) DestroyWindow(settingsWindow);
  dialog_.reset();
}
