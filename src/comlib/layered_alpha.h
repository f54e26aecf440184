#pragma once
// Layered windows keyed on white: white is cut out, the rest is drawn at the
// given opacity.

#include <windows.h>

#include "app_ids.h"

// The opacity is one that GetClockAlpha or GetDateAlpha gave, 0 ... 255.
// Setting the attributes costs about half a paint under Wine, and even
// asking for them is a round trip to its server; paints come twice a
// second. So the opacity each window was given is remembered here, and set
// only when it changes: every opacity of these windows is set through here.
void ApplyLayeredAlpha(HWND window, int opacity);
// A window that is going away: its handle may come back for another window.
void ForgetLayeredAlpha(HWND window);
