#pragma once
// The sheet's date display page: whether the date is shown, its layout,
// drawing style, offset from the clock's centre, transparency and fading.
// Every change shows on the desktop at once.

#include <windows.h>

#include "view/scroll_page.h"

class PropDateDispSetting_CL : public ScrollPage_CL {
 public:
  PropDateDispSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);
  ~PropDateDispSetting_CL() override;

 protected:
  void BuildControls() override;
  bool OnControlCommand(int id, int code, HWND control) override;
  void UpdateOffsets() override;
  void UpdateTransparency() override;

 private:
  // The date's opacity, when the date is shown.

  CheckBox_CL* hideDateBox_ = nullptr;
  CheckBox_CL* startupBox_ = nullptr;
  CheckBox_CL* fadeBox_ = nullptr;
  ComboBox_CL* formatList_ = nullptr;
  ComboBox_CL* drawTypeList_ = nullptr;
};
