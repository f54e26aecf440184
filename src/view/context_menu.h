#pragma once
// The notification-area icon's context menu: settings, a choice of display
// and whether every display shows the clock, the support site and the end
// of the program. Built anew each time it opens.

#include <windows.h>

#include <string>

#include "comlib/popup_menu.h"

namespace contextmenu {

// "ディスプレイ１ に表示" (in English "Show on display 1") for display 0: the
// display's number, counted from 1, in full-width digits in Japanese.
std::wstring DisplayItemText(int displayNumber);

// The folder of the running program plus "\menu_image.bmp".
std::wstring MenuImagePath();

// The monitors as the menu offers them: how many, the one the clock stands
// on (-1: none of them), and whether every one shows the clock.
struct MonitorItems {
  int count = 0;
  int chosen = -1;
  bool onEvery = false;
};

// Fills an empty popup menu: its images from imagePath (none when the file
// cannot be read), its items, the chosen display greyed, and the item of
// every display checked while it is on.
void Build(PopupMenu_CL& menu, const MonitorItems& monitors, const std::wstring& imagePath);

// Opens a built menu at the cursor and returns when it has closed; the chosen
// command reaches the owner as WM_COMMAND.
void TrackAtCursor(PopupMenu_CL& menu, HWND owner);

}  // namespace contextmenu

// Opens the menu at the cursor, owned by the clock window, and returns when
// it has closed. The chosen command reaches the clock as WM_COMMAND.
void ShowContextMenu(HWND clockWindow, const contextmenu::MonitorItems& monitors);
