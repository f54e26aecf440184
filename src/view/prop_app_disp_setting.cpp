#include "view/prop_app_disp_setting.h"

#include <algorithm>

#include "app_ids.h"
#include "comlib/hot_key.h"
#include "comlib/run_at_startup.h"
#include "data/monitor_choice.h"
#include "data/save_data.h"
#include "view/display.h"

using namespace dispsetting;

std::wstring dispsetting::MonitorItemText(int monitorIndex) {
  return UiTextWith(TextId::kMonitorItem, {std::to_wstring(monitorIndex + 1)});
}

PropAppDispSetting_CL::PropAppDispSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : ScrollPage_CL(settings, display, clockWindow, scrolling::ScrollRules{}) {}

PropAppDispSetting_CL::~PropAppDispSetting_CL() = default;

void PropAppDispSetting_CL::BuildControls() {
  const AppSaveData_CL& clock = settings_.Clock();
  const int w = area_.charWidth;
  const int d = area_.charHeight;

  hideClockBox_ = AddCheckBox(UiText(TextId::kHideClock), Px(kBoxX), Px(kTop), settings_.Date().hide_clock != 0);
  startupBox_ = AddCheckBox(UiText(TextId::kStartHidden), Px(kBoxX), d + Px(kTop), clock.disp_startup_hidden != 0);
  secondsBox_ = AddCheckBox(UiText(TextId::kShowSeconds), Px(kBoxX), 2 * d + Px(kTop), clock.disp_second != 0);
  noBlinkBox_ = AddCheckBox(UiText(TextId::kSteadyColons), Px(kBoxX), 3 * d + Px(kTop), clock.blink == 0);
  hour12Box_ = AddCheckBox(UiText(TextId::kHour12), Px(kBoxX), 4 * d + Px(kTop), clock.hour12 != 0);
  fadeBox_ = AddCheckBox(UiText(TextId::kClockFade), Px(kBoxX), 5 * d + Px(kTop), clock.faint_on_hover != 0);

  AddLabel(UiText(TextId::kDrawType), Px(kLabelX), 7 * d + Px(kTop));
  drawTypeList_ = AddList({UiText(TextId::kDrawAll), UiText(TextId::kDrawOutlineOnly), UiText(TextId::kDrawFillOnly)},
                          20, w, 8 * d + Px(kTop));
  drawTypeList_->Select(ListItemOrFirst(clock.draw_type, kDrawTypeCount));

  AddLabel(UiText(TextId::kMonitor), Px(kLabelX), 10 * d + Px(kTop));
  monitorList_ = AddList({}, 32, w, 11 * d + Px(kTop));
  const int monitorCount = display_.Screens().Count();
  for (int monitor = 0; monitor < monitorCount; ++monitor) {
    monitorList_->AddItem(MonitorItemText(monitor), 0);
  }
  // Where the chosen monitor stands now, whatever its number was.
  monitorList_->Select(ListItemOrFirst(display_.ChosenMonitor().value_or(-1), monitorCount));
  everyDisplayBox_ =
      AddCheckBox(UiText(TextId::kEveryDisplay), Px(kBoxX), 12 * d + d / 2 + Px(kTop), clock.display_all != 0);

  AddLabel(UiText(TextId::kCorner), Px(kLabelX), 14 * d + Px(kTop));
  cornerList_ = AddList({UiText(TextId::kCornerTopLeft), UiText(TextId::kCornerTopRight),
                         UiText(TextId::kCornerBottomLeft), UiText(TextId::kCornerBottomRight)},
                        32, w, 15 * d + Px(kTop));
  // A corner that names none shows no item.
  cornerList_->Select(clock.disp_index);

  horizontal_ = AddLabelledBar(TextId::kClockHorizontalOffset, 17 * d + Px(kTop), -kOffsetLimit, kOffsetLimit,
                               clock.disp_offset_x);
  vertical_ =
      AddLabelledBar(TextId::kClockVerticalOffset, 20 * d + Px(kTop), -kOffsetLimit, kOffsetLimit, clock.disp_offset_y);
  transparency_ =
      AddLabelledBar(TextId::kClockTransparency, 23 * d + Px(kTop), 0, kOpaque, TransparencyFromAlpha(clock.alpha));

  // Below the designed controls, inside the same frame, a row of "Ｗ" apart.
  BuildExtras(RectInParent(transparency_.bar->Window()).bottom + d / 2);

  FinishPanel(*hideClockBox_, TextId::kClockPage,
              {noBlinkBox_, hour12Box_, everyDisplayBox_, transparency_.bar, startWithWindowsBox_, clearHotKeyButton_,
               hotKeyStatus_},
              *hotKeyStatus_);
  UpdateOffsets();
  UpdateTransparency();
}

