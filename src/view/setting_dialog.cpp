#include "view/setting_dialog.h"

#include <prsht.h>

#include "app_ids.h"
#include "comlib/run_at_startup.h"
#include "comlib/sheet_builder.h"
#include "comlib/ui_text.h"
#include "view/display.h"
#include "view/setting_pages.h"

namespace {

// PropertySheet's result when the user saved changes.
constexpr INT_PTR kChangesSaved = 1;

}  // namespace

SettingDialog_CL::SettingDialog_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : settings_(settings), display_(display), clockWindow_(clockWindow) {}

SettingDialog_CL::~SettingDialog_CL() {
  // Normally the window has gone first. If the program ends while the sheet
  // is open it may not have: it must not reach a deleted object then.
  if (window_ != nullptr && IsWindow(window_)) SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
}

LRESULT SettingDialog_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      RunSheet();
      break;
    case WM_DESTROY:
      // The base would end the program's message loop.
      return 1;
    default:
      break;
  }
  return MainWindowBase_CL::WindowProc(window, message, wParam, lParam);
}

void SettingDialog_CL::RunSheet() {
  // The sheet centres itself over this never-shown window, that is over the screen.
  SetWindowPos(window_, nullptr, 0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
               SWP_NOZORDER | SWP_FRAMECHANGED);
  sheetWindow_ = window_;
  SheetBuilder builder(&sheetWindow_);
  std::vector<SettingPage> pages = MakeSettingPages(settings_, display_, clockWindow_);
  for (SettingPage& page : pages) builder.AddPage(*page.page, page.title);

  before_ = settings_.TakeSnapshot();
  // The Run value lives in the registry, not in the settings.
  startedWithWindows_ = ThisProgramAtStartup().IsOn();
  const bool saved = builder.Run(window_, UiText(TextId::kSheetCaption)) == kChangesSaved;
  // Ended while it ran: its settings went back then, and the windows and the
  // platform may have gone since.
  if (ended_) return;
  if (saved) {
    display_.Apply(display::kEverything);
    // On OK one write brings every key whose value is not yet in the file
    // (some change in memory first), with whatever else is held.
    settings_.SaveRecords();
  } else {
    PutBack();
  }

  // The window must be gone before the clock, told next, deletes this object.
  PostMessageW(window_, WM_CLOSE, 0, 0);
  PostMessageW(clockWindow_, kSettingsClosedMessage, 0, 0);
}

void SettingDialog_CL::End() {
  if (ended_) return;
  ended_ = true;
  PutBack();
  CloseSheet();
}

void SettingDialog_CL::PutBack() const {
  settings_.Restore(before_);
  if (ThisProgramAtStartup().IsOn() != startedWithWindows_) ThisProgramAtStartup().Set(startedWithWindows_);
  display_.Apply(display::kEverything);
  // One write leaves the file saying what the windows now show: every key
  // as it stood, and with it whatever else is held (the clock's place).
  settings_.PutBackInFile(before_);
}

void SettingDialog_CL::CloseSheet() const {
  // Posted: the sheet's own loop closes it once the message being handled
  // (a menu command, a tick) is done.
  if (sheetWindow_ != nullptr && sheetWindow_ != window_) {
    PostMessageW(sheetWindow_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  }
}
