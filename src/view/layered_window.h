#pragma once
// Both windows are layered: white is cut out, the rest is drawn at the
// given opacity.

#include <windows.h>

#include <algorithm>

#include "app_ids.h"

// An opacity outside 0 ... 255 (a hand-edited settings file) is held to that
// range rather than wrapped around.
inline void ApplyLayeredAlpha(HWND window, int alpha) {
  const BYTE opacity = static_cast<BYTE>(std::clamp(alpha, 0, 255));
  SetLayeredWindowAttributes(window, kTransparentKey, opacity, LWA_COLORKEY | LWA_ALPHA);
}

// Borderless and click-through: what the clock and the date windows are.
constexpr LONG_PTR kClickThroughExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT;
constexpr LONG_PTR kFrameStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
