#include "view/scroll_page.h"

#include <commctrl.h>

#include <algorithm>

#include "comlib/control_layout.h"
#include "data/save_data.h"
#include "view/display.h"

namespace {

// The panel starts this tall and is cut to its content once built.
constexpr int kInitialPanelHeight = 2000;
// Below the last control of a panel.
constexpr int kPanelBottomMargin = 24;
// Labels stand at this x; their bars a little right of the list's indent.
constexpr int kBarIndent = 2;
constexpr int kBarBelowLabel = 20;
constexpr int kFrameBottomMargin = 8;
constexpr int kWheelLines = 3;
constexpr int kListLines = 8;
constexpr UINT_PTR kPanelSubclassId = 1;
// Wider than any value a bar shows.
constexpr int kWidestBarValue = -9999;

// The panel's controls notify the panel; the page is where they are handled,
// and where their background comes from, so that they match the panel's.
LRESULT CALLBACK ForwardToPage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(panel), message, wParam, lParam);
    case WM_NCDESTROY:
      RemoveWindowSubclass(panel, &ForwardToPage, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(panel, message, wParam, lParam);
}

}  // namespace

namespace scrolling {

int ScrollMax(int contentHeight, int pageHeight) {
  return contentHeight > pageHeight ? contentHeight - pageHeight : 0;
}

int ScrollBarTarget(int request, int position, int line, int pageHeight, int max, bool topAndBottom, int track,
                    bool trackKnown) {
  int target = position;
  switch (request) {
    case SB_LINEUP:
      target = position - line;
      break;
    case SB_LINEDOWN:
      target = position + line;
      break;
    case SB_PAGEUP:
      target = position - pageHeight;
      break;
    case SB_PAGEDOWN:
      target = position + pageHeight;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      if (trackKnown) target = track;
      break;
    case SB_TOP:
      if (topAndBottom) target = 0;
      break;
    case SB_BOTTOM:
      if (topAndBottom) target = max;
      break;
    default:
      break;
  }
  return settings::Clamp(target, 0, max);
}

int WheelTarget(int delta, int position, int line, int max) {
  const int step = kWheelLines * line;
  return settings::Clamp(delta > 0 ? position - step : position + step, 0, max);
}

}  // namespace scrolling

namespace dispsetting {

// Clamped first: a hand-edited alpha may be any int, and 255 minus the least
// of them overflows.
int TransparencyFromAlpha(int alpha) { return kOpaque - settings::OpacityFrom(alpha); }

int AlphaFromTransparency(int transparency) { return kOpaque - settings::Clamp(transparency, 0, kOpaque); }

int ListItemOrFirst(int value, int count) {
  return static_cast<unsigned>(value) < static_cast<unsigned>(count) ? value : 0;
}

std::wstring LabelWithValue(const wchar_t* text, int value) { return text + std::to_wstring(value) + L")"; }

std::wstring LabelPlaceholder(TextId label) { return LabelWithValue(UiText(label), kWidestBarValue); }

}  // namespace dispsetting

ScrollPage_CL::ScrollPage_CL(Settings_CL& settings, Display_CL& display, HWND clockWindow,
                             scrolling::ScrollRules rules)
    : settings_(settings), display_(display), clockWindow_(clockWindow), rules_(rules) {}

ScrollPage_CL::~ScrollPage_CL() = default;

INT_PTR ScrollPage_CL::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      BuildPage();
      ShowWindow(window, SW_SHOW);
      return 1;
    case WM_SIZE:
      UpdateScrollRange();
      return 0;
    case WM_COMMAND:
      if (OnControlCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) NotifyChanged();
      return 0;
    case WM_HSCROLL:
      if (OnBarMoved(reinterpret_cast<HWND>(lParam))) NotifyChanged();
      return 0;
    case WM_VSCROLL:
      if (panel_ != nullptr && contentHeight_ > 0) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        const bool trackKnown = GetScrollInfo(window_, SB_VERT, &info) != FALSE;
        ScrollTo(scrolling::ScrollBarTarget(LOWORD(wParam), position_, LineHeight(), PageHeight(),
                                            scrolling::ScrollMax(contentHeight_, PageHeight()),
                                            rules_.topAndBottom, info.nTrackPos, trackKnown));
      }
      return 0;
    case WM_MOUSEWHEEL:
      if (rules_.wheel && panel_ != nullptr && contentHeight_ > 0) {
        ScrollTo(scrolling::WheelTarget(GET_WHEEL_DELTA_WPARAM(wParam), position_, LineHeight(),
                                        scrolling::ScrollMax(contentHeight_, PageHeight())));
      }
      return 0;
    default:
      return SubClassDialogBase_CL::DialogProc(window, message, wParam, lParam);
  }
}

void ScrollPage_CL::BuildPage() {
  area_ = GetPageArea(window_);
  CreatePanel();
  BuildControls();
  ChangeWindowStyle(window_, GWL_STYLE, WS_VSCROLL, 0);
  SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  UpdateScrollRange();
}

void ScrollPage_CL::CreatePanel() {
  panel_ = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE, 0, 0, area_.width, kInitialPanelHeight,
                           window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (panel_ != nullptr) SetWindowSubclass(panel_, &ForwardToPage, kPanelSubclassId, 0);
}

