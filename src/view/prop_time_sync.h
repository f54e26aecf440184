#pragma once
// The network time page: whether the faces show the time of a time server,
// which server, how Windows' clock stood at the last measurement (the
// offset, the round trip, when), and a button to measure now. The client
// lives with the clock; the page asks the clock for its status once a
// second while it is open.

#include <windows.h>

#include "view/scroll_page.h"

class PropTimeSync_CL : public ScrollPage_CL {
 public:
  PropTimeSync_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow);
  ~PropTimeSync_CL() override;

  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void BuildControls() override;
  bool OnControlCommand(int id, int code, HWND control) override;
  void UpdateOffsets() override {}
  void UpdateTransparency() override {}

 private:
  // A line of the status, as wide as the page.
  StaticText_CL* AddStatusLine(int y, int lines);
  // The status lines and the button, as the clock's client has it now.
  void Refresh();

  CheckBox_CL* use_ = nullptr;
  EditBox_CL* server_ = nullptr;
  StaticText_CL* status_ = nullptr;
  StaticText_CL* delay_ = nullptr;
  StaticText_CL* measured_ = nullptr;
  Button_CL* measureNow_ = nullptr;
};
