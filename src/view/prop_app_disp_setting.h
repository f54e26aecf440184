#pragma once
// The sheet's first page: whether and where the clock is shown, what it
// shows and how. Every change shows on the desktop at once.

#include <windows.h>

#include <string>

#include "view/scroll_page.h"

class PropAppDispSetting_CL : public ScrollPage_CL {
 public:
  PropAppDispSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);
  ~PropAppDispSetting_CL() override;

 protected:
  void BuildControls() override;
  bool OnControlCommand(int id, int code, HWND control) override;
  void UpdateOffsets() override;
  void UpdateTransparency() override;

 private:
  // Making way for full screen, starting with Windows and the hot key, from
  // this top down.
  void BuildExtras(int extrasTop);
  // Takes the keys in the field as the hot key when they may be one, and
  // says in the status why a key is not had.
  void OnHotKeyChanged();
  // The button beside the field: no hot key.
  void OnClearHotKey();
  void SetHotKey(const std::wstring& text);
  // Once the clock has tried the key in the settings: nothing when it is
  // had or there is none, else why it is not; and while the field shows no
  // key (fieldEmpty), which one is still in effect.
  void ShowKeyInEffect(bool fieldEmpty);
  // An empty text hides the status.
  void ShowHotKeyStatus(const std::wstring& text);

  CheckBox_CL* hideClockBox_ = nullptr;
  CheckBox_CL* startupBox_ = nullptr;
  CheckBox_CL* secondsBox_ = nullptr;
  CheckBox_CL* noBlinkBox_ = nullptr;
  CheckBox_CL* hour12Box_ = nullptr;
  CheckBox_CL* fadeBox_ = nullptr;
  CheckBox_CL* everyDisplayBox_ = nullptr;
  CheckBox_CL* fullScreenBox_ = nullptr;
  CheckBox_CL* startWithWindowsBox_ = nullptr;
  ComboBox_CL* drawTypeList_ = nullptr;
  ComboBox_CL* monitorList_ = nullptr;
  ComboBox_CL* cornerList_ = nullptr;
  HotKeyField_CL* hotKeyField_ = nullptr;
  StaticText_CL* hotKeyStatus_ = nullptr;
  Button_CL* clearHotKeyButton_ = nullptr;
};

namespace dispsetting {

// "ディスプレイ2" ("Display 2" in English) for monitor 1: counted from 1.
std::wstring MonitorItemText(int monitorIndex);

}  // namespace dispsetting
