#pragma once
// Reading and comparing where windows stand.

#include <windows.h>

#include "comlib/multi_screen.h"

namespace testing_support {

RECT WindowRect(HWND window);
POINT Centre(const RECT& rect);
// Each edge compared on its own, so that a failure names the edge.
void ExpectSameRect(const RECT& expected, const RECT& actual);

// A primary monitor of 1920 x 1080 with a taskbar at its bottom, and one of
// 1280 x 1024 to its right.
MultiScreen_CL TwoMonitors();

// True when `upper` lies above `lower` in the z-order.
bool IsAbove(HWND upper, HWND lower);

// A borderless, visible, topmost window that does not take the focus.
class TestWindow {
 public:
  TestWindow(int x, int y, int width, int height, DWORD extraExStyle = 0);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND get() const { return window_; }
  RECT Rect() const { return WindowRect(window_); }

 private:
  HWND window_;
};

}  // namespace testing_support
