#pragma once
// An embedded web browser, hosted in the ActiveX host window of whichever
// ATL library the machine has.

#include <windows.h>
#include <exdisp.h>

#include <string>

#include "comlib/com_ptr.h"

class BrowserControl_CL {
 public:
  BrowserControl_CL() = default;
  virtual ~BrowserControl_CL();
  BrowserControl_CL(const BrowserControl_CL&) = delete;
  BrowserControl_CL& operator=(const BrowserControl_CL&) = delete;

  // Creates the browser in a child of parent (a window of its own without
  // one); returns the host window, or null when no working browser can be
  // had. A host made without a browser in it is destroyed again.
  HWND Create(HWND parent);
  // Shows the file or address; false without a browser.
  bool Navigate(const std::wstring& address);

  HWND Window() const { return window_; }
  IWebBrowser2* Browser() const { return browser_.get(); }

 private:
  HWND Fail();

  HWND window_ = nullptr;
  HWND parent_ = nullptr;
  comlib::ComPtr<IWebBrowser2> browser_;
  bool comInitialised_ = false;
};

namespace browserhost {

// The ATL libraries tried in order, and the host window class each registers.
struct AtlHostLibrary {
  const wchar_t* library;
  const wchar_t* windowClass;
};
extern const AtlHostLibrary kAtlHostLibraries[7];

}  // namespace browserhost
