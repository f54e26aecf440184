#pragma once
// The settings sheet's pages, in the order of their tabs.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "comlib/dialog_base.h"

class Display_CL;
class Settings_CL;

struct SettingPage {
  std::unique_ptr<SubClassDialogBase_CL> page;
  std::wstring title;
};

// The pages change the settings and have the display apply each change.
std::vector<SettingPage> MakeSettingPages(Settings_CL& settings, Display_CL& display, HWND clockWindow);
