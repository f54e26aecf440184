#pragma once
// Both windows are layered: white is cut out, the rest is drawn at the
// given opacity.

#include <windows.h>

#include "app_ids.h"

// The opacity is one that GetClockAlpha or GetDateAlpha gave, 0 ... 255.
inline void ApplyLayeredAlpha(HWND window, int opacity) {
  SetLayeredWindowAttributes(window, kTransparentKey, static_cast<BYTE>(opacity), LWA_COLORKEY | LWA_ALPHA);
}

// Borderless and click-through: what the clock and the date windows are.
constexpr LONG_PTR kClickThroughExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT;
constexpr LONG_PTR kFrameStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
