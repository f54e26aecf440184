#include "view/date_dialog.h"

#include "app_ids.h"
#include "data/save_data.h"
#include "product.h"
#include "resource_ids.h"
#include "view/display.h"
#include "view/layered_window.h"
#include "view/renderer.h"
#include "view/window_size.h"

namespace {
constexpr wchar_t kDateClassName[] = L"HoravelDateClass";
}  // namespace

DateDialog_CL::DateDialog_CL(bool startupFlag) : startupFlag_(startupFlag), backBuffer_(PixelFormat32bppRGB) {
  SetClassName(kDateClassName);
  SetWindowName(product::kWindowTitle);
  style_ = kDefaultStyle & ~(WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  width_ = kInitialWidth;
  height_ = kInitialHeight;
  hideFromTaskbar_ = true;
  SetIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HORAVEL)));
}

DateDialog_CL::~DateDialog_CL() { backBuffer_.Release(); }

LRESULT DateDialog_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreateDate();
    case WM_ERASEBKGND:
      return 1;
    case WM_DESTROY:
      KillTimer(window, kDateTimerId);
      display::ForgetWindow(window);
      break;
    case WM_PAINT:
      render::PaintDate(window, backBuffer_);
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      break;
    case WM_GETMINMAXINFO:
      view::AllowLargeWindows(lParam);
      return 0;
    case WM_DPICHANGED:
      display::Apply(display::kDatePlace);
      return 0;
    case WM_TIMECHANGE:
      // The clock was set: the day may have changed with it.
      if (display::DateShown()) CheckDate();
      break;
    case WM_CLOSE:
      if (wParam != kCloseForRealCode) return OnCloseRequest();
      break;
    default:
      break;
  }
  return MainWindowBase_CL::WindowProc(window, message, wParam, lParam);
}

LRESULT DateDialog_CL::OnCreateDate() {
  DisplayState& display = Display();
  ChangeWindowStyle(window_, GWL_EXSTYLE, kClickThroughExStyle, 0);
  display.date.handle = window_;
  DateData().LoadDateDisp();
  if (startupFlag_ && DateData().disp_startup_hidden) display.hidden = true;
  ChangeWindowStyle(window_, GWL_STYLE, 0, kFrameStyle);
  SetWindowTextW(window_, product::kWindowTitle);
  RECT client{};
  GetClientRect(window_, &client);
  backBuffer_.Resize(client.right > 0 ? client.right : kInitialWidth,
                     client.bottom > 0 ? client.bottom : kInitialHeight);

  SYSTEMTIME today{};
  GetLocalTime(&today);
  lastYear_ = today.wYear;
  lastMonth_ = today.wMonth;
  lastDay_ = today.wDay;
  created_ = true;
  // Both windows show now, as the settings say: the clock's creation left
  // it hidden until hide_clock was known.
  display::Apply(display::kEverything);
  return 1;
}

LRESULT DateDialog_CL::OnCloseRequest() {
  // Only the close code ends the window. Any other close (from the system
  // or another program) is a wish to hide: the clock hides the program.
  if (HWND clock = Display().clock.handle) SendMessageW(clock, WM_CLOSE, 0, 0);
  return 0;
}

void DateDialog_CL::OnTimer(WPARAM timerId) {
  if (!display::DateShown()) return;
  if (timerId == kDateTimerId) {
    CheckDate();
    InvalidateRect(window_, nullptr, FALSE);
  } else if (timerId == kDateFadeTimerId) {
    CheckDate();
  }
}

void DateDialog_CL::CheckDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  if (now.wYear != lastYear_ || now.wMonth != lastMonth_ || now.wDay != lastDay_) {
    lastYear_ = now.wYear;
    lastMonth_ = now.wMonth;
    lastDay_ = now.wDay;
    // The new text may be wider or narrower; placing also repaints.
    display::Apply(display::kDatePlace);
  }
  if (DateData().faint_on_hover) display::ApplyDateOpacity();
}

void DateDialog_CL::OnSize() {
  if (!created_ || !display::DateShown()) return;
  RECT client{};
  GetClientRect(window_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  backBuffer_.Resize(client.right, client.bottom);
}