CheckBox_CL* ScrollPage_CL::AddCheckBox(const std::wstring& text, int x, int y, bool checked) {
  auto* box = factory_.Get<CheckBox_CL>(factory_.AddCheckBox(ControlParent(), text, x, y));
  box->SetChecked(checked);
  return box;
}

StaticText_CL* ScrollPage_CL::AddLabel(const std::wstring& text, int x, int y) {
  return factory_.Get<StaticText_CL>(factory_.AddStaticText(ControlParent(), text, x, y));
}

ComboBox_CL* ScrollPage_CL::AddList(std::initializer_list<const wchar_t*> items, int widthInChars, int x, int y) {
  auto* list = factory_.Get<ComboBox_CL>(factory_.AddComboBox(ControlParent(), widthInChars, kListLines, x, y));
  for (const wchar_t* item : items) list->AddItem(item, 0);
  return list;
}

LabelledBar ScrollPage_CL::AddLabelledBar(TextId label, int labelY, int lowest, int highest, int position) {
  const int w = area_.charWidth;
  const int d = area_.charHeight;
  LabelledBar labelled;
  labelled.label = AddLabel(dispsetting::LabelPlaceholder(label), Px(dispsetting::kLabelX), labelY);
  labelled.bar = factory_.Get<TrackBar_CL>(
      factory_.AddTrackBar(ControlParent(), area_.width - 3 * w, d + Px(4), w + Px(kBarIndent), labelY + Px(kBarBelowLabel)));
  labelled.bar->Setup(lowest, highest, position);
  return labelled;
}

void ScrollPage_CL::FinishPanel(ControlBase_CL& firstBox, TextId frameTitle,
                                std::initializer_list<const ControlBase_CL*> framed, const ControlBase_CL& last) {
  const int d = area_.charHeight;
  firstBox.Move(Px(layout::kColumnX), d);
  auto* frame =
      factory_.Get<GroupBox_CL>(factory_.AddGroupBox(ControlParent(), UiText(frameTitle), area_.width, 4 * d, 0));
  for (const ControlBase_CL* control : framed) frame->Enclose(*control);
  frame->Resize(area_.width, frame->ExtentHeight() + Px(kFrameBottomMargin), TRUE);

  if (panel_ == nullptr) return;
  contentHeight_ = std::max(1, static_cast<int>(RectInParent(last.Window()).bottom) + Px(kPanelBottomMargin));
  SetWindowPos(panel_, nullptr, 0, 0, area_.width, contentHeight_, SWP_NOZORDER | SWP_NOMOVE);
}

bool ScrollPage_CL::OnBarMoved(HWND bar) {
  if (bar == nullptr) return false;
  if (transparency_.bar != nullptr && bar == transparency_.bar->Window()) {
    UpdateTransparency();
  } else if ((horizontal_.bar != nullptr && bar == horizontal_.bar->Window()) ||
             (vertical_.bar != nullptr && bar == vertical_.bar->Window())) {
    UpdateOffsets();
  } else {
    return false;
  }
  return true;
}

POINT ScrollPage_CL::ReadOffsets(TextId horizontalText, TextId verticalText) {
  const int x = horizontal_.bar->Position();
  const int y = vertical_.bar->Position();
  horizontal_.label->SetText(dispsetting::LabelWithValue(UiText(horizontalText), x));
  vertical_.label->SetText(dispsetting::LabelWithValue(UiText(verticalText), y));
  using dispsetting::kOffsetLimit;
  return POINT{settings::Clamp(x, -kOffsetLimit, kOffsetLimit), settings::Clamp(y, -kOffsetLimit, kOffsetLimit)};
}

int ScrollPage_CL::ReadAlpha(TextId labelText) {
  const int transparency = transparency_.bar->Position();
  transparency_.label->SetText(dispsetting::LabelWithValue(UiText(labelText), transparency));
  return dispsetting::AlphaFromTransparency(transparency);
}

bool ScrollPage_CL::IsListChoice(const ComboBox_CL* list, int code, HWND control) {
  return list != nullptr && control == list->Window() && code == CBN_SELENDOK;
}

int ScrollPage_CL::LineHeight() const { return rules_.line > 0 ? rules_.line : area_.charHeight; }

int ScrollPage_CL::PageHeight() const {
  RECT client{};
  GetClientRect(window_, &client);
  return client.bottom - client.top;
}

void ScrollPage_CL::UpdateScrollRange() {
  if (window_ == nullptr || panel_ == nullptr || contentHeight_ <= 0) return;
  const int pageHeight = PageHeight();
  const int max = scrolling::ScrollMax(contentHeight_, pageHeight);
  if (position_ > max) {
    position_ = max;
    SetWindowPos(panel_, nullptr, 0, -position_, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  }
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = contentHeight_;
  info.nPage = static_cast<UINT>(pageHeight);
  info.nPos = position_;
  SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void ScrollPage_CL::ScrollTo(int position) {
  if (position == position_) return;
  position_ = position;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  info.nPos = position_;
  SetScrollInfo(window_, SB_VERT, &info, TRUE);
  SetWindowPos(panel_, nullptr, 0, -position_, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}
