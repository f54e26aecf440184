#include "view/power_events.h"

#include <cstring>

namespace power {

// GUID_MONITOR_POWER_ON and GUID_CONSOLE_DISPLAY_STATE.
const GUID kMonitorPowerSetting = {0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};
const GUID kDisplayPowerSetting = {0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};

bool IsResumeEvent(WPARAM event) { return event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND; }

bool IsDisplayOnSetting(const POWERBROADCAST_SETTING* setting) {
  if (setting == nullptr || setting->DataLength < sizeof(DWORD)) return false;
  if (!IsEqualGUID(setting->PowerSetting, kMonitorPowerSetting) &&
      !IsEqualGUID(setting->PowerSetting, kDisplayPowerSetting)) {
    return false;
  }
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof(state));
  return state != 0;
}

}  // namespace power
