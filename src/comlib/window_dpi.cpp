#include "comlib/window_dpi.h"

#include "comlib/dll_function.h"
#include "comlib/unique_handle.h"

namespace {

// Late bound: Windows 10 1607 and 8.1 bring these, older systems do not.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

int ScreenDpi() {
  comlib::WindowDC screen(nullptr);
  if (!screen) return dpi::kBaseDpi;
  const int value = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return value > 0 ? value : dpi::kBaseDpi;
}

}  // namespace

namespace dpi {

int ForMonitor(HMONITOR monitor) {
  if (monitor == nullptr) return 0;
  const DllFunction_CL shcore(L"SHCore.dll");
  auto getDpiForMonitor = shcore.GetFunctionAs<GetDpiForMonitorFn>("GetDpiForMonitor");
  UINT x = 0;
  UINT y = 0;
  if (getDpiForMonitor == nullptr || FAILED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) || y == 0) return 0;
  return static_cast<int>(y);
}

int ForWindow(HWND window) {
  if (window == nullptr) return ScreenDpi();
  const DllFunction_CL user32(L"user32.dll");
  auto getDpiForWindow = user32.GetFunctionAs<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) {
    const UINT value = getDpiForWindow(window);
    if (value != 0) return static_cast<int>(value);
  }
  const int monitorDpi = ForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
  return monitorDpi > 0 ? monitorDpi : ScreenDpi();
}

}  // namespace dpi
