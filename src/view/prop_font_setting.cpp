#include "view/prop_font_setting.h"

#include <commctrl.h>

#include "comlib/ui_text.h"
#include "data/save_data.h"
#include "view/display.h"
#include "view/prop_font_families.h"
#include "view/scroll_page.h"

namespace {

constexpr int kOutlineLowest = 0;
constexpr int kOutlineHighest = 20;
constexpr int kFamilyListChars = 32;
constexpr int kFamilyListLines = 20;

const FontPageKind kClockFontPage = {64, 512};
const FontPageKind kDateFontPage = {32, 256};

}  // namespace

PropFontSetting_CL::PropFontSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow,
                                       const FontPageKind& kind)
    : settings_(settings), display_(display), clockWindow_(clockWindow), kind_(kind) {}

PropFontSetting_CL::~PropFontSetting_CL() = default;

INT_PTR PropFontSetting_CL::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      BuildPage();
      break;  // the base shows the page
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) NotifyChanged();
      return 0;
    case WM_HSCROLL:
      OnTrackBar(reinterpret_cast<HWND>(lParam));
      return 0;
    default:
      break;
  }
  return SubClassDialogBase_CL::DialogProc(window, message, wParam, lParam);
}

void PropFontSetting_CL::BuildPage() {
  using dispsetting::kLabelX;
  using dispsetting::kTop;
  const ClientArea area = GetPageArea(window_);
  const int pageWidth = area.width;
  const int w = area.charWidth;
  const int d = area.charHeight;
  const FontFields fields = Fields();

  const int title = factory_.AddStaticText(window_, UiText(TextId::kFontFamily), Px(kLabelX), Px(kTop));
  familyList_ =
      factory_.Get<ComboBox_CL>(factory_.AddComboBox(window_, kFamilyListChars, kFamilyListLines, w, d + Px(kTop)));
  boldBox_ = factory_.Get<CheckBox_CL>(factory_.AddCheckBox(window_, UiText(TextId::kBold), w, 3 * d + Px(kTop)));
  italicBox_ =
      factory_.Get<CheckBox_CL>(factory_.AddCheckBox(window_, UiText(TextId::kItalic), 5 * w, 3 * d + Px(kTop)));
  sizeLabel_ = factory_.Get<StaticText_CL>(
      factory_.AddStaticText(window_, dispsetting::LabelPlaceholder(TextId::kFontSize), Px(kLabelX), 5 * d + Px(kTop)));
  const int barWidth = pageWidth - 3 * w;
  const int barHeight = d + Px(4);
  sizeBar_ = factory_.Get<TrackBar_CL>(factory_.AddTrackBar(window_, barWidth, barHeight, w + Px(2), 5 * d + Px(kTop) + Px(20)));
  outlineLabel_ = factory_.Get<StaticText_CL>(factory_.AddStaticText(
      window_, dispsetting::LabelPlaceholder(TextId::kOutlineWidth), Px(kLabelX), 6 * d + Px(kTop) + Px(32)));
  outlineBar_ = factory_.Get<TrackBar_CL>(factory_.AddTrackBar(window_, barWidth, barHeight, w + Px(2), 6 * d + Px(kTop) + Px(68)));

  FillFamilyList();
  boldBox_->SetChecked(*fields.bold != 0);
  italicBox_->SetChecked(*fields.italic != 0);
  sizeBar_->Setup(kind_.sizeLowest, kind_.sizeHighest, *fields.emHeight);
  outlineBar_->Setup(kOutlineLowest, kOutlineHighest, *fields.outline);

  factory_.StackControls({title}, d);
  auto* frame =
      factory_.Get<GroupBox_CL>(factory_.AddGroupBox(window_, UiText(TextId::kClockFontPage), pageWidth, 4 * d, 0));
  frame->Enclose(*outlineBar_);
  frame->Resize(WindowSize(frame->Window()).cx, frame->ExtentHeight() + Px(8), TRUE);

  // The labels show the current values; this also rebuilds the font with the
  // current size and writes both keys again.
  UpdateSize();
  UpdateOutline();
}

void PropFontSetting_CL::FillFamilyList() {
  families_ = font_list::CollectDrawableFamilies(EnumerationWindow());
  for (const std::wstring& family : families_) familyList_->AddItem(family, 0);
  // An empty list has nothing to select.
  if (!families_.empty()) familyList_->Select(font_list::SelectionFor(families_, *Fields().family));
}

