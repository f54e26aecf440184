#pragma once
// The licence terms, license.html (license_en.html in English) beside the
// program, shown in a sheet of their own: in an embedded browser, or as
// plain text where no browser can be had.

#include <windows.h>

#include <string>

#include "comlib/browser_control.h"
#include "comlib/control_factory.h"
#include "comlib/dialog_base.h"

class PropAppLicense_CL : public SubClassDialogBase_CL {
 public:
  // The read-only text that stands in for the browser.
  static constexpr int kLicenceTextId = 0x1000;

  PropAppLicense_CL();
  ~PropAppLicense_CL() override;

  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void BuildPage();
  void OnSheetShown() const;
  void ShowTextInstead(const std::wstring& path, const RECT& frame);

  BrowserControl_CL browser_;
  ControlFactory_CL controls_;
};

// Runs the licence sheet modally over the clock.
void ShowLicenceSheet(HWND clockWindow);

namespace licence {

// The licence document's path, in the language of the texts: beside the program.
std::wstring DocumentPath();

// Where a window goes to lie inside the area, moved as little as possible.
POINT PlaceInside(const RECT& window, const RECT& area);

// The text of an HTML document without its tags, head, styles, scripts and
// comments, entities decoded, with CR LF line breaks and no runs of blank lines.
std::wstring TextFromHtml(const std::wstring& html);

}  // namespace licence
