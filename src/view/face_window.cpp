#include "view/face_window.h"

#include "app_ids.h"
#include "product.h"
#include "resource_ids.h"
#include "view/layered_window.h"
#include "view/window_size.h"

namespace {

constexpr wchar_t kDateClassName[] = L"HoravelDateClass";
constexpr wchar_t kZoneClassName[] = L"HoravelZoneClass";

// Moved to a monitor of another scaling, a face is laid out afresh at its
// scale, where the placement puts it.
unsigned PlaceChangeOf(Face face) {
  switch (face) {
    case Face::kClock:
      return display::kClockPlace;
    case Face::kDate:
      return display::kDatePlace;
    case Face::kZones:
      return display::kZonesPlace;
  }
  return 0;
}

}  // namespace

FaceWindow_CL::FaceWindow_CL(Display_CL& display, Face face, const wchar_t* className, SIZE initialSize,
                             size_t group)
    : display_(display), face_(face), group_(group), backBuffer_(PixelFormat32bppRGB) {
  SetClassName(className);
  SetWindowName(product::kWindowTitle);
  style_ = kDefaultStyle & ~(WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  // Drawn to twice a second: a device context of its own is not set up
  // afresh for each picture.
  classStyle_ |= CS_OWNDC;
  width_ = initialSize.cx;
  height_ = initialSize.cy;
  hideFromTaskbar_ = true;
  SetIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_HORAVEL)));
}

FaceWindow_CL::~FaceWindow_CL() { backBuffer_.Release(); }

LRESULT FaceWindow_CL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreateFace();
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      display_.Paint(face_, window, backBuffer_, group_);
      return 0;
    case WM_GETMINMAXINFO:
      view::AllowLargeWindows(lParam);
      return 0;
    case WM_DPICHANGED:
      display_.Apply(PlaceChangeOf(face_));
      return 0;
    case WM_DESTROY:
      // Only the first group's windows end the program's loop.
      if (group_ != 0) {
        OnDestroy();
        return 0;
      }
      break;
    case WM_CLOSE:
      // Only the close code ends a face's window. Any other close (from the
      // system or another program) is a wish to hide the program.
      if (wParam != kCloseForRealCode) {
        display_.SetHidden(true);
        return 0;
      }
      break;
    default:
      break;
  }
  return MainWindowBase_CL::WindowProc(window, message, wParam, lParam);
}

LRESULT FaceWindow_CL::OnCreateFace() {
  ChangeWindowStyle(window_, GWL_EXSTYLE, kClickThroughExStyle, 0);
  ChangeWindowStyle(window_, GWL_STYLE, 0, kFrameStyle);
  display_.Attach(face_, window_, &backBuffer_, group_);
  OnFaceCreated();
  created_ = true;
  return 1;
}

void FaceWindow_CL::OnDestroy() {
  display_.Detach(window_);
  backBuffer_.Release();
}

DateDialog_CL::DateDialog_CL(Display_CL& display)
    : FaceWindow_CL(display, Face::kDate, kDateClassName, kDateInitialSize) {}

ZoneDialog_CL::ZoneDialog_CL(Display_CL& display)
    : FaceWindow_CL(display, Face::kZones, kZoneClassName, kZonesInitialSize) {}
