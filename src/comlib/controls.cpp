#include "comlib/controls.h"

#include <commctrl.h>

#include "comlib/control_layout.h"
#include "comlib/unique_handle.h"

namespace {

// Room wide enough for any one-line control text.
constexpr LONG kMeasureLimit = 0x8000;
constexpr UINT_PTR kHotKeySubclassId = 1;

// A key other than a modifier that takes the field from keys to none: the
// control says nothing of it. Modifiers empty the field too, and say so.
LRESULT CALLBACK ReportSilentClear(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(field, &ReportSilentClear, id);
  const bool keyDown = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  const bool modifier = wParam == VK_SHIFT || wParam == VK_CONTROL || wParam == VK_MENU;
  const bool heldKeys = keyDown && !modifier && SendMessageW(field, HKM_GETHOTKEY, 0, 0) != 0;
  const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
  if (heldKeys && SendMessageW(field, HKM_GETHOTKEY, 0, 0) == 0) {
    SendMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), EN_CHANGE),
                 reinterpret_cast<LPARAM>(field));
  }
  return result;
}

}  // namespace

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE WindowSize(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

SIZE MeasureText(HFONT font, const std::wstring& text) {
  comlib::WindowDC screen(nullptr);
  RECT rect{0, 0, kMeasureLimit, kMeasureLimit};
  if (screen) {
    comlib::SelectionScope selection(screen.get(), font);
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool CheckBox_CL::IsChecked() const { return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox_CL::SetChecked(bool checked) {
  SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TrackBar_CL::Setup(int lowest, int highest, int position) {
  SendMessageW(window_, TBM_SETRANGEMIN, FALSE, lowest);
  SendMessageW(window_, TBM_SETRANGEMAX, TRUE, highest);
  SendMessageW(window_, TBM_SETPAGESIZE, 0, 1);
  // A bar places its thumb anew only when its position changes: the
  // position it was made with (0) would keep the thumb where it stood for
  // the range it was made with.
  SendMessageW(window_, TBM_SETPOS, FALSE, position == lowest ? highest : lowest);
  SendMessageW(window_, TBM_SETPOS, TRUE, position);
}

int TrackBar_CL::Position() const { return static_cast<int>(SendMessageW(window_, TBM_GETPOS, 0, 0)); }

void GroupBox_CL::Enclose(const ControlBase_CL& control) {
  if (window_ == nullptr || control.Window() == nullptr) return;
  const SIZE extent =
      layout::GrowExtent(RectInParent(window_), SIZE{extentWidth_, extentHeight_}, RectInParent(control.Window()));
  extentWidth_ = extent.cx;
  extentHeight_ = extent.cy;
}

HWND ComboBox_CL::Create(HWND parent, int controlId, int widthInChars, int heightInLines, DWORD style, int x,
                         int y) {
  controlId_ = controlId;
  const SIZE w = MeasureText(font_, L"W");
  const SIZE m = MeasureText(font_, L"M");
  const DWORD fullStyle = (style != 0 ? style : kDefaultStyle) | kBaseStyle;
  window_ = CreateWindowExW(0, WC_COMBOBOXEXW, L"", fullStyle, x, y, widthInChars * w.cx, heightInLines * m.cy,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                            GetModuleHandleW(nullptr), this);
  if (window_ != nullptr) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  return window_;
}

void ComboBox_CL::AddItem(const std::wstring& text, int imageIndex) {
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
  item.iItem = Count();
  item.pszText = const_cast<wchar_t*>(text.c_str());
  item.iImage = imageIndex;
  item.iSelectedImage = imageIndex;
  item.iIndent = 0;
  SendMessageW(window_, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  WidenFor(text);
}

void ComboBox_CL::WidenFor(const std::wstring& text) {
  // The text, the drop-down arrow, and an "M" of room split on both sides.
  const int needed = MeasureText(font_, text).cx + GetSystemMetrics(SM_CXVSCROLL) + MeasureText(font_, L"M").cx;
  const SIZE size = WindowSize(window_);
  if (size.cx >= needed) return;
  SetWindowPos(window_, nullptr, 0, 0, needed, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int ComboBox_CL::Selection() const { return static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0)); }

void ComboBox_CL::Select(int index) { SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int ComboBox_CL::Count() const { return static_cast<int>(SendMessageW(window_, CB_GETCOUNT, 0, 0)); }

void ComboBox_CL::FitWithin(int width) {
  const SIZE size = WindowSize(window_);
  if (size.cx <= width) return;
  SendMessageW(window_, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(size.cx), 0);
  SetWindowPos(window_, nullptr, 0, 0, width, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring EditBox_CL::Text() const {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window_, &text[0], static_cast<int>(text.size()))));
  return text;
}

void EditBox_CL::LimitText(size_t characters) { SendMessageW(window_, EM_LIMITTEXT, characters, 0); }

void EditBox_CL::SetCueText(const std::wstring& text) {
  SendMessageW(window_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

hotkey::KeyCombination HotKeyField_CL::Keys() const {
  return hotkey::FromHotKeyControl(static_cast<WORD>(SendMessageW(window_, HKM_GETHOTKEY, 0, 0)));
}

void HotKeyField_CL::SetKeys(const hotkey::KeyCombination& keys) {
  SendMessageW(window_, HKM_SETHOTKEY, hotkey::ToHotKeyControl(keys), 0);
}

void HotKeyField_CL::ReportSilentClears() {
  if (window_ != nullptr) SetWindowSubclass(window_, &ReportSilentClear, kHotKeySubclassId, 0);
}
