#include "comlib/multi_screen.h"

#include <sstream>
#include <string>

#include "comlib/log_file.h"

namespace {

MonitorRecord EmptyRecord() {
  MonitorRecord record;
  record.info.cbSize = sizeof(record.info);
  return record;
}

BOOL CALLBACK AppendMonitor(HMONITOR monitor, HDC dc, LPRECT, LPARAM context) {
  auto* screens = reinterpret_cast<MultiScreen_CL*>(context);
  MonitorRecord record = EmptyRecord();
  record.monitor = monitor;
  record.dc = dc;
  GetMonitorInfoW(monitor, reinterpret_cast<MONITORINFO*>(&record.info));
  screens->monitors.push_back(record);
  if (record.info.dwFlags == MONITORINFOF_PRIMARY) screens->primary = record;
  return TRUE;
}

void DumpRect(std::wostream& out, const wchar_t* label, const RECT& rect) {
  out << label << L"( " << rect.left << L", " << rect.top << L", " << rect.right << L", " << rect.bottom
      << L" )" << L"\n"
      << std::flush;
}

}  // namespace

MultiScreen_CL::MultiScreen_CL() : primary(EmptyRecord()) {}

void MultiScreen_CL::Enumerate() {
  monitors.clear();
  primary = EmptyRecord();
  EnumDisplayMonitors(nullptr, nullptr, &AppendMonitor, reinterpret_cast<LPARAM>(this));
}

void MultiScreen_CL::DumpMonitors(std::wostream& out) const {
  for (const MonitorRecord& record : monitors) {
    out << L"Flags   = " << record.info.dwFlags << L"\n" << std::flush;
    DumpRect(out, L"Monitor = ", record.info.rcMonitor);
    DumpRect(out, L"Work    = ", record.info.rcWork);
  }
}

void MultiScreen_CL::DumpMonitors() const {
  // A Windows program has no console to write to: the lines go to the log.
  std::wostringstream out;
  DumpMonitors(out);
  std::wistringstream lines(out.str());
  std::wstring line;
  while (std::getline(lines, line)) HORAVEL_LOG(L"%s", line.c_str());
}

int MultiScreen_CL::MonitorIndexFromPoint(POINT point) const {
  for (size_t index = 0; index < monitors.size(); ++index) {
    const RECT& work = monitors[index].info.rcWork;
    if (point.x >= work.left && point.x < work.right && point.y >= work.top && point.y < work.bottom) {
      return static_cast<int>(index);
    }
  }
  return -1;
}

MonitorRecord MakeMonitorRecord(const RECT& monitorRect, const RECT& workRect, DWORD flags) {
  MonitorRecord record = EmptyRecord();
  record.info.rcMonitor = monitorRect;
  record.info.rcWork = workRect;
  record.info.dwFlags = flags;
  return record;
}
