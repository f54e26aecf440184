#pragma once
// Layered windows keyed on white: white is cut out, the rest is drawn at the
// given opacity.

#include <windows.h>

#include "app_ids.h"

// The opacity is one that GetClockAlpha or GetDateAlpha gave, 0 ... 255.
inline void ApplyLayeredAlpha(HWND window, int opacity) {
  SetLayeredWindowAttributes(window, kTransparentKey, static_cast<BYTE>(opacity), LWA_COLORKEY | LWA_ALPHA);
}
