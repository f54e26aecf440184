#pragma once
// The monitors as the system enumerates them. A monitor's position in the
// list is the display number that the settings and the context menu use.

#include <windows.h>

#include <string>
#include <vector>

struct MonitorRecord {
  HMONITOR monitor = nullptr;
  HDC dc = nullptr;  // null: enumerated without a device context
  MONITORINFOEXW info{};
  // The monitor device's interface name. On Windows it carries the
  // monitor's own hardware id, so it names the monitor wherever it stands in
  // the list; Wine numbers its monitors in the order of the X outputs.
  // Empty when the system gave none.
  std::wstring interfaceName;
};

class MultiScreen_CL {
 public:
  MultiScreen_CL();
  virtual ~MultiScreen_CL() = default;

  // Refills the list from the system; true when it differs from before in
  // any monitor's place, flags or name, or in their number or order.
  bool Enumerate();
  // One cheap look at the system's monitors, for a check twice a second:
  // true when their number, order or rectangles differ from the list's.
  // Names are not asked for: a change of them alone comes with the
  // system's display-change message.
  bool Changed() const;
  // Flags, monitor and work rectangles and interface name of each monitor,
  // four lines apiece.
  std::vector<std::wstring> DumpLines() const;
  // The same lines, one log line each.
  void DumpMonitors() const;
  // The first monitor whose work area holds the point (left and top edges
  // inside, right and bottom outside); -1 when none does.
  int MonitorIndexFromPoint(POINT point) const;

  int Count() const { return static_cast<int>(monitors.size()); }

  MonitorRecord primary;
  std::vector<MonitorRecord> monitors;
};

// A monitor record with the given rectangles and name, as the enumeration
// would fill it.
MonitorRecord MakeMonitorRecord(const RECT& monitorRect, const RECT& workRect, DWORD flags,
                                const std::wstring& interfaceName = std::wstring());
