#include "view/date_dialog.h"

#include "app_ids.h"
#include "data/placement.h"
#include "data/save_data.h"
#include "product.h"
#include "resource_ids.h"
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

bool DateDialog_CL::IsShowing() const { return !ClockData().hidden && DateData().show_date; }

LRESULT DateDialog_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreateDate();
    case WM_ERASEBKGND:
      return 1;
    case WM_DESTROY:
      KillTimer(window, kDateTimerId);
      ForgetLayeredAlpha(window);
      break;
    case WM_SIZE:
      // The base resizes the back buffer through OnSize.
      if (IsShowing()) ApplyLayeredAlpha(window, DateData().GetDateAlpha(window));
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
    case WM_CLOSE:
      if (wParam != kCloseForRealCode) return OnCloseRequest();
      break;
    default:
      break;
  }
  return MainWindowBase_CL::WindowProc(window, message, wParam, lParam);
}

LRESULT DateDialog_CL::OnCreateDate() {
  AppSaveData_CL& clock = ClockData();
  DateSaveData_CL& date = DateData();
  ChangeWindowStyle(window_, GWL_EXSTYLE, kClickThroughExStyle, 0);
  date.clock_hwnd = clock.hwnd ? clock.hwnd : FindWindowW(nullptr, product::kWindowTitle);
  date.hwnd = window_;
  date.LoadDateDisp();
  date.SetDateFontEmHeight(date.font_em_height);
  PlaceDateWindow();
  SyncVisibility();
  ChangeWindowStyle(window_, GWL_STYLE, 0, kFrameStyle);
  SetWindowTextW(window_, product::kWindowTitle);
  ApplyLayeredAlpha(window_, date.GetDateAlpha(window_));

  RECT client{};
  GetClientRect(window_, &client);
  backBuffer_.Resize(client.right > 0 ? client.right : kInitialWidth,
                     client.bottom > 0 ? client.bottom : kInitialHeight);

  if (startupFlag_ && date.disp_startup_hidden) clock.hidden = 1;
  SyncVisibility();

  SYSTEMTIME today{};
  GetLocalTime(&today);
  lastYear_ = today.wYear;
  lastMonth_ = today.wMonth;
  lastDay_ = today.wDay;
  date.ApplyDateTimers();
  if (IsShowing()) {
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
  }
  created_ = true;
  return 1;
}

LRESULT DateDialog_CL::OnCloseRequest() {
  // Only the close code ends the window. Any other close (from the system
  // or another program) is a wish to hide: the clock hides the program.
  if (HWND clock = DateData().clock_hwnd) SendMessageW(clock, WM_CLOSE, 0, 0);
  return 0;
}

void DateDialog_CL::OnTimer(WPARAM timerId) {
  if (!IsShowing()) return;
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
    PlaceDateWindow();
  }
  if (DateData().faint_on_hover) ApplyLayeredAlpha(window_, DateData().GetDateAlpha(window_));
}

void DateDialog_CL::OnSize() {
  if (!created_ || !IsShowing()) return;
  RECT client{};
  GetClientRect(window_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  backBuffer_.Resize(client.right, client.bottom);
}

void DateDialog_CL::OnDestroy() { DateData().date_font.reset(); }