bool PropFontSetting_CL::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const FontFields fields = Fields();
  bool matched = false;
  if (id == boldBox_->ControlId()) {
    SetFont(*fields.family, boldBox_->IsChecked() ? 1 : 0, *fields.italic);
    matched = true;
  }
  if (id == italicBox_->ControlId()) {
    SetFont(*fields.family, *fields.bold, italicBox_->IsChecked() ? 1 : 0);
    matched = true;
  }
  if (reinterpret_cast<HWND>(lParam) == familyList_->Window() && HIWORD(wParam) == CBN_SELENDOK) {
    const int selection = familyList_->Selection();
    if (selection >= 0 && static_cast<size_t>(selection) < families_.size()) {
      // Copied: the setter stores into the field the name may come from.
      const std::wstring family = families_[static_cast<size_t>(selection)];
      SetFont(family, *fields.bold, *fields.italic);
      matched = true;
    }
  }
  return matched;
}

void PropFontSetting_CL::OnTrackBar(HWND bar) {
  if (bar == nullptr) return;
  if (bar == sizeBar_->Window()) {
    UpdateSize();
    UpdateOutline();
  } else if (bar == outlineBar_->Window()) {
    UpdateOutline();
  } else {
    return;
  }
  NotifyChanged();
}

void PropFontSetting_CL::UpdateSize() {
  const int size = sizeBar_->Position();
  sizeLabel_->SetText(dispsetting::LabelWithValue(UiText(TextId::kFontSize), size));
  SetSize(size);
  ShowOutlineLabel(outlineBar_->Position());
}

void PropFontSetting_CL::UpdateOutline() {
  const int width = outlineBar_->Position();
  ShowOutlineLabel(width);
  *Fields().outline = settings::Clamp(width, kOutlineLowest, kOutlineHighest);
  ApplyOutline();
}

void PropFontSetting_CL::ShowOutlineLabel(int width) {
  outlineLabel_->SetText(dispsetting::LabelWithValue(UiText(TextId::kOutlineWidth), width));
}

PropAppFontSetting_CL::PropAppFontSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : PropFontSetting_CL(settings, display, clockWindow, kClockFontPage) {}

FontFields PropAppFontSetting_CL::Fields() const {
  AppSaveData_CL& clock = settings_.Clock();
  return {&clock.font_family, &clock.font_bold, &clock.font_italic, &clock.font_em_height, &clock.border_frame_scale};
}

HWND PropAppFontSetting_CL::EnumerationWindow() const { return clockWindow_; }

void PropAppFontSetting_CL::SetFont(const std::wstring& family, int bold, int italic) {
  settings_.Clock().SetClockFont(family, bold, italic);
  display_.Apply(display::kClockPlace);
}

void PropAppFontSetting_CL::SetSize(int size) {
  settings_.Clock().SetClockFontEmHeight(size);
  display_.Apply(display::kClockPlace);
}

void PropAppFontSetting_CL::ApplyOutline() {
  settings_.Clock().SaveField(&AppSaveData_CL::border_frame_scale);
  display_.Apply(display::kClockPlace);
}

PropDateFontSetting_CL::PropDateFontSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : PropFontSetting_CL(settings, display, clockWindow, kDateFontPage) {}

FontFields PropDateFontSetting_CL::Fields() const {
  DateSaveData_CL& date = settings_.Date();
  return {&date.font_family, &date.font_bold, &date.font_italic, &date.font_em_height, &date.border_frame_scale};
}

HWND PropDateFontSetting_CL::EnumerationWindow() const {
  const HWND date = display_.Window(Face::kDate);
  return date != nullptr ? date : clockWindow_;
}

void PropDateFontSetting_CL::SetFont(const std::wstring& family, int bold, int italic) {
  settings_.Date().SetDateFont(family, bold, italic);
  display_.Apply(display::kDatePlace);
}

void PropDateFontSetting_CL::SetSize(int size) {
  settings_.Date().SetDateFontEmHeight(size);
  display_.Apply(display::kDatePlace);
}

void PropDateFontSetting_CL::ApplyOutline() {
  settings_.Date().SaveField(&DateSaveData_CL::border_frame_scale);
  display_.Apply(display::kDatePlace);
}
