#include "view/prop_app_version.h"

#include <commctrl.h>

#include "comlib/inifile.h"
#include "comlib/ui_text.h"
#include "comlib/update_check.h"
#include "comlib/web_page.h"
#include "product.h"

namespace {

constexpr int kNoticeBoxX = 8;
constexpr int kNoticeBoxY = 16;
constexpr int kNoticeGroupHeight = 36;
constexpr int kInfoGroupY = 52;
constexpr int kInfoGroupHeight = 140;
// The version column starts below the notice group.
constexpr int kColumnTop = 68;
constexpr int kIconButtonSize = 36;
constexpr int kIconSize = 32;
constexpr int kIconIndent = 8;
// Group boxes reach this far below the lowest control they frame.
constexpr int kGroupBottomMargin = 8;

}  // namespace

PropAppVersion_CL::PropAppVersion_CL(WORD iconId) : iconId_(iconId) {}

PropAppVersion_CL::~PropAppVersion_CL() = default;

INT_PTR PropAppVersion_CL::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      BuildControls();
      break;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY)) OnApply();
      return 0;
    default:
      break;
  }
  // The base shows the page when it starts and ends it on WM_CLOSE.
  return SubClassDialogBase_CL::DialogProc(window, message, wParam, lParam);
}

void PropAppVersion_CL::BuildControls() {
  const ClientArea area = GetPageArea(window_);
  noticeBox_ =
      controls_.Get<CheckBox_CL>(controls_.AddCheckBox(window_, UiText(TextId::kNoNotices), kNoticeBoxX, kNoticeBoxY));
  // The icon shows instead of the text, which names the button for screen readers.
  const int icon = controls_.AddButton(window_, UiText(TextId::kSupportSiteLabel), 0, 0);
  iconButton_ = controls_.Get<Button_CL>(icon);
  iconButton_->Resize(kIconButtonSize, kIconButtonSize, TRUE);
  ChangeWindowStyle(iconButton_->Window(), GWL_STYLE, BS_ICON | BS_FLAT, 0);
  HANDLE image = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId_), IMAGE_ICON, kIconSize, kIconSize,
                            LR_SHARED | LR_DEFAULTSIZE);
  SendMessageW(iconButton_->Window(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
  const int version = controls_.AddStaticText(window_, UiTextWith(TextId::kVersionLabel, {product::kVersion}), 0, 0);
  const int spacer = controls_.AddStaticText(window_, kColumnSpacerText, 0, 0);
  const int siteLabel = controls_.AddStaticText(window_, UiText(TextId::kSupportSiteLabel), 0, 0);
  const int site = controls_.AddButton(window_, UiText(TextId::kSupportSiteButton), 0, 0);
  siteButton_ = controls_.Get<Button_CL>(site);

  noticeBox_->SetChecked(AppIni().GetInt(update::kSection, update::kNotifyKey, 0) != 0);
  controls_.StackControls({icon, version, spacer, siteLabel, site}, kColumnTop);

  auto* noticeGroup = controls_.Get<GroupBox_CL>(
      controls_.AddGroupBox(window_, UiText(TextId::kNoticesFrame), area.width, kNoticeGroupHeight, 0));
  noticeGroup->Enclose(*noticeBox_);
  noticeGroup->Resize(area.width, noticeGroup->ExtentHeight() + kGroupBottomMargin, TRUE);
  auto* infoGroup = controls_.Get<GroupBox_CL>(
      controls_.AddGroupBox(window_, UiText(TextId::kVersionPage), area.width, kInfoGroupHeight, kInfoGroupY));
  infoGroup->Enclose(*siteButton_);
  infoGroup->Resize(area.width, infoGroup->ExtentHeight() + kGroupBottomMargin, TRUE);

  const RECT iconRect = RectInParent(iconButton_->Window());
  iconButton_->Move(iconRect.left + kIconIndent, iconRect.top);
}

void PropAppVersion_CL::OnCommand(int controlId) {
  if (controlId == iconButton_->ControlId() || controlId == siteButton_->ControlId()) {
    OpenWebPage(product::SupportSiteUrl());
  } else if (controlId == noticeBox_->ControlId()) {
    NotifyChanged();
  }
}

void PropAppVersion_CL::OnApply() const {
  // Goes to the file with the rest of the sheet's close.
  AppIni().Gather({{update::kSection, update::kNotifyKey, inistore::IntText(noticeBox_->IsChecked() ? 1 : 0)}});
}
