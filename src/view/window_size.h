#pragma once
// The clock and the date take the size their text needs. The system would
// cut a window at about the screen's size, which would push a large text's
// window off its place: the placement centres and aligns on the size it asks for.

#include <windows.h>

namespace view {

// The largest window side the windowing system can show.
constexpr LONG kLargestWindowSide = 32767;

// Answers WM_GETMINMAXINFO so that any size up to the largest side is kept.
inline void AllowLargeWindows(LPARAM minMaxInfo) {
  auto* limits = reinterpret_cast<MINMAXINFO*>(minMaxInfo);
  limits->ptMaxTrackSize = POINT{kLargestWindowSide, kLargestWindowSide};
  limits->ptMaxSize = POINT{kLargestWindowSide, kLargestWindowSide};
}

}  // namespace view
