#include "comlib/multi_screen.h"

#include <algorithm>
#include <string>
#include <utility>

#include "comlib/log_file.h"
#include "comlib/wide_format.h"

namespace {

MonitorRecord EmptyRecord() {
  MonitorRecord record;
  record.info.cbSize = sizeof(record.info);
  return record;
}

// The first monitor device on the monitor's adapter; a second one exists
// only when the adapter mirrors itself, and both then show the same picture.
std::wstring InterfaceNameOf(const MONITORINFOEXW& info) {
  DISPLAY_DEVICEW device{};
  device.cb = sizeof(device);
  if (!EnumDisplayDevicesW(info.szDevice, 0, &device, EDD_GET_DEVICE_INTERFACE_NAME)) return std::wstring();
  return device.DeviceID;
}

BOOL CALLBACK AppendMonitor(HMONITOR monitor, HDC dc, LPRECT, LPARAM context) {
  auto* screens = reinterpret_cast<MultiScreen_CL*>(context);
  MonitorRecord record = EmptyRecord();
  record.monitor = monitor;
  record.dc = dc;
  if (GetMonitorInfoW(monitor, reinterpret_cast<MONITORINFO*>(&record.info))) {
    record.interfaceName = InterfaceNameOf(record.info);
  }
  screens->monitors.push_back(record);
  if (record.info.dwFlags == MONITORINFOF_PRIMARY) screens->primary = record;
  return TRUE;
}

BOOL CALLBACK AppendRect(HMONITOR, HDC, LPRECT rect, LPARAM context) {
  reinterpret_cast<std::vector<RECT>*>(context)->push_back(*rect);
  return TRUE;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

bool SameRecord(const MonitorRecord& a, const MonitorRecord& b) {
  return SameRect(a.info.rcMonitor, b.info.rcMonitor) && SameRect(a.info.rcWork, b.info.rcWork) &&
         a.info.dwFlags == b.info.dwFlags && a.interfaceName == b.interfaceName;
}

constexpr size_t kDumpLineLimit = 96;

std::wstring RectLine(const wchar_t* label, const RECT& rect) {
  return comlib::FormatWide(kDumpLineLimit, L"%s( %ld, %ld, %ld, %ld )", label, static_cast<long>(rect.left),
                            static_cast<long>(rect.top), static_cast<long>(rect.right),
                            static_cast<long>(rect.bottom));
}

}  // namespace

MultiScreen_CL::MultiScreen_CL() : primary(EmptyRecord()) {}

bool MultiScreen_CL::Enumerate() {
  const std::vector<MonitorRecord> before = std::move(monitors);
  monitors.clear();
  primary = EmptyRecord();
  EnumDisplayMonitors(nullptr, nullptr, &AppendMonitor, reinterpret_cast<LPARAM>(this));
  return !std::equal(before.begin(), before.end(), monitors.begin(), monitors.end(), &SameRecord);
}

bool MultiScreen_CL::Changed() const {
  // Under Wine each question about the monitors is a few requests to its
  // server: this asks once, where Enumerate asks twice more per monitor.
  std::vector<RECT> now;
  EnumDisplayMonitors(nullptr, nullptr, &AppendRect, reinterpret_cast<LPARAM>(&now));
  return !std::equal(now.begin(), now.end(), monitors.begin(), monitors.end(),
                     [](const RECT& rect, const MonitorRecord& monitor) { return SameRect(rect, monitor.info.rcMonitor); });
}

std::vector<std::wstring> MultiScreen_CL::DumpLines() const {
  std::vector<std::wstring> lines;
  for (const MonitorRecord& record : monitors) {
    lines.push_back(comlib::FormatWide(kDumpLineLimit, L"Flags   = %lu", static_cast<unsigned long>(record.info.dwFlags)));
    lines.push_back(RectLine(L"Monitor = ", record.info.rcMonitor));
    lines.push_back(RectLine(L"Work    = ", record.info.rcWork));
    lines.push_back(L"Name    = " + record.interfaceName);
  }
  return lines;
}

void MultiScreen_CL::DumpMonitors() const {
  // A Windows program has no console to write to: the lines go to the log.
  for (const std::wstring& line : DumpLines()) HORAVEL_LOG(L"%s", line.c_str());
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

MonitorRecord MakeMonitorRecord(const RECT& monitorRect, const RECT& workRect, DWORD flags,
                                const std::wstring& interfaceName) {
  MonitorRecord record = EmptyRecord();
  record.interfaceName = interfaceName;
  record.info.rcMonitor = monitorRect;
  record.info.rcWork = workRect;
  record.info.dwFlags = flags;
  return record;
}
