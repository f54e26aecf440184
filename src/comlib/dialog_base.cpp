#include "comlib/dialog_base.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstring>

#include "comlib/control_layout.h"

namespace {

constexpr size_t kTemplateBytes = 1024;

SubClassDialogBase_CL* BoundObject(HWND window) {
  return reinterpret_cast<SubClassDialogBase_CL*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

const DLGTEMPLATE* SubClassDialogBase_CL::BuildTemplate() {
  if (template_.empty()) template_.resize(kTemplateBytes / sizeof(DWORD));
  std::fill(template_.begin(), template_.end(), 0);
  // No controls, menu, class, title or font follow the header: they are the
  // zero words after it. The font comes with WM_SETFONT.
  DLGTEMPLATE header{};
  header.style = style_;
  header.dwExtendedStyle = 0;
  header.cdit = 0;
  header.x = 0;
  header.y = 0;
  header.cx = kTemplateWidth;
  header.cy = kTemplateHeight;
  std::memcpy(template_.data(), &header, sizeof(header));
  return reinterpret_cast<const DLGTEMPLATE*>(template_.data());
}

INT_PTR SubClassDialogBase_CL::DoModal(HWND owner) {
  const DLGTEMPLATE* dialog = BuildTemplate();
  owner_ = owner;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog, owner, &StaticDialogProc,
                                 reinterpret_cast<LPARAM>(this));
}

INT_PTR SubClassDialogBase_CL::DialogProc(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      EndDialog(window, 0);
      return 0;
    case WM_INITDIALOG:
      ShowWindow(window, SW_SHOW);
      return 1;
    default:
      return 0;
  }
}

void SubClassDialogBase_CL::Attach(HWND window, HWND sheetWindow) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  window_ = window;
  if (sheetWindowOut_ != nullptr) *sheetWindowOut_ = sheetWindow;
  dc_.emplace(window);
  dpi_ = dpi::ForWindow(window);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

void SubClassDialogBase_CL::NotifyChanged() const {
  SendMessageW(GetParent(window_), PSM_CHANGED, reinterpret_cast<WPARAM>(window_), 0);
}

INT_PTR CALLBACK SubClassDialogBase_CL::StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SubClassDialogBase_CL* self = BoundObject(window);
  if (self == nullptr) {
    if (message != WM_INITDIALOG || lParam == 0) return 0;
    self = reinterpret_cast<SubClassDialogBase_CL*>(lParam);
    self->Attach(window, window);
  }
  const INT_PTR result = self->DialogProc(window, message, wParam, lParam);
  if (message == WM_DESTROY) self->dc_.reset();
  return result;
}

INT_PTR CALLBACK SubClassDialogBase_CL::StaticPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SubClassDialogBase_CL* self = BoundObject(window);
  if (self == nullptr) {
    if (message != WM_INITDIALOG || lParam == 0) return 0;
    self = reinterpret_cast<SubClassDialogBase_CL*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
    if (self == nullptr) return 0;
    self->Attach(window, GetParent(window));
  }
  const INT_PTR result = self->DialogProc(window, message, wParam, lParam);
  if (message == WM_DESTROY) self->dc_.reset();
  return result;
}

ClientArea GetPageArea(HWND page) {
  ClientArea area;
  HWND tab = reinterpret_cast<HWND>(SendMessageW(GetParent(page), PSM_GETTABCONTROL, 0, 0));
  RECT display{};
  if (tab != nullptr) {
    GetClientRect(tab, &display);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  }
  area.width = display.right - display.left;
  area.height = display.bottom - display.top;
  area.right = area.width;
  area.bottom = area.height;
  const SIZE unit = MeasureLayoutUnit();
  area.charWidth = unit.cx;
  area.charHeight = unit.cy;
  return area;
}

void CentreOver(HWND reference, HWND window) {
  if (window == nullptr) return;
  SetParent(window, nullptr);
  RECT over{0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
  if (reference != nullptr && !(GetWindowLongPtrW(reference, GWL_STYLE) & WS_MINIMIZE)) {
    GetWindowRect(reference, &over);
  }
  RECT client{};
  GetClientRect(window, &client);
  const POINT topLeft = layout::CentreIn(over, SIZE{client.right, client.bottom});
  SetWindowPos(window, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}
