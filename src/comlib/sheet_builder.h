#pragma once
// Collects property pages and runs them as a modal property sheet that
// opens centred over its parent.

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "comlib/dialog_base.h"

class SheetBuilder {
 public:
  // sheetWindow receives the sheet once its first page has started.
  explicit SheetBuilder(HWND* sheetWindow) : sheetWindowOut_(sheetWindow) {}
  SheetBuilder(const SheetBuilder&) = delete;
  SheetBuilder& operator=(const SheetBuilder&) = delete;

  // The page must outlive Run.
  void AddPage(SubClassDialogBase_CL& page, const std::wstring& title);
  // Returns PropertySheet's result: 1 when the user saved changes (OK or
  // Apply after a change), 0 when not, -1 when the sheet could not be shown.
  INT_PTR Run(HWND parent, const std::wstring& caption);

 private:
  struct PageRecord {
    PROPSHEETPAGEW page;
    std::wstring title;
  };

  std::vector<PageRecord> pages_;
  HWND* sheetWindowOut_;
};
