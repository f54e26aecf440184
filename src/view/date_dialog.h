#pragma once
// The date window: the date as outlined text, centred on the clock's centre
// plus an offset. It notices the change of day on its own timers; whether it
// is shown is decided together with the clock.

#include <windows.h>

#include "comlib/back_buffer.h"
#include "comlib/window_base.h"

class DateDialog_CL : public MainWindowBase_CL {
 public:
  static constexpr int kInitialWidth = 320;
  static constexpr int kInitialHeight = 64;

  explicit DateDialog_CL(bool startupFlag);
  ~DateDialog_CL() override;

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnSize() override;

 private:
  LRESULT OnCreateDate();
  LRESULT OnCloseRequest();
  void OnTimer(WPARAM timerId);
  // Re-places the window when the day has changed, and keeps the fade current.
  void CheckDate();

  bool startupFlag_;
  bool created_ = false;
  BackBuffer_CL backBuffer_;
  WORD lastYear_ = 0;
  WORD lastMonth_ = 0;
  WORD lastDay_ = 0;
};
