#pragma once
// Which power broadcasts mean "the display may have changed": resume from
// sleep, and the monitor or console display coming back on (or dimmed).

#include <windows.h>

namespace power {

// Registered as "MONITOR" and "DISPLAY".
extern const GUID kMonitorPowerSetting;
extern const GUID kDisplayPowerSetting;

bool IsResumeEvent(WPARAM event);
// A power setting change for one of the two settings whose value is not 0 (off).
bool IsDisplayOnSetting(const POWERBROADCAST_SETTING* setting);

}  // namespace power
