#include "support/window_checks.h"

#include <gtest/gtest.h>

namespace testing_support {

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

void ExpectSameRect(const RECT& expected, const RECT& actual) {
  EXPECT_EQ(expected.left, actual.left);
  EXPECT_EQ(expected.top, actual.top);
  EXPECT_EQ(expected.right, actual.right);
  EXPECT_EQ(expected.bottom, actual.bottom);
}

MultiScreen_CL TwoMonitors() {
  MultiScreen_CL screens;
  screens.monitors.push_back(
      MakeMonitorRecord(RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}, MONITORINFOF_PRIMARY));
  screens.monitors.push_back(MakeMonitorRecord(RECT{1920, 0, 3200, 1024}, RECT{1920, 0, 3200, 984}, 0));
  screens.primary = screens.monitors[0];
  return screens;
}

bool IsAbove(HWND upper, HWND lower) {
  for (HWND next = GetWindow(upper, GW_HWNDNEXT); next != nullptr; next = GetWindow(next, GW_HWNDNEXT)) {
    if (next == lower) return true;
  }
  return false;
}

TestWindow::TestWindow(int x, int y, int width, int height, DWORD extraExStyle)
    : window_(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | extraExStyle, L"STATIC",
                              L"placement test", WS_POPUP, x, y, width, height, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {
  // Shown without activation: Wine waits for a window manager when an
  // activated window goes away.
  if (window_) ShowWindow(window_, SW_SHOWNOACTIVATE);
}

TestWindow::~TestWindow() {
  if (window_) DestroyWindow(window_);
}

}  // namespace testing_support
