#include "comlib/update_dialog.h"

#include <utility>


namespace {

constexpr int kTextMargin = 8;
// Nothing but the close box: the notice is not resized, minimised or maximised.
constexpr LONG_PTR kRemovedBoxes = WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

}  // namespace

std::wstring NoticeText(const std::wstring& published, const std::wstring& running, const std::wstring& siteHost) {
  return UiTextWith(TextId::kNoticeText, {published, running}) + UiTextWith(TextId::kNoticeSiteHost, {siteHost});
}

UpdateDialog_CL::UpdateDialog_CL(std::wstring caption, std::wstring running, std::wstring published,
                                 std::wstring siteHost)
    : caption_(std::move(caption)),
      running_(std::move(running)),
      published_(std::move(published)),
      siteHost_(std::move(siteHost)) {}

UpdateDialog_CL::~UpdateDialog_CL() = default;

INT_PTR UpdateDialog_CL::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return 0;
    case WM_COMMAND:
      if (wParam == kOpenSiteButtonId) EndDialog(window, kNoticeOpenSite);
      if (wParam == kLaterButtonId) EndDialog(window, kNoticeLater);
      return 0;
    case WM_CLOSE:
      EndDialog(window, kNoticeClosed);
      return 0;
    default:
      return 0;
  }
}

void UpdateDialog_CL::OnInitDialog() {
  SetWindowTextW(window_, caption_.c_str());
  // Sized for the DPI of its monitor: the program is DPI aware, so nothing
  // else would scale it.
  MoveWindow(window_, 0, 0, Px(kWidth96), Px(kHeight96), FALSE);
  BuildControls();
  CentreOver(owner_, window_);
}

void UpdateDialog_CL::BuildControls() {
  ChangeWindowStyle(window_, GWL_STYLE, 0, kRemovedBoxes);
  const int openSite = AddButtonWithId(TextId::kNoticeOpenSite, kOpenSiteButtonId);
  AddButtonWithId(TextId::kNoticeLater, kLaterButtonId);
  controls_.PlaceButtonPair(window_, openSite);
  controls_.AddStaticText(window_, NoticeText(published_, running_, siteHost_), kTextMargin, kTextMargin);
}

int UpdateDialog_CL::AddButtonWithId(TextId text, int id) {
  const int index = controls_.AddButton(window_, UiText(text), 0, 0);
  SetWindowLongPtrW(controls_.At(index)->Window(), GWLP_ID, id);
  return index;
}
