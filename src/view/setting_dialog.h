#pragma once
// The settings sheet's hidden window. Its creation runs the modal property
// sheet; when the sheet closes, the live changes stay (OK, or Apply after a
// change) or every setting is put back as it stood before, both windows are
// re-applied from the settings, the file is brought to say what they show in
// one write, and the clock is told the sheet has gone.

#include <windows.h>

#include "comlib/window_base.h"
#include "data/settings.h"

class Display_CL;

class SettingDialog_CL : public MainWindowBase_CL {
 public:
  SettingDialog_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);
  ~SettingDialog_CL() override;

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // Asks the running sheet to close as its close box would: the program is
  // ending or restarting.
  void CloseSheet() const;
  // Puts every setting back as the close box does, at once, and asks the
  // sheet to close: the clock is going (the Windows session ends) before
  // the sheet's own loop could close it. Once that loop returns, the sheet
  // touches nothing more; its object must live until then.
  void End();

 private:
  void RunSheet();
  // The records, the Run value, the windows and then the file as they stood.
  void PutBack() const;

  Settings_CL& settings_;
  Display_CL& display_;
  HWND clockWindow_;
  // Every setting, and the Run value, as they stood when the sheet opened.
  SettingsSnapshot before_;
  bool startedWithWindows_ = false;
  bool ended_ = false;
  // The hidden window until the first page starts, then the sheet.
  HWND sheetWindow_ = nullptr;
};
