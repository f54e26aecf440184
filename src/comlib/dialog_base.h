#pragma once
// The base of every dialog and property page. There are no dialog
// resources: each object builds an empty template in memory and creates its
// controls in code when the dialog starts. The system's dialog window is
// bound to the object, which receives its messages through DialogProc.

#include <windows.h>

#include <optional>
#include <vector>

#include "comlib/unique_handle.h"
#include "comlib/window_base.h"
#include "comlib/window_dpi.h"

class SubClassDialogBase_CL {
 public:
  // WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME.
  static constexpr DWORD kDialogStyle = 0x80CA0080;
  // The template's size, in dialog units.
  static constexpr short kTemplateWidth = 320;
  static constexpr short kTemplateHeight = 240;

  SubClassDialogBase_CL() = default;
  virtual ~SubClassDialogBase_CL() = default;
  SubClassDialogBase_CL(const SubClassDialogBase_CL&) = delete;
  SubClassDialogBase_CL& operator=(const SubClassDialogBase_CL&) = delete;

  // Runs the dialog modally over owner; returns what EndDialog was given.
  virtual INT_PTR DoModal(HWND owner);
  // Derived dialogs create their controls on WM_INITDIALOG and hand every
  // message they do not handle back here.
  virtual INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The empty template with the object's style: built once, rewritten on
  // every call, alive as long as the object.
  const DLGTEMPLATE* BuildTemplate();

  static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK StaticPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Receives the dialog (or, for a page, the sheet) when the dialog starts.
  void SetSheetWindowOut(HWND* sheetWindow) { sheetWindowOut_ = sheetWindow; }
  HWND Window() const { return window_; }
  HWND Owner() const { return owner_; }
  // A length given for 96 DPI at the DPI of the dialog's monitor.
  int Px(int pixels96) const { return dpi::Scale(pixels96, dpi_); }

 protected:
  // Tells the sheet that this page changed a value, so that it enables Apply.
  void NotifyChanged() const;

  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  HFONT font_ = nullptr;
  HWND* sheetWindowOut_ = nullptr;
  DWORD style_ = kDialogStyle;
  int dpi_ = dpi::kBaseDpi;
  // Held from WM_INITDIALOG until WM_DESTROY.
  std::optional<comlib::WindowDC> dc_;

 private:
  // Binds the object to the window that has just started.
  void Attach(HWND window, HWND sheetWindow);
  // DWORDs keep the template aligned as the system wants it.
  std::vector<DWORD> template_;
};

// The area a page can fill: the sheet's tab control's display area, from
// (0, 0), with the "Ｗ" unit.
ClientArea GetPageArea(HWND page);

// Centres the window's client-sized rectangle over the reference window, or
// over the screen when the reference is minimised or missing. The window
// loses its parent.
void CentreOver(HWND reference, HWND window);
