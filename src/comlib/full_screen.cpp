#include "comlib/full_screen.h"

#include <dwmapi.h>

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
  DWORD cloaked = 0;
  // Systems without the window manager's answer (and Wine) cloak nothing.
  return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof(cloaked))) && cloaked != 0;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  if (!IsWindowVisible(window)) return TRUE;
  fullscreen::WindowFacts facts;
  facts.visible = true;
  GetWindowRect(window, &facts.rect);
  GetWindowThreadProcessId(window, &facts.processId);
  wchar_t className[kClassNameRoom] = {};
  GetClassNameW(window, className, kClassNameRoom);
  facts.className = className;
  facts.minimised = IsIconic(window) != FALSE;
  facts.cloaked = IsCloaked(window);
  reinterpret_cast<std::vector<fullscreen::WindowFacts>*>(list)->push_back(facts);
  return TRUE;
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

std::vector<WindowFacts> GatherVisibleTopLevelWindows() {
  std::vector<WindowFacts> windows;
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool IsFullScreenProgramOn(const RECT& monitor) {
  return IsCoveredByOtherProgram(monitor, GatherVisibleTopLevelWindows(), GetCurrentProcessId());
}

}  // namespace fullscreen
