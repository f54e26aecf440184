#pragma once
// Whether another program is showing full screen on a monitor (a film, a
// game, a slide show), so that the clock can make way for it.

#include <windows.h>

#include <string>
#include <vector>

namespace fullscreen {

// What the test needs to know of one top-level window.
struct WindowFacts {
  RECT rect{};
  DWORD processId = 0;
  std::wstring className;
  bool visible = false;
  bool minimised = false;
  // Hidden by the desktop window manager although it counts as visible
  // (suspended store apps, windows on other virtual desktops).
  bool cloaked = false;
};

// True when one of the windows belongs to another process than ownProcess,
// is visible, not minimised or cloaked, is not part of the desktop or the
// taskbar, and its rectangle is exactly the monitor's.
bool IsCoveredByOtherProgram(const RECT& monitor, const std::vector<WindowFacts>& windows, DWORD ownProcess);

// The desktop and the shell's own windows, which are as large as a monitor
// without hiding anything.
bool IsShellClass(const std::wstring& className);

// The same test against the window on the screen now at the monitor's
// centre: a window hidden there under another one does not count.
bool IsFullScreenProgramOn(const RECT& monitor);

}  // namespace fullscreen
