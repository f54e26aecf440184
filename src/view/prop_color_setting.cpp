#include "view/prop_color_setting.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>

#include "comlib/dll_function.h"
#include "comlib/ui_text.h"
#include "view/display.h"
#include "view/prop_color_forms.h"
#include "view/scroll_page.h"

namespace {

constexpr COLORREF kBlankCustomColour = RGB(0xFF, 0xFF, 0xFF);
constexpr int kSwatchWidthChars = 5;

}  // namespace

PropColorSetting_CL::PropColorSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow,
                                         const std::vector<ColourEntry>& rows)
    : settings_(settings), display_(display), clockWindow_(clockWindow) {
  for (const ColourEntry& entry : rows) {
    rows_.emplace_back();
    rows_.back().entry = entry;
  }
  std::fill(std::begin(customColours_), std::end(customColours_), kBlankCustomColour);
}

PropColorSetting_CL::~PropColorSetting_CL() = default;

INT_PTR PropColorSetting_CL::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      BuildPage();
      break;  // the base shows the page
    case WM_COMMAND:
      // A cancelled picker still counts as a change.
      if (OnCommand(LOWORD(wParam))) NotifyChanged();
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<INT_PTR>(SwatchBrush(reinterpret_cast<HWND>(lParam)));
    default:
      break;
  }
  return SubClassDialogBase_CL::DialogProc(window, message, wParam, lParam);
}

void PropColorSetting_CL::BuildPage() {
  const ClientArea area = GetPageArea(window_);
  const int w = area.charWidth;
  const int d = area.charHeight;

  int firstCaption = -1;
  for (size_t k = 0; k < rows_.size(); ++k) {
    Row& row = rows_[k];
    const int top = 3 * static_cast<int>(k) * d + Px(dispsetting::kTop);
    const int caption = factory_.AddStaticText(window_, row.entry.caption, Px(dispsetting::kLabelX), top);
    if (firstCaption < 0) firstCaption = caption;
    row.swatch = factory_.Get<StaticText_CL>(factory_.AddStaticText(window_, L"", w, top + d));
    row.button =
        factory_.Get<Button_CL>(factory_.AddButton(window_, UiText(TextId::kChangeColour), 6 * w + w / 2, top + d));
    HWND swatch = row.swatch->Window();
    if (swatch == nullptr) continue;
    ChangeWindowStyle(swatch, GWL_EXSTYLE, WS_EX_CLIENTEDGE, 0);
    SetWindowPos(swatch, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    row.swatch->Resize(kSwatchWidthChars * w, WindowSize(row.button->Window()).cy + 2, TRUE);
  }
  if (firstCaption >= 0) factory_.StackControls({firstCaption}, d);

  auto* frame =
      factory_.Get<GroupBox_CL>(factory_.AddGroupBox(window_, UiText(TextId::kClockColourPage), area.width, 4 * d, 0));
  if (!rows_.empty()) frame->Enclose(*rows_.back().button);
  frame->Resize(WindowSize(frame->Window()).cx, frame->ExtentHeight() + 8, TRUE);
}

bool PropColorSetting_CL::OnCommand(int controlId) {
  bool matched = false;
  for (Row& row : rows_) {
    if (row.button == nullptr || row.button->ControlId() != controlId) continue;
    ChooseColour(row);
    matched = true;
  }
  return matched;
}

void PropColorSetting_CL::ChooseColour(Row& row) {
  CHOOSECOLORW choice{};
  choice.lStructSize = sizeof(choice);
  choice.hwndOwner = window_;
  choice.lpCustColors = customColours_;
  // The picker opens on the row's colour, so OK alone keeps it.
  choice.rgbResult = colour_form::ColorrefFromArgb(*row.entry.colour);
  choice.Flags = CC_RGBINIT | CC_FULLOPEN;
  // The common dialogs, and the printing libraries under them, are mapped
  // only while the picker is open.
  const DllFunction_CL commonDialogs(L"comdlg32.dll");
  const auto chooseColor = commonDialogs.GetFunctionAs<decltype(&ChooseColorW)>("ChooseColorW");
  if (chooseColor == nullptr || !chooseColor(&choice)) return;
  *row.entry.colour = colour_form::ArgbFromColorref(choice.rgbResult);
  InvalidateRect(row.swatch->Window(), nullptr, TRUE);
  SaveColours();
}

HBRUSH PropColorSetting_CL::SwatchBrush(HWND control) {
  for (Row& row : rows_) {
    if (row.swatch == nullptr || row.swatch->Window() != control) continue;
    row.brush.reset(CreateSolidBrush(colour_form::ColorrefFromArgb(*row.entry.colour)));
    return row.brush.get();
  }
  return nullptr;  // other statics keep the default colours
}

PropAppColorSetting_CL::PropAppColorSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : PropColorSetting_CL(settings, display, clockWindow,
                          {{UiText(TextId::kTextColour), &settings.Clock().font_color1},
                           {UiText(TextId::kRisingColour), &settings.Clock().font_color2},
                           {UiText(TextId::kOutlineColour), &settings.Clock().font_color3}}) {}

void PropAppColorSetting_CL::SaveColours() {
  settings_.Clock().SaveClockColors();
  // The clock would show the colour at its next tick; show it now.
  display_.Apply(display::kClockLook);
}

PropDateColorSetting_CL::PropDateColorSetting_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow)
    : PropColorSetting_CL(settings, display, clockWindow,
                          {{UiText(TextId::kTextColour), &settings.Date().font_color1},
                           {UiText(TextId::kOutlineColour), &settings.Date().font_color3}}) {}

void PropDateColorSetting_CL::SaveColours() {
  settings_.Date().SaveDateColors();
  display_.Apply(display::kDateLook);
}
