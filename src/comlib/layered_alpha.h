#pragma once
// Layered windows keyed on white: white is cut out, the rest is drawn at the
// given opacity.

#include <windows.h>

#include "app_ids.h"

// The opacity is one that GetClockAlpha or GetDateAlpha gave, 0 ... 255.
// Setting the attributes costs about half a paint under Wine, and paints come
// twice a second, so they are set only when they differ from the window's.
inline void ApplyLayeredAlpha(HWND window, int opacity) {
  const BYTE alpha = static_cast<BYTE>(opacity);
  constexpr DWORD kFlags = LWA_COLORKEY | LWA_ALPHA;
  COLORREF currentKey = 0;
  BYTE currentAlpha = 0;
  DWORD currentFlags = 0;
  if (GetLayeredWindowAttributes(window, &currentKey, &currentAlpha, &currentFlags) && currentKey == kTransparentKey &&
      currentAlpha == alpha && currentFlags == kFlags) {
    return;
  }
  SetLayeredWindowAttributes(window, kTransparentKey, alpha, kFlags);
}
