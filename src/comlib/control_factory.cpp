#include "comlib/control_factory.h"

#include <commctrl.h>

#include <iterator>

#include "comlib/control_layout.h"

namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
// A push button is its text plus this much on each axis; a check box adds
// the box's width beside its text.
constexpr int kButtonPadding = 8;
constexpr int kCheckBoxPadding = 32;
constexpr wchar_t kWidestHotKeyText[] = L"Control + Shift + Alt + Page Down";

bool IsColumnSpacer(const ControlBase_CL& control) {
  if (control.Type() != kControlStaticText) return false;
  wchar_t text[4] = {};
  GetWindowTextW(control.Window(), text, static_cast<int>(std::size(text)));
  return std::wstring(text) == kColumnSpacerText;
}

}  // namespace

int ControlFactory_CL::AddControl(std::unique_ptr<ControlBase_CL> control, HWND parent, const wchar_t* windowClass,
                                  const std::wstring& text, DWORD style, int x, int y, int width, int height) {
  control->controlId_ = nextControlId_++;
  control->window_ =
      CreateWindowExW(0, windowClass, text.c_str(), style, x, y, width, height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->controlId_)), GetModuleHandleW(nullptr),
                      control.get());
  if (control->window_ != nullptr) {
    SendMessageW(control->window_, WM_SETFONT, reinterpret_cast<WPARAM>(control->Font()), TRUE);
  }
  controls_.push_back(std::move(control));
  return static_cast<int>(controls_.size()) - 1;
}

int ControlFactory_CL::AddStaticText(HWND parent, const std::wstring& text, int x, int y) {
  auto control = std::make_unique<StaticText_CL>();
  const SIZE size = MeasureText(control->Font(), text);
  return AddControl(std::move(control), parent, WC_STATICW, text, kChildStyle, x, y, size.cx, size.cy);
}

int ControlFactory_CL::AddButton(HWND parent, const std::wstring& text, int x, int y) {
  auto control = std::make_unique<Button_CL>();
  const SIZE size = MeasureText(control->Font(), text);
  return AddControl(std::move(control), parent, WC_BUTTONW, text, kChildStyle | WS_TABSTOP | BS_PUSHBUTTON, x, y,
                    size.cx + kButtonPadding, size.cy + kButtonPadding);
}

int ControlFactory_CL::AddCheckBox(HWND parent, const std::wstring& text, int x, int y) {
  auto control = std::make_unique<CheckBox_CL>();
  const SIZE size = MeasureText(control->Font(), text);
  const int index = AddControl(std::move(control), parent, WC_BUTTONW, text,
                               kChildStyle | WS_TABSTOP | BS_AUTOCHECKBOX, x, y, size.cx + kCheckBoxPadding, size.cy);
  Get<CheckBox_CL>(index)->SetChecked(false);
  return index;
}

int ControlFactory_CL::AddComboBox(HWND parent, int widthInChars, int heightInLines, int x, int y) {
  auto control = std::make_unique<ComboBox_CL>();
  control->Create(parent, nextControlId_++, widthInChars, heightInLines, CBS_DROPDOWNLIST, x, y);
  controls_.push_back(std::move(control));
  return static_cast<int>(controls_.size()) - 1;
}

int ControlFactory_CL::AddGroupBox(HWND parent, const std::wstring& text, int width, int height, int y) {
  return AddControl(std::make_unique<GroupBox_CL>(), parent, WC_BUTTONW, text, kChildStyle | BS_GROUPBOX, 0, y,
                    width, height);
}

int ControlFactory_CL::AddTrackBar(HWND parent, int width, int height, int x, int y) {
  return AddControl(std::make_unique<TrackBar_CL>(), parent, TRACKBAR_CLASSW, L"",
                    kChildStyle | WS_TABSTOP | TBS_NOTICKS | TBS_ENABLESELRANGE, x, y, width, height);
}

int ControlFactory_CL::AddEditBox(HWND parent, const std::wstring& text, int widthInChars, int x, int y) {
  auto control = std::make_unique<EditBox_CL>();
  const SIZE w = MeasureText(control->Font(), L"W");
  return AddControl(std::move(control), parent, WC_EDITW, text, kChildStyle | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                    x, y, widthInChars * w.cx, w.cy + kButtonPadding);
}

int ControlFactory_CL::AddHotKeyField(HWND parent, int x, int y) {
  auto control = std::make_unique<HotKeyField_CL>();
  // The control spells the keys out as the keyboard names them.
  const SIZE size = MeasureText(control->Font(), kWidestHotKeyText);
  const int index = AddControl(std::move(control), parent, HOTKEY_CLASSW, L"", kChildStyle | WS_TABSTOP | WS_BORDER, x,
                               y, size.cx + kButtonPadding, size.cy + kButtonPadding);
  Get<HotKeyField_CL>(index)->ReportSilentClears();
  return index;
}

ControlBase_CL* ControlFactory_CL::At(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return controls_[static_cast<size_t>(index)].get();
}

void ControlFactory_CL::StackControls(const std::vector<int>& indexes, int startY) {
  std::vector<ControlBase_CL*> column;
  std::vector<layout::ColumnItem> items;
  for (int index : indexes) {
    ControlBase_CL* control = At(index);
    if (control == nullptr) continue;
    column.push_back(control);
    items.push_back(layout::ColumnItem{WindowSize(control->Window()).cy, IsColumnSpacer(*control)});
  }
  const std::vector<int> tops = layout::StackColumn(startY, items);
  for (size_t i = 0; i < column.size(); ++i) {
    column[i]->Move(layout::kColumnX, tops[i]);
    if (items[i].spacer) ShowWindow(column[i]->Window(), SW_HIDE);
  }
}

void ControlFactory_CL::PlaceButtonPair(HWND parent, int index) {
  ControlBase_CL* first = At(index);
  ControlBase_CL* second = At(index + 1);
  if (first == nullptr || second == nullptr) return;
  RECT client{};
  GetClientRect(parent, &client);
  const layout::ButtonPairPlace place =
      layout::PlaceButtonPair(client, WindowSize(first->Window()), WindowSize(second->Window()));
  second->Move(place.second.x, place.second.y);
  first->Move(place.first.x, place.first.y);
}
