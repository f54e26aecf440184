#pragma once
// Both windows are layered, borderless and click-through; white is cut out.

#include <windows.h>

#include "comlib/layered_alpha.h"

// Borderless and click-through: what the clock and the date windows are.
constexpr LONG_PTR kClickThroughExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT;
constexpr LONG_PTR kFrameStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
