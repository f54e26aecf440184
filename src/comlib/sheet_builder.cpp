#include "comlib/sheet_builder.h"

#include <commctrl.h>

#include "comlib/control_layout.h"

namespace {

constexpr UINT_PTR kCentreSubclassId = 1;

// Centres the sheet over its parent when it is first shown, then steps
// aside; it also steps aside if the sheet goes without ever being shown.
LRESULT CALLBACK CentreOnFirstShow(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR) {
  if (message == WM_SHOWWINDOW && wParam) {
    HWND parent = GetWindow(sheet, GW_OWNER);
    RECT sheetRect{};
    RECT parentRect{};
    if (parent != nullptr && GetWindowRect(sheet, &sheetRect) && GetWindowRect(parent, &parentRect)) {
      const POINT topLeft = layout::CentreIn(
          parentRect, SIZE{sheetRect.right - sheetRect.left, sheetRect.bottom - sheetRect.top});
      SetWindowPos(sheet, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    }
    RemoveWindowSubclass(sheet, &CentreOnFirstShow, id);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(sheet, &CentreOnFirstShow, id);
  }
  return DefSubclassProc(sheet, message, wParam, lParam);
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) SetWindowSubclass(sheet, &CentreOnFirstShow, kCentreSubclassId, 0);
  return 0;
}

}  // namespace

void SheetBuilder::AddPage(SubClassDialogBase_CL& page, const std::wstring& title) {
  PageRecord record{};
  record.title = title;
  record.page.dwSize = sizeof(record.page);
  record.page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
  record.page.hInstance = GetModuleHandleW(nullptr);
  record.page.pResource = page.BuildTemplate();
  record.page.pfnDlgProc = &SubClassDialogBase_CL::StaticPageProc;
  record.page.lParam = reinterpret_cast<LPARAM>(&page);
  page.SetSheetWindowOut(sheetWindowOut_);
  pages_.push_back(std::move(record));
}

INT_PTR SheetBuilder::Run(HWND parent, const std::wstring& caption) {
  std::vector<HPROPSHEETPAGE> handles;
  handles.reserve(pages_.size());
  for (PageRecord& record : pages_) {
    // The records may have moved while the list grew.
    record.page.pszTitle = record.title.c_str();
    if (HPROPSHEETPAGE handle = CreatePropertySheetPageW(&record.page)) handles.push_back(handle);
  }
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_USECALLBACK;
  header.hwndParent = parent;
  header.hInstance = GetModuleHandleW(nullptr);
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(handles.size());
  header.phpage = handles.data();
  header.pfnCallback = &SheetCallback;
  // The sheet destroys the page handles it was given.
  return PropertySheetW(&header);
}
