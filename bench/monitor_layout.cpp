// Lays the monitors of the Xvnc display out as the arguments say and waits
// until Wine reports them: scripts/bench measures the clock on monitors
// side by side, which Xvfb cannot show (it puts every screen at the origin).
//
//   monitor_layout.exe left,top,right,bottom [left,top,right,bottom ...]
//
// The display's VNC port comes from HORAVEL_VNC_PORT.

#include <windows.h>

#include <cstdio>
#include <vector>

#include "support/screen_layout.h"

namespace {
constexpr DWORD kMonitorsTimeoutMs = 10000;
constexpr int kRectNumbers = 4;
}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<RECT> monitors;
  for (int argument = 1; argument < argc; ++argument) {
    RECT rect{};
    if (swscanf_s(argv[argument], L"%ld,%ld,%ld,%ld", &rect.left, &rect.top, &rect.right, &rect.bottom) !=
        kRectNumbers) {
      std::fwprintf(stderr, L"not a rectangle: %ls\n", argv[argument]);
      return 2;
    }
    monitors.push_back(rect);
  }
  testing_support::ScreenLayout layout;
  if (testing_support::ScreenLayout::Port() == 0 || !layout.Set(monitors)) {
    std::fprintf(stderr, "the layout was not taken: %s\n", layout.Error().c_str());
    return 1;
  }
  if (!testing_support::WaitForMonitors(monitors, kMonitorsTimeoutMs)) {
    std::fprintf(stderr, "Wine did not report the layout; it reports:");
    for (const RECT& rect : testing_support::MonitorRects()) {
      std::fprintf(stderr, " %ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
    }
    std::fprintf(stderr, "\n");
    return 1;
  }
  return 0;
}
