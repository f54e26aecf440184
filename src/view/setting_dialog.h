#pragma once
// The settings sheet's hidden window. Its creation runs the modal property
// sheet; when the sheet closes, the live changes stay (OK, or Apply after a
// change) or every setting is put back as it stood before, each key that
// must change in the file is written once, both windows are re-applied from
// the settings, and the clock is told the sheet has gone.

#include <windows.h>

#include "comlib/window_base.h"

// The sheet's caption.
constexpr wchar_t kSettingsCaption[] = L"アプリ設定";

class SettingDialog_CL : public MainWindowBase_CL {
 public:
  explicit SettingDialog_CL(HWND clockWindow);
  ~SettingDialog_CL() override;

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // Asks the running sheet to close as its close box would: the program is
  // ending or restarting.
  void CloseSheet() const;

 private:
  void RunSheet();

  HWND clockWindow_;
  // The hidden window until the first page starts, then the sheet.
  HWND sheetWindow_ = nullptr;
};
