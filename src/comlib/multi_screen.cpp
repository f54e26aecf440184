#include "comlib/multi_screen.h"

#include <iostream>

MultiScreen_CL::MultiScreen_CL() {}
void MultiScreen_CL::Enumerate() {}
void MultiScreen_CL::DumpMonitors(std::wostream&) const {}
void MultiScreen_CL::DumpMonitors() const {}
int MultiScreen_CL::MonitorIndexFromPoint(POINT) const { return -1; }
MonitorRecord MakeMonitorRecord(const RECT&, const RECT&, DWORD) { return MonitorRecord{}; }
