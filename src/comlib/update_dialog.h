#pragma once
// The notice of a newer published version: its text and two buttons, one to
// open the download site and one to be reminded on another day.

#include <windows.h>

#include <string>

#include "comlib/control_factory.h"
#include "comlib/dialog_base.h"
#include "comlib/ui_text.h"

// The user's answer to the notice.
enum NoticeChoice : int { kNoticeClosed = 0, kNoticeOpenSite = 1, kNoticeLater = 2 };

// The notice's text, the same in the dialog and the message box: the two
// versions, and the host that opening the site leads to.
std::wstring NoticeText(const std::wstring& published, const std::wstring& running, const std::wstring& siteHost);

class UpdateDialog_CL : public SubClassDialogBase_CL {
 public:
  // The buttons' ids, which are also what WM_COMMAND carries.
  static constexpr int kOpenSiteButtonId = 0x1000;
  static constexpr int kLaterButtonId = 0x1002;
  // The dialog's size at 96 DPI.
  static constexpr int kWidth96 = 360;
  static constexpr int kHeight96 = 160;

  UpdateDialog_CL(std::wstring caption, std::wstring running, std::wstring published, std::wstring siteHost);
  ~UpdateDialog_CL() override;

  INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnInitDialog();
  void BuildControls();
  int AddButtonWithId(TextId text, int id);

  std::wstring caption_;
  std::wstring running_;
  std::wstring published_;
  std::wstring siteHost_;
  ControlFactory_CL controls_;
};
