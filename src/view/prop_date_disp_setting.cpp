#include "view/prop_date_disp_setting.h"

#include "data/save_data.h"
#include "text/time_text.h"
#include "view/display.h"

using namespace dispsetting;

namespace {

// This page scrolls by fixed lines and only through its scroll bar.
constexpr scrolling::ScrollRules kDateScrollRules{16, false, false};

}  // namespace

PropDateDispSetting_CL::PropDateDispSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : ScrollPage_CL(settings, display, clockWindow, kDateScrollRules) {}

PropDateDispSetting_CL::~PropDateDispSetting_CL() = default;

void PropDateDispSetting_CL::BuildControls() {
  const DateSaveData_CL& date = settings_.Date();
  const int w = area_.charWidth;
  const int d = area_.charHeight;

  hideDateBox_ = AddCheckBox(UiText(TextId::kHideDate), Px(kBoxX), Px(kTop), date.show_date == 0);
  startupBox_ = AddCheckBox(UiText(TextId::kStartHidden), Px(kBoxX), d + Px(kTop), date.disp_startup_hidden != 0);

  AddLabel(UiText(TextId::kDateFormat), Px(kLabelX), 3 * d + Px(kTop));
  formatList_ = AddList({UiText(TextId::kDateFormat0), UiText(TextId::kDateFormat1), UiText(TextId::kDateFormat2),
                         UiText(TextId::kDateFormat3), UiText(TextId::kDateFormat4), UiText(TextId::kDateFormat5),
                         UiText(TextId::kDateFormat6), UiText(TextId::kDateFormat7)},
                        20, w, 4 * d + Px(kTop));
  formatList_->Select(timetext::KnownDateFormat(date.date_format));

  AddLabel(UiText(TextId::kDrawType), Px(kLabelX), 6 * d + Px(kTop));
  drawTypeList_ = AddList({UiText(TextId::kDrawAll), UiText(TextId::kDrawOutlineOnly), UiText(TextId::kDrawFillOnly)},
                          20, w, 7 * d + Px(kTop));
  drawTypeList_->Select(ListItemOrFirst(date.draw_type, kDrawTypeCount));

  horizontal_ =
      AddLabelledBar(TextId::kDateHorizontalOffset, 9 * d + Px(kTop), -kOffsetLimit, kOffsetLimit, date.offset_x);
  vertical_ =
      AddLabelledBar(TextId::kDateVerticalOffset, 12 * d + Px(kTop), -kOffsetLimit, kOffsetLimit, date.offset_y);
  transparency_ =
      AddLabelledBar(TextId::kDateTransparency, 15 * d + Px(kTop), 0, kOpaque, TransparencyFromAlpha(date.alpha));
  fadeBox_ = AddCheckBox(UiText(TextId::kDateFade), Px(kBoxX), 18 * d + Px(kTop), date.faint_on_hover != 0);

  FinishPanel(*hideDateBox_, TextId::kDatePage, {hideDateBox_, formatList_, drawTypeList_, transparency_.bar, fadeBox_},
              *fadeBox_);
  UpdateOffsets();
  UpdateTransparency();
}

bool PropDateDispSetting_CL::OnControlCommand(int id, int code, HWND control) {
  DateSaveData_CL& date = settings_.Date();
  if (id == hideDateBox_->ControlId()) {
    date.show_date = hideDateBox_->IsChecked() ? 0 : 1;
    date.SaveField(&DateSaveData_CL::show_date);
    display_.Apply(display::kShowing);
  } else if (id == startupBox_->ControlId()) {
    date.disp_startup_hidden = startupBox_->IsChecked() ? 1 : 0;
    date.SaveField(&DateSaveData_CL::disp_startup_hidden);
  } else if (id == fadeBox_->ControlId()) {
    date.faint_on_hover = fadeBox_->IsChecked() ? 1 : 0;
    date.SaveField(&DateSaveData_CL::faint_on_hover);
    date.SaveDateDisp();
    display_.Apply(display::kDateOpacity);
  } else if (IsListChoice(formatList_, code, control)) {
    date.date_format = timetext::KnownDateFormat(formatList_->Selection());
    date.SaveField(&DateSaveData_CL::date_format);
    display_.Apply(display::kDatePlace);
  } else if (IsListChoice(drawTypeList_, code, control)) {
    date.draw_type = drawTypeList_->Selection();
    date.SaveField(&DateSaveData_CL::draw_type);
    date.SaveDateDisp();
    display_.Apply(display::kDateLook | display::kDateOpacity);
  } else {
    return false;
  }
  return true;
}

void PropDateDispSetting_CL::UpdateOffsets() {
  DateSaveData_CL& date = settings_.Date();
  const POINT offset = ReadOffsets(TextId::kDateHorizontalOffset, TextId::kDateVerticalOffset);
  date.offset_x = offset.x;
  date.offset_y = offset.y;
  date.SaveField(&DateSaveData_CL::offset_x);
  date.SaveField(&DateSaveData_CL::offset_y);
  display_.Apply(display::kDatePlace);
}

void PropDateDispSetting_CL::UpdateTransparency() {
  DateSaveData_CL& date = settings_.Date();
  date.alpha = ReadAlpha(TextId::kDateTransparency);
  date.SaveField(&DateSaveData_CL::alpha);
  date.SaveDateDisp();
  display_.Apply(display::kDateOpacity);
}