void PropAppDispSetting_CL::BuildExtras(int extrasTop) {
  const AppSaveData_CL& clock = settings_.Clock();
  const int w = area_.charWidth;
  const int d = area_.charHeight;
  fullScreenBox_ = AddCheckBox(UiText(TextId::kHideOnFullScreen), Px(kBoxX), extrasTop, clock.hide_on_fullscreen != 0);
  // The box shows what the registry holds, whoever wrote it.
  startWithWindowsBox_ =
      AddCheckBox(UiText(TextId::kStartWithWindows), Px(kBoxX), extrasTop + d, ThisProgramAtStartup().IsOn());
  AddLabel(UiText(TextId::kHotKey), Px(kLabelX), extrasTop + 2 * d + d / 2);
  hotKeyField_ = factory_.Get<HotKeyField_CL>(
      factory_.AddHotKeyField(ControlParent(), Px(kBoxX), extrasTop + 3 * d + d / 2));
  hotKeyField_->SetKeys(hotkey::Parse(clock.hotkey).keys);
  const RECT field = RectInParent(hotKeyField_->Window());
  // Room for the longest of the reasons, shown below the field.
  hotKeyStatus_ = AddLabel(UiText(TextId::kHotKeyRefused), Px(kBoxX), field.bottom + 2);
  clearHotKeyButton_ = factory_.Get<Button_CL>(
      factory_.AddButton(ControlParent(), UiText(TextId::kHotKeyClear), field.right + w / 2, field.top));
  clearHotKeyButton_->Resize(WindowSize(clearHotKeyButton_->Window()).cx, field.bottom - field.top, FALSE);
  const hotkey::KeyCombination longestKeys{MOD_CONTROL | MOD_ALT | MOD_SHIFT | MOD_WIN, VK_NEXT};
  const std::wstring reasons[] = {UiText(TextId::kHotKeyTaken), UiText(TextId::kHotKeyRefused),
                                  UiText(TextId::kHotKeyReserved),
                                  UiTextWith(TextId::kHotKeyKept, {hotkey::Format(longestKeys)})};
  SIZE room{};
  for (const std::wstring& reason : reasons) {
    const SIZE size = MeasureText(hotKeyStatus_->Font(), reason);
    room = SIZE{std::max(room.cx, size.cx), std::max(room.cy, size.cy)};
  }
  hotKeyStatus_->Resize(room.cx, room.cy, FALSE);
  ShowKeyInEffect(false);
}

bool PropAppDispSetting_CL::OnControlCommand(int id, int code, HWND control) {
  AppSaveData_CL& clock = settings_.Clock();
  DateSaveData_CL& date = settings_.Date();
  if (id == hideClockBox_->ControlId()) {
    date.hide_clock = hideClockBox_->IsChecked() ? 1 : 0;
    date.SaveField(&DateSaveData_CL::hide_clock);
    display_.Apply(display::kShowing);
  } else if (id == startupBox_->ControlId()) {
    clock.disp_startup_hidden = startupBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::disp_startup_hidden);
  } else if (id == secondsBox_->ControlId()) {
    clock.disp_second = secondsBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::disp_second);
    display_.Apply(display::kClockPlace);
  } else if (id == noBlinkBox_->ControlId()) {
    // Written with the other flags when the transparency moves or the sheet closes.
    clock.blink = noBlinkBox_->IsChecked() ? 0 : 1;
    display_.Apply(display::kClockLook);
  } else if (id == hour12Box_->ControlId()) {
    clock.hour12 = hour12Box_->IsChecked() ? 1 : 0;
    // The world clocks' hours follow, and their lines grow or shrink.
    display_.Apply(display::kClockLook | display::kZonesPlace);
  } else if (id == fadeBox_->ControlId()) {
    clock.faint_on_hover = fadeBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::faint_on_hover);
    display_.Apply(display::kClockOpacity);
  } else if (id == fullScreenBox_->ControlId()) {
    clock.hide_on_fullscreen = fullScreenBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::hide_on_fullscreen);
  } else if (id == startWithWindowsBox_->ControlId()) {
    // A refused write leaves the box showing what the registry still holds.
    const RunAtStartup_CL run = ThisProgramAtStartup();
    run.Set(startWithWindowsBox_->IsChecked());
    startWithWindowsBox_->SetChecked(run.IsOn());
  } else if (id == hotKeyField_->ControlId() && code == EN_CHANGE) {
    OnHotKeyChanged();
  } else if (id == clearHotKeyButton_->ControlId()) {
    OnClearHotKey();
  } else if (IsListChoice(drawTypeList_, code, control)) {
    clock.SetClockDrawType(drawTypeList_->Selection());
    display_.Apply(display::kClockLook);
  } else if (IsListChoice(monitorList_, code, control)) {
    const int chosen = monitorList_->Selection();
    clock.SetDisplay(chosen, monitor_choice::IdentityTextFor(display_.Screens(), chosen));
    display_.Apply(display::kClockPlace);
  } else if (id == everyDisplayBox_->ControlId()) {
    clock.display_all = everyDisplayBox_->IsChecked() ? 1 : 0;
    clock.SaveField(&AppSaveData_CL::display_all);
    display_.Apply(display::kClockPlace);
  } else if (IsListChoice(cornerList_, code, control)) {
    clock.disp_index = cornerList_->Selection();
    clock.SaveField(&AppSaveData_CL::disp_index);
    display_.Apply(display::kClockPlace);
  } else {
    return false;
  }
  return true;
}

