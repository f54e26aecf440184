#pragma once
// Puts the program's display state back as a test found it, so that the
// windows one test pointed it at do not reach the next.

#include <vector>

#include "view/display.h"

namespace view_testing {

class DisplayGuard {
 public:
  DisplayGuard() : kept_(Copy(Display())) {}
  ~DisplayGuard() { Restore(kept_, Display()); }
  DisplayGuard(const DisplayGuard&) = delete;
  DisplayGuard& operator=(const DisplayGuard&) = delete;

 private:
  struct Kept {
    HWND clock;
    HWND date;
    bool hidden;
    bool makingWay;
    RECT monitorArea;
    std::vector<MonitorRecord> monitors;
    MonitorRecord primary;
  };
  static Kept Copy(const DisplayState& state) {
    return Kept{state.clock.handle, state.date.handle, state.hidden, state.makingWay,
                state.monitorArea, state.screens.monitors, state.screens.primary};
  }
  static void Restore(const Kept& kept, DisplayState& state) {
    state.clock = ShownWindow{};
    state.clock.handle = kept.clock;
    state.date = ShownWindow{};
    state.date.handle = kept.date;
    state.hidden = kept.hidden;
    state.makingWay = kept.makingWay;
    state.monitorArea = kept.monitorArea;
    state.screens.monitors = kept.monitors;
    state.screens.primary = kept.primary;
  }

  Kept kept_;
};

}  // namespace view_testing
