#pragma once
// The settings sheet's last page: the program's version, the way to the
// support site, and the switch that stops the update notices.

#include <windows.h>

#include "comlib/control_factory.h"
#include "comlib/dialog_base.h"
#include "resource_ids.h"

class PropAppVersion_CL : public SubClassDialogBase_CL {
 public:
  explicit PropAppVersion_CL(WORD iconId = IDI_HORAVEL);
  ~PropAppVersion_CL() override;

  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void BuildControls();
  void OnCommand(int controlId);
  void OnApply() const;

  ControlFactory_CL controls_;
  CheckBox_CL* noticeBox_ = nullptr;
  Button_CL* iconButton_ = nullptr;
  Button_CL* siteButton_ = nullptr;
  WORD iconId_;
};
