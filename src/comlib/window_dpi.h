#pragma once
// The DPI that a window's sizes must follow: its monitor's under per-monitor
// awareness, the system's otherwise. Sizes in the code are given for 96 DPI
// and scaled with it.

#include <windows.h>

namespace dpi {

constexpr int kBaseDpi = 96;

// A length given for 96 DPI at the given DPI.
inline int Scale(int size96, int dotsPerInch) { return MulDiv(size96, dotsPerInch, kBaseDpi); }

// The DPI of the monitor the window stands on (GetDpiForWindow where the
// system has it), else the screen's logical DPI; the screen's for no window.
int ForWindow(HWND window);

// The DPI of a monitor, or 0 when the system cannot say.
int ForMonitor(HMONITOR monitor);

}  // namespace dpi
