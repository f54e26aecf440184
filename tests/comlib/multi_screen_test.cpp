#include "comlib/multi_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool SameRect(const RECT& expected, const RECT& actual) { return EqualRect(&expected, &actual) != FALSE; }

}  // namespace

TEST(MultiScreen, EnumeratesBothScreensOfTheTestDisplayAndFindsThePrimary) {
  // The test display joins a 1280 x 800 and a 1024 x 768 screen, both at
  // the origin.
  MultiScreen_CL screens;
  EXPECT_EQ(sizeof(MONITORINFOEXW), screens.primary.info.cbSize);
  EXPECT_TRUE(SameRect(RECT{}, screens.primary.info.rcMonitor));

  screens.Enumerate();
  screens.Enumerate();  // a second enumeration replaces the first
  ASSERT_EQ(2, screens.Count());
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), screens.Count());

  EXPECT_EQ(static_cast<DWORD>(MONITORINFOF_PRIMARY), screens.primary.info.dwFlags);
  EXPECT_TRUE(SameRect(RECT{0, 0, 1280, 800}, screens.primary.info.rcMonitor));
  EXPECT_EQ(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), screens.primary.monitor);
  EXPECT_EQ(nullptr, screens.primary.dc);

  int primaries = 0;
  for (const MonitorRecord& record : screens.monitors) {
    EXPECT_EQ(sizeof(MONITORINFOEXW), record.info.cbSize);
    EXPECT_NE(nullptr, record.monitor);
    if (record.info.dwFlags == MONITORINFOF_PRIMARY) {
      ++primaries;
      EXPECT_EQ(screens.primary.monitor, record.monitor);
    } else {
      EXPECT_TRUE(SameRect(RECT{0, 0, 1024, 768}, record.info.rcMonitor));
    }
  }
  EXPECT_EQ(1, primaries);
  EXPECT_NE(screens.monitors[0].monitor, screens.monitors[1].monitor);
  // The name is what finds a chosen monitor again, so each has its own.
  EXPECT_FALSE(screens.monitors[0].interfaceName.empty());
  EXPECT_FALSE(screens.monitors[1].interfaceName.empty());
  EXPECT_NE(screens.monitors[0].interfaceName, screens.monitors[1].interfaceName);
}

TEST(MultiScreen, DumpWritesFlagsMonitorWorkAreaAndNameOfEachMonitor) {
  MultiScreen_CL screens;
  screens.monitors.push_back(
      MakeMonitorRecord(RECT{0, 0, 1280, 800}, RECT{0, 0, 1280, 770}, MONITORINFOF_PRIMARY, L"\\\\?\\DISPLAY#A"));
  screens.monitors.push_back(MakeMonitorRecord(RECT{-1024, 0, 0, 768}, RECT{-1024, 0, 0, 768}, 0));
  const std::vector<std::wstring> expected{L"Flags   = 1",
                                           L"Monitor = ( 0, 0, 1280, 800 )",
                                           L"Work    = ( 0, 0, 1280, 770 )",
                                           L"Name    = \\\\?\\DISPLAY#A",
                                           L"Flags   = 0",
                                           L"Monitor = ( -1024, 0, 0, 768 )",
                                           L"Work    = ( -1024, 0, 0, 768 )",
                                           L"Name    = "};
  EXPECT_EQ(expected, screens.DumpLines());
}

TEST(MultiScreen, APointBelongsToTheFirstWorkAreaThatHoldsIt) {
  MultiScreen_CL screens;
  EXPECT_EQ(-1, screens.MonitorIndexFromPoint(POINT{0, 0}));

  screens.monitors.push_back(MakeMonitorRecord(RECT{0, 0, 1280, 800}, RECT{0, 0, 1280, 770}, MONITORINFOF_PRIMARY));
  screens.monitors.push_back(MakeMonitorRecord(RECT{1280, 0, 2304, 768}, RECT{1280, 0, 2304, 768}, 0));
  screens.monitors.push_back(MakeMonitorRecord(RECT{0, 0, 640, 480}, RECT{0, 0, 640, 480}, 0));
  // Left and top edges are inside, right and bottom edges outside.
  EXPECT_EQ(0, screens.MonitorIndexFromPoint(POINT{0, 0}));
  EXPECT_EQ(0, screens.MonitorIndexFromPoint(POINT{1279, 769}));
  EXPECT_EQ(1, screens.MonitorIndexFromPoint(POINT{1280, 0}));
  EXPECT_EQ(1, screens.MonitorIndexFromPoint(POINT{2303, 767}));
  EXPECT_EQ(-1, screens.MonitorIndexFromPoint(POINT{2304, 10}));
  EXPECT_EQ(-1, screens.MonitorIndexFromPoint(POINT{1300, 768}));
  // Over the taskbar: on the monitor, but not in its work area.
  EXPECT_EQ(-1, screens.MonitorIndexFromPoint(POINT{100, 780}));
  EXPECT_EQ(-1, screens.MonitorIndexFromPoint(POINT{-1, 10}));
  // Overlapping work areas: the first one in the list wins.
  EXPECT_EQ(0, screens.MonitorIndexFromPoint(POINT{10, 10}));
}
