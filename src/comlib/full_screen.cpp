#include "comlib/full_screen.h"

#include <dwmapi.h>

#include "comlib/dll_function.h"

namespace {

constexpr int kClassNameRoom = 256;

// The desktop, the taskbars and the shell's full-monitor helper windows.
constexpr const wchar_t* kShellClasses[] = {
    L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"Windows.UI.Core.CoreWindow",
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool IsCloaked(HWND window) {
  // Bound when a window first covers a monitor, and kept.
  static const DllFunction_CL dwmapi(L"dwmapi.dll");
  static const auto getAttribute = dwmapi.GetFunctionAs<decltype(&DwmGetWindowAttribute)>("DwmGetWindowAttribute");
  DWORD cloaked = 0;
  // Systems without the window manager's answer (and Wine) cloak nothing.
  return getAttribute != nullptr && SUCCEEDED(getAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof(cloaked))) &&
         cloaked != 0;
}

fullscreen::WindowFacts FactsOf(HWND window) {
  fullscreen::WindowFacts facts;
  facts.visible = IsWindowVisible(window) != FALSE;
  GetWindowRect(window, &facts.rect);
  GetWindowThreadProcessId(window, &facts.processId);
  wchar_t className[kClassNameRoom] = {};
  GetClassNameW(window, className, kClassNameRoom);
  facts.className = className;
  facts.minimised = IsIconic(window) != FALSE;
  facts.cloaked = IsCloaked(window);
  return facts;
}

}  // namespace

namespace fullscreen {

bool IsShellClass(const std::wstring& className) {
  for (const wchar_t* shell : kShellClasses) {
    if (className == shell) return true;
  }
  return false;
}

bool IsCoveredByOtherProgram(const RECT& monitor, const std::vector<WindowFacts>& windows, DWORD ownProcess) {
  for (const WindowFacts& window : windows) {
    if (!window.visible || window.minimised || window.cloaked) continue;
    if (window.processId == ownProcess || IsShellClass(window.className)) continue;
    if (SameRect(window.rect, monitor)) return true;
  }
  return false;
}

bool IsFullScreenProgramOn(const RECT& monitor) {
  // A window that covers the monitor covers its centre, and is the window
  // found there: the clock and the date let points through. Asking for
  // that one window, rather than for every window on the desktop, keeps a
  // check twice a second cheap.
  const POINT centre{monitor.left + (monitor.right - monitor.left) / 2, monitor.top + (monitor.bottom - monitor.top) / 2};
  HWND found = WindowFromPoint(centre);
  HWND topLevel = found != nullptr ? GetAncestor(found, GA_ROOT) : nullptr;
  // Where no window is, the desktop window itself answers: it is as large
  // as a single monitor and hides nothing.
  if (topLevel == nullptr || topLevel == GetDesktopWindow()) return false;
  RECT rect{};
  // Most of the time it is a window of some other size: one question, done.
  if (!GetWindowRect(topLevel, &rect) || !SameRect(rect, monitor)) return false;
  return IsCoveredByOtherProgram(monitor, {FactsOf(topLevel)}, GetCurrentProcessId());
}

}  // namespace fullscreen
