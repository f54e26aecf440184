#include "view/context_menu.h"

#include <algorithm>
#include <vector>

#include "app_ids.h"
#include "comlib/program_path.h"
#include "comlib/ui_text.h"
#include "comlib/window_dpi.h"

namespace {

constexpr wchar_t kMenuImageFile[] = L"menu_image.bmp";
constexpr int kMenuImageWidth = 24;
constexpr COLORREF kMenuImageMask = RGB(0xFF, 0x00, 0xFF);

// Images in the strip.
constexpr int kImageDisplay = 0;
constexpr int kImageSettings = 2;
constexpr int kImageSupportSite = 3;
constexpr int kImageExit = 0;

// The clock accepts display commands only up to kCommandLastDisplay.
constexpr int kMaxDisplayItems = static_cast<int>(kCommandLastDisplay - kCommandFirstDisplay) + 1;

}  // namespace

namespace contextmenu {

std::wstring DisplayItemText(int displayNumber) {
  // Counted from 1 for the user, in the language's digits (full width in Japanese).
  const wchar_t zero = UiText(TextId::kMenuDisplayDigitZero)[0];
  std::wstring number = std::to_wstring(displayNumber + 1);
  for (wchar_t& digit : number) digit = static_cast<wchar_t>(zero + (digit - L'0'));
  return UiTextWith(TextId::kMenuDisplay, {number});
}

std::wstring MenuImagePath() {
  return comlib::ProgramFolder() + L"\\" + kMenuImageFile;
}

void Build(PopupMenu_CL& menu, const MonitorItems& monitors, const std::wstring& imagePath) {
  // Without the file the items are drawn without images.
  menu.Images().LoadStrip(imagePath, kMenuImageWidth, kMenuImageMask, menu.Dpi());

  const int displays = std::clamp(monitors.count, 0, kMaxDisplayItems);
  menu.AppendText(UiText(TextId::kMenuSettings), kCommandSettings, kImageSettings);
  menu.AppendSeparator();
  for (int display = 0; display < displays; ++display) {
    menu.AppendText(DisplayItemText(display), kCommandFirstDisplay + static_cast<UINT>(display), kImageDisplay);
  }
  // Its check mark stands where the others show their image.
  menu.AppendText(UiText(TextId::kEveryDisplay), kCommandEveryDisplay, PopupMenu_CL::kNoImage);
  menu.AppendSeparator();
  menu.AppendText(UiText(TextId::kMenuSupportSite), kCommandSupportSite, kImageSupportSite);
  menu.AppendSeparator();
  menu.AppendText(UiText(TextId::kMenuExit), kCommandExit, kImageExit);

  // The clock is already on this display.
  if (monitors.chosen >= 0 && monitors.chosen < displays) {
    menu.SetItemState(kCommandFirstDisplay + static_cast<UINT>(monitors.chosen), MFS_GRAYED);
  }
  if (monitors.onEvery) menu.SetItemState(kCommandEveryDisplay, MFS_CHECKED);
}

void TrackAtCursor(PopupMenu_CL& menu, HWND owner) {
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  // A menu opened from the notification area closes on a click elsewhere
  // only while its owner is the foreground window, and the message after it
  // lets the next opening work the same.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu.Handle(), TPM_VERTICAL, cursor.x, cursor.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace contextmenu

void ShowContextMenu(HWND clockWindow, const contextmenu::MonitorItems& monitors) {
  PopupMenu_CL menu;
  if (!menu.CreatePopup()) return;
  menu.SetDpi(dpi::ForWindow(clockWindow));
  contextmenu::Build(menu, monitors, contextmenu::MenuImagePath());
  contextmenu::TrackAtCursor(menu, clockWindow);
}
