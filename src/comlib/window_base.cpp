#include "comlib/window_base.h"

#include "comlib/unique_handle.h"

SIZE MeasureLayoutUnit() {
  comlib::WindowDC screen(nullptr);
  RECT rect{0, 0, 0, 0};
  if (screen) DrawTextW(screen.get(), L"\xFF37", 1, &rect, DT_CALCRECT);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

namespace {

bool RegisterClassOnce(const std::wstring& className, UINT style, WNDPROC procedure, HICON icon, HBRUSH background) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, className.c_str(), &existing)) return true;

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className.c_str();
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

void ChangeWindowStyle(HWND window, int index, LONG_PTR add, LONG_PTR remove) {
  const LONG_PTR style = GetWindowLongPtrW(window, index);
  SetWindowLongPtrW(window, index, (style | add) & ~remove);
}

ControlBase_CL::ControlBase_CL(ControlType type, int controlId)
    : type_(type), controlId_(controlId), font_(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {}

// The font is the stock GUI font, which nobody deletes.
ControlBase_CL::~ControlBase_CL() = default;

LRESULT ControlBase_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return handler_ ? handler_(window, message, wParam, lParam) : 0;
}

void ControlBase_CL::Resize(int width, int height, BOOL repaint) {
  RECT rect{};
  GetWindowRect(window_, &rect);
  POINT topLeft{rect.left, rect.top};
  ScreenToClient(GetParent(window_), &topLeft);
  MoveWindow(window_, topLeft.x, topLeft.y, width, height, repaint);
}

void ControlBase_CL::Move(int x, int y) {
  RECT rect{};
  GetWindowRect(window_, &rect);
  MoveWindow(window_, x, y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void ControlBase_CL::SetText(const std::wstring& text) { SetWindowTextW(window_, text.c_str()); }

ClientArea ControlBase_CL::GetClientArea() const {
  ClientArea area;
  RECT rect{};
  GetClientRect(window_, &rect);
  area.left = rect.left;
  area.top = rect.top;
  area.right = rect.right;
  area.bottom = rect.bottom;
  area.width = rect.right - rect.left;
  area.height = rect.bottom - rect.top;
  const SIZE unit = MeasureLayoutUnit();
  area.charWidth = unit.cx;
  area.charHeight = unit.cy;
  return area;
}

MainWindowBase_CL::MainWindowBase_CL() : ControlBase_CL(kControlMainWindow) {}

MainWindowBase_CL::~MainWindowBase_CL() {
  // A window that outlives its object (its owner goes now, and takes it
  // along) must not reach the object any more.
  if (window_ != nullptr && IsWindow(window_) &&
      GetWindowLongPtrW(window_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  }
}

HWND MainWindowBase_CL::Create() {
  if (!RegisterClassOnce(className_, classStyle_, &StaticWindowProc, icon_, background_)) return nullptr;
  HWND owner = hideFromTaskbar_ ? CreateHiddenOwner() : parent_;
  window_ = CreateWindowExW(0, className_.c_str(), windowName_.c_str(), style_, CW_USEDEFAULT, CW_USEDEFAULT,
                            width_, height_, owner, menu_, GetModuleHandleW(nullptr), this);
  return window_;
}

HWND MainWindowBase_CL::CreateHiddenOwner() {
  const std::wstring ownerClass = className_ + kHiddenOwnerSuffix;
  const std::wstring ownerName = windowName_ + kHiddenOwnerSuffix;
  if (!RegisterClassOnce(ownerClass, kDefaultClassStyle, &DefWindowProcW, icon_, background_)) return nullptr;
  // Never shown; destroyed with this object.
  hiddenOwner_.reset(CreateWindowExW(0, ownerClass.c_str(), ownerName.c_str(), style_ & ~WS_VISIBLE, CW_USEDEFAULT,
                                     CW_USEDEFAULT, width_, height_, nullptr, nullptr, GetModuleHandleW(nullptr),
                                     nullptr));
  return hiddenOwner_.get();
}

LRESULT CALLBACK MainWindowBase_CL::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindowBase_CL*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    if (message != WM_CREATE) return DefWindowProcW(window, message, wParam, lParam);
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<MainWindowBase_CL*>(create->lpCreateParams);
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  return self->WindowProc(window, message, wParam, lParam);
}

LRESULT MainWindowBase_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
      break;
    case WM_DESTROY:
      OnDestroy();
      PostQuitMessage(0);
      break;
    case WM_SIZE:
      OnSize();
      break;
    case WM_PAINT:
      OnPaint();
      break;
    case WM_CLOSE:
      if (OnClose() == 0) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