void PropAppDispSetting_CL::OnHotKeyChanged() {
  const hotkey::KeyCombination keys = hotKeyField_->Keys();
  // Anything short of a key that may be one leaves the key in effect as it was.
  switch (hotkey::CheckFieldKeys(keys)) {
    case hotkey::FieldVerdict::kIncomplete:
      ShowKeyInEffect(true);
      return;
    case hotkey::FieldVerdict::kNeedsModifier:
      ShowHotKeyStatus(UiText(TextId::kHotKeyRefused));
      return;
    case hotkey::FieldVerdict::kReserved:
      ShowHotKeyStatus(UiText(TextId::kHotKeyReserved));
      return;
    case hotkey::FieldVerdict::kValid:
      break;
  }
  SetHotKey(hotkey::Format(keys));
}

void PropAppDispSetting_CL::OnClearHotKey() {
  hotKeyField_->SetKeys(hotkey::KeyCombination{});
  SetHotKey(std::wstring());
}

void PropAppDispSetting_CL::SetHotKey(const std::wstring& text) {
  AppSaveData_CL& clock = settings_.Clock();
  clock.hotkey = text;
  clock.SaveField(&AppSaveData_CL::hotkey);
  ShowKeyInEffect(false);
}

void PropAppDispSetting_CL::ShowKeyInEffect(bool fieldEmpty) {
  const hotkey::ParseResult inEffect = hotkey::Parse(settings_.Clock().hotkey);
  // The clock takes the key in the settings, or lets its own go when there is none.
  const bool held = SendMessageW(clockWindow_, kHotKeyChangedMessage, 0, 0) != 0;
  if (inEffect.status == hotkey::ParseStatus::kOff) {
    ShowHotKeyStatus(std::wstring());
  } else if (inEffect.status == hotkey::ParseStatus::kReserved) {
    ShowHotKeyStatus(UiText(TextId::kHotKeyReserved));
  } else if (!held) {
    ShowHotKeyStatus(UiText(TextId::kHotKeyTaken));
  } else {
    ShowHotKeyStatus(fieldEmpty ? UiTextWith(TextId::kHotKeyKept, {hotkey::Format(inEffect.keys)}) : std::wstring());
  }
}

void PropAppDispSetting_CL::ShowHotKeyStatus(const std::wstring& text) {
  hotKeyStatus_->SetText(text);
  ShowWindow(hotKeyStatus_->Window(), text.empty() ? SW_HIDE : SW_SHOWNA);
}

void PropAppDispSetting_CL::UpdateOffsets() {
  AppSaveData_CL& clock = settings_.Clock();
  const POINT offset = ReadOffsets(TextId::kClockHorizontalOffset, TextId::kClockVerticalOffset);
  clock.disp_offset_x = offset.x;
  clock.disp_offset_y = offset.y;
  clock.SaveField(&AppSaveData_CL::disp_offset_x);
  clock.SaveField(&AppSaveData_CL::disp_offset_y);
  display_.Apply(display::kClockPlace);
}

void PropAppDispSetting_CL::UpdateTransparency() {
  AppSaveData_CL& clock = settings_.Clock();
  clock.alpha = ReadAlpha(TextId::kClockTransparency);
  clock.SaveClockDispFlags();
  display_.Apply(display::kClockOpacity | display::kClockLook);
}
