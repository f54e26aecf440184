#include "view/prop_app_disp_setting.h"

#include "comlib/run_at_startup.h"
#include "data/save_data.h"
#include "view/display.h"

using namespace dispsetting;

std::wstring dispsetting::MonitorItemText(int monitorIndex) {
  return L"ディスプレイ" + std::to_wstring(monitorIndex + 1);
}

PropAppDispSetting_CL::PropAppDispSetting_CL(HWND clockWindow) : ScrollPage_CL(clockWindow, scrolling::ScrollRules{}) {}

PropAppDispSetting_CL::~PropAppDispSetting_CL() = default;

void PropAppDispSetting_CL::BuildControls() {
  const AppSaveData_CL& clock = ClockData();
  const int w = area_.charWidth;
  const int d = area_.charHeight;

  hideClockBox_ = AddCheckBox(L"時計を非表示にする", Px(kBoxX), Px(kTop), DateData().hide_clock != 0);
  startupBox_ = AddCheckBox(L"Windows起動時は非表示で起動する", Px(kBoxX), d + Px(kTop), clock.disp_startup_hidden != 0);
  secondsBox_ = AddCheckBox(L"時計の秒を表示する", Px(kBoxX), 2 * d + Px(kTop), clock.disp_second != 0);
  noBlinkBox_ = AddCheckBox(L"時計の '：' を点滅しない", Px(kBoxX), 3 * d + Px(kTop), clock.blink == 0);
  hour12Box_ = AddCheckBox(L"時計を12時間表示にする", Px(kBoxX), 4 * d + Px(kTop), clock.hour12 != 0);
  fadeBox_ = AddCheckBox(L"マウスカーソルが時計に近づいた場合に薄く表示する", Px(kBoxX), 5 * d + Px(kTop),
                         clock.faint_on_hover != 0);

  AddLabel(L"描画タイプ", Px(kLabelX), 7 * d + Px(kTop));
  drawTypeList_ = AddList({L"全て描画", L"枠だけ描画", L"枠無し描画"}, 20, w, 8 * d + Px(kTop));
  drawTypeList_->Select(ListItemOrFirst(clock.draw_type, kDrawTypeCount));

  AddLabel(L"表示ディスプレイ", Px(kLabelX), 10 * d + Px(kTop));
  monitorList_ = AddList({}, 32, w, 11 * d + Px(kTop));
  const int monitorCount = Display().screens.Count();
  for (int monitor = 0; monitor < monitorCount; ++monitor) {
    monitorList_->AddItem(MonitorItemText(monitor), 0);
  }
  monitorList_->Select(ListItemOrFirst(clock.display_index, monitorCount));

  AddLabel(L"表示位置", Px(kLabelX), 13 * d + Px(kTop));
  cornerList_ = AddList({L"左上に表示", L"右上に表示", L"左下に表示", L"右下に表示"}, 32, w, 14 * d + Px(kTop));
  // A corner that names none shows no item.
  cornerList_->Select(clock.disp_index);

  horizontal_ = AddLabelledBar(L"水平表示オフセット(-9999)", 16 * d + Px(kTop), -kOffsetLimit, kOffsetLimit,
                               clock.disp_offset_x);
  vertical_ = AddLabelledBar(L"垂直表示オフセット(-9999)", 19 * d + Px(kTop), -kOffsetLimit, kOffsetLimit,
                             clock.disp_offset_y);
  transparency_ = AddLabelledBar(L"透過率(000%)", 22 * d + Px(kTop), 0, kOpaque,
                                 TransparencyFromAlpha(clock.alpha));

  // Below the designed controls, inside the same frame, a row of "Ｗ" apart.
  const int extrasTop = RectInParent(transparency_.bar->Window()).bottom + d / 2;
  fullScreenBox_ = AddCheckBox(L"全画面のアプリ表示中は時計を隠す", Px(kBoxX), extrasTop, clock.hide_on_fullscreen != 0);
  // The box shows what the registry holds, whoever wrote it.
  startWithWindowsBox_ = AddCheckBox(L"Windows起動時に自動で起動する", Px(kBoxX), extrasTop + d, ThisProgramAtStartup().IsOn());

  FinishPanel(*hideClockBox_, L"表示設定", {noBlinkBox_, hour12Box_, transparency_.bar, startWithWindowsBox_},
              *startWithWindowsBox_);
  UpdateOffsets();
  UpdateTransparency();
}

bool PropAppDispSetting_CL::OnControlCommand(int id, int code, HWND control) {
  AppSaveData_CL& clock = ClockData();
  DateSaveData_CL& date = DateData();
  if (id == hideClockBox_->ControlId()) {
    date.hide_clock = hideClockBox_->IsChecked() ? 1 : 0;
    date.SaveField(&DateSaveData_CL::hide_clock);
    display::Apply(display::kShowing);
  } else if (id == startupBox_->ControlId()) {
    clock.disp_startup_hidden = startupBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::disp_startup_hidden);
  } else if (id == secondsBox_->ControlId()) {
    clock.disp_second = secondsBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::disp_second);
    display::Apply(display::kClockPlace);
  } else if (id == noBlinkBox_->ControlId()) {
    // Written with the other flags when the transparency moves or the sheet closes.
    clock.blink = noBlinkBox_->IsChecked() ? 0 : 1;
    display::Apply(display::kClockLook);
  } else if (id == hour12Box_->ControlId()) {
    clock.hour12 = hour12Box_->IsChecked() ? 1 : 0;
    display::Apply(display::kClockLook);
  } else if (id == fadeBox_->ControlId()) {
    clock.faint_on_hover = fadeBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::faint_on_hover);
    display::Apply(display::kClockOpacity);
  } else if (id == fullScreenBox_->ControlId()) {
    clock.hide_on_fullscreen = fullScreenBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::hide_on_fullscreen);
  } else if (id == startWithWindowsBox_->ControlId()) {
    // A refused write leaves the box showing what the registry still holds.
    const RunAtStartup_CL run = ThisProgramAtStartup();
    run.Set(startWithWindowsBox_->IsChecked());
    startWithWindowsBox_->SetChecked(run.IsOn());
  } else if (IsListChoice(drawTypeList_, code, control)) {
    clock.SetClockDrawType(drawTypeList_->Selection());
    display::Apply(display::kClockLook);
  } else if (IsListChoice(monitorList_, code, control)) {
    clock.SetDisplayIndex(monitorList_->Selection());
    display::Apply(display::kClockPlace);
  } else if (IsListChoice(cornerList_, code, control)) {
    clock.disp_index = cornerList_->Selection();
    clock.SaveField(&AppSaveData_CL::disp_index);
    display::Apply(display::kClockPlace);
  } else {
    return false;
  }
  return true;
}

void PropAppDispSetting_CL::UpdateOffsets() {
  AppSaveData_CL& clock = ClockData();
  const POINT offset = ReadOffsets(L"水平表示オフセット(", L"垂直表示オフセット(");
  clock.disp_offset_x = offset.x;
  clock.disp_offset_y = offset.y;
  clock.SaveField(&AppSaveData_CL::disp_offset_x);
  clock.SaveField(&AppSaveData_CL::disp_offset_y);
  display::Apply(display::kClockPlace);
}

void PropAppDispSetting_CL::UpdateTransparency() {
  AppSaveData_CL& clock = ClockData();
  clock.alpha = ReadAlpha(L"透過度(");
  clock.SaveClockDispFlags();
  display::Apply(display::kClockOpacity | display::kClockLook);
}
