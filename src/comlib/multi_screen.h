#pragma once
// The monitors as the system enumerates them. A monitor's position in the
// list is the display number that the settings and the context menu use.

#include <windows.h>

#include <ostream>
#include <vector>

struct MonitorRecord {
  HMONITOR monitor = nullptr;
  HDC dc = nullptr;  // null: enumerated without a device context
  MONITORINFOEXW info{};
};

class MultiScreen_CL {
 public:
  MultiScreen_CL();
  virtual ~MultiScreen_CL() = default;

  // Refills the list from the system.
  void Enumerate();
  // Flags, monitor and work rectangles of each monitor, three lines apiece.
  void DumpMonitors(std::wostream& out) const;
  // The same lines, one log line each.
  void DumpMonitors() const;
  // The first monitor whose work area holds the point (left and top edges
  // inside, right and bottom outside); -1 when none does.
  int MonitorIndexFromPoint(POINT point) const;

  int Count() const { return static_cast<int>(monitors.size()); }

  MonitorRecord primary;
  std::vector<MonitorRecord> monitors;
};

// A monitor record with the given rectangles, as the enumeration would fill it.
MonitorRecord MakeMonitorRecord(const RECT& monitorRect, const RECT& workRect, DWORD flags);
