#include "data/placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "data/monitor_choice.h"
#include "support/window_checks.h"

namespace {

bool SamePoint(POINT expected, POINT actual) { return expected.x == actual.x && expected.y == actual.y; }
bool SameRect(const RECT& expected, const RECT& actual) { return EqualRect(&expected, &actual) != FALSE; }

}  // namespace

TEST(Placement, TheClockAreaIsTheChosenMonitorOnlyWhenThereAreSeveral) {
  const MultiScreen_CL two = testing_support::TwoMonitors();
  const SIZE primary{1280, 1024};
  // The whole monitor, taskbar included.
  EXPECT_TRUE(SameRect(RECT{1920, 0, 3200, 1024}, placement::ChooseClockArea(two, 1, primary)));
  EXPECT_TRUE(SameRect(RECT{0, 0, 1920, 1080}, placement::ChooseClockArea(two, 0, primary)));
  // An index that names no monitor, negative ones included: the primary display.
  for (const int index : {2, 5, -1}) {
    EXPECT_TRUE(SameRect(RECT{0, 0, 1280, 1024}, placement::ChooseClockArea(two, index, primary))) << index;
  }
  // With a single monitor the list is not used at all.
  MultiScreen_CL one;
  one.monitors.push_back(MakeMonitorRecord(RECT{0, 0, 800, 600}, RECT{0, 0, 800, 560}, MONITORINFOF_PRIMARY));
  EXPECT_TRUE(SameRect(RECT{0, 0, 1280, 1024}, placement::ChooseClockArea(one, 0, primary)));
  EXPECT_TRUE(SameRect(RECT{0, 0, 1280, 1024}, placement::ChooseClockArea(MultiScreen_CL(), 0, primary)));

  // A group on every monitor: the clock's own first, on the chosen one or
  // else the primary, then the others in the list's order.
  MultiScreen_CL three = two;
  three.monitors.insert(three.monitors.begin(), MakeMonitorRecord(RECT{-1024, 0, 0, 768}, RECT{}, 0));
  const RECT left{-1024, 0, 0, 768};
  const RECT middle{0, 0, 1920, 1080};
  const RECT right{1920, 0, 3200, 1024};
  const struct {
    const MultiScreen_CL& screens;
    int chosen;
    bool every;
    std::vector<RECT> areas;
  } cases[] = {
      {three, 2, true, {right, left, middle}},
      {three, 0, true, {left, middle, right}},
      {three, -1, true, {RECT{0, 0, 1280, 1024}, left, right}},
      {three, 2, false, {right}},
      {one, 0, true, {RECT{0, 0, 1280, 1024}}},
  };
  for (const auto& c : cases) {
    const std::vector<RECT> areas = placement::GroupAreas(c.screens, c.chosen, c.every, primary);
    ASSERT_EQ(c.areas.size(), areas.size()) << "chosen " << c.chosen;
    for (size_t i = 0; i < areas.size(); ++i) EXPECT_TRUE(SameRect(c.areas[i], areas[i])) << c.chosen << ", " << i;
  }
}

TEST(Placement, TheClocksInkStandsAtTheOffsetsFromTheChosenCorner) {
  // Ink from (12.4, 9.6) to (212.6, 90.5) in a window: its first column is
  // 12, its first row 10, its last column 212, its last row 90.
  const AreaF ink{12.4f, 9.6f, 200.2f, 80.9f};
  struct Case {
    RECT area;
    int corner;
    int offset;
    POINT expected;
  };
  const Case cases[] = {
      {{1920, 0, 3200, 1024}, 0, 32, {1920 + 32 - 12, 32 - 10}},
      {{1920, 0, 3200, 1024}, 1, 32, {3200 - 32 - 213, 32 - 10}},
      {{1920, 0, 3200, 1024}, 2, 32, {1920 + 32 - 12, 1024 - 32 - 91}},
      {{1920, 0, 3200, 1024}, 3, 32, {3200 - 32 - 213, 1024 - 32 - 91}},
      // A monitor left of and above the primary: coordinates go negative.
      {{-1024, -200, 0, 568}, 0, 32, {-1024 + 32 - 12, -200 + 32 - 10}},
      {{-1024, -200, 0, 568}, 3, 32, {-32 - 213, 568 - 32 - 91}},
      // Negative offsets push the clock past the corner.
      {{-1024, -200, 0, 568}, 0, -10, {-1024 - 10 - 12, -200 - 10 - 10}},
      // Any other corner number: the area's origin, without offsets.
      {{1920, 0, 3200, 1024}, -1, 32, {1920, 0}},
      {{1920, 0, 3200, 1024}, 4, 32, {1920, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SamePoint(c.expected, placement::ClockPosition(c.area, c.corner, c.offset, c.offset, ink)))
        << "corner " << c.corner << " offset " << c.offset << " area left " << c.area.left;
  }
}

TEST(Placement, TheDateIsCentredOnTheClockPlusItsOffsetAndKeptWhollyOnSomeMonitor) {
  EXPECT_TRUE(SamePoint(POINT{450, 280}, placement::DatePosition(POINT{500, 300}, 0, 0, SIZE{100, 40})));
  EXPECT_TRUE(SamePoint(POINT{553, 341}, placement::DatePosition(POINT{500, 300}, 103, 61, SIZE{100, 40})));
  // An odd size leaves the half pixel on the right and bottom.
  EXPECT_TRUE(SamePoint(POINT{450, 280}, placement::DatePosition(POINT{500, 300}, 0, 0, SIZE{101, 41})));

  // Wholly on some monitor: where it lies wholly on one it stays, even on
  // another monitor than the clock's; otherwise onto the one it overlaps
  // most, or, off every one, the nearest.
  const std::vector<RECT> monitors = {RECT{0, 0, 1280, 800}, RECT{1280, 0, 2304, 768}};
  const struct {
    POINT at;
    SIZE size;
    POINT expected;
  } cases[] = {
      {{1400, 300}, {100, 40}, {1400, 300}},   // on the second monitor: stays
      {{100, 700}, {100, 40}, {100, 700}},     // on the first: stays
      {{2250, 750}, {100, 40}, {2204, 728}},   // past the second's right and bottom edges
      {{1250, 300}, {100, 40}, {1280, 300}},   // across the seam, mostly on the second
      {{1200, 300}, {100, 40}, {1180, 300}},   // across the seam, mostly on the first
      {{1300, 780}, {100, 40}, {1300, 728}},   // below the shorter second monitor
      {{-500, -300}, {100, 40}, {0, 0}},       // off every monitor: the nearest
      {{3000, 100}, {100, 40}, {2204, 100}},
      {{1300, 300}, {2000, 40}, {1280, 300}},  // wider than any monitor: its left edge
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(SamePoint(c.expected, placement::KeepOnSomeMonitor(c.at, c.size, monitors)))
        << c.at.x << "," << c.at.y;
  }
  EXPECT_TRUE(SamePoint(POINT{-500, -300}, placement::KeepOnSomeMonitor(POINT{-500, -300}, SIZE{100, 40}, {})));

  // The world clocks below the date, or above the faces where the monitor
  // ends below them; below again where neither has room.
  const RECT date{1000, 700, 1200, 760};
  const RECT faces{900, 600, 1200, 760};
  const struct {
    RECT area;
    int offsetY;
    LONG expectedY;
  } zoneCases[] = {
      {{0, 0, 1280, 1024}, 5, 765}, {{0, 0, 1280, 800}, 5, 555},  {{0, 0, 1280, 805}, 5, 765},
      {{0, 0, 1280, 804}, 5, 555},  {{0, 580, 1280, 800}, 5, 765}, {{0, 0, 1280, 770}, -20, 580},
  };
  for (const auto& c : zoneCases) {
    const POINT at = placement::ZonesPosition(date, faces, 7, c.offsetY, SIZE{120, 40}, c.area);
    EXPECT_TRUE(SamePoint(POINT{1047, c.expectedY}, at)) << c.area.top << "-" << c.area.bottom << ", " << c.offsetY;
  }

  EXPECT_TRUE(SamePoint(POINT{100, 40}, placement::CentreOf(RECT{0, 0, 201, 81})));
  EXPECT_TRUE(SamePoint(POINT{-100, -40}, placement::CentreOf(RECT{-201, -81, 0, 0})));
}

TEST(Placement, TheDisplayCheckJudgesTheClockOnTheRectangleItWasPlacedIn) {
  const MultiScreen_CL two = testing_support::TwoMonitors();
  const SIZE primary{1920, 1080};
  struct Case {
    int displayIndex;
    RECT clock;
    bool shouldBeVisible;
    bool visible;
    bool needsPlacing;
  };
  const Case cases[] = {
      {0, RECT{32, 32, 632, 232}, true, true, false},
      // Centred over the primary monitor's taskbar: still on its monitor.
      {0, RECT{1300, 1000, 1900, 1078}, true, true, false},
      // On the other monitor than the chosen one.
      {0, RECT{2000, 32, 2600, 232}, true, true, true},
      {1, RECT{2000, 32, 2600, 232}, true, true, false},
      {1, RECT{2000, 950, 2600, 1020}, true, true, false},
      // A monitor that is gone: the clock stands on the primary display.
      {5, RECT{32, 32, 632, 232}, true, true, false},
      {5, RECT{2000, 32, 2600, 232}, true, true, true},
      // Off every monitor.
      {0, RECT{-900, 32, -300, 232}, true, true, true},
      // Should show and does not; hidden on purpose is fine.
      {0, RECT{32, 32, 632, 232}, true, false, true},
      {0, RECT{32, 32, 632, 232}, false, false, false},
  };
  for (const Case& c : cases) {
    const RECT area = placement::ChooseClockArea(two, c.displayIndex, primary);
    EXPECT_EQ(c.needsPlacing, placement::ClockNeedsPlacing(area, &c.clock, c.shouldBeVisible, c.visible))
        << "display " << c.displayIndex << ", clock at " << c.clock.left << ", " << c.clock.top;
  }
  EXPECT_TRUE(placement::ClockNeedsPlacing(RECT{0, 0, 1920, 1080}, nullptr, true, true));
  EXPECT_FALSE(placement::FallsBackToPrimary(two, 1));
  EXPECT_TRUE(placement::FallsBackToPrimary(two, 2));
  EXPECT_TRUE(placement::FallsBackToPrimary(two, -1));
}

TEST(MonitorChoice, TheChosenMonitorIsFoundAgainByNameOrRectangle) {
  using monitor_choice::MonitorIdentity;
  constexpr int kAbsent = -1;
  // Windows names its monitors by their hardware (H...), Wine by their order
  // (W0, W1, ...). P, X: a primary and a second monitor on Windows; A, B, C:
  // three monitors under Wine, the stored one in the rectangle named first.
  const RECT p{0, 0, 1920, 1080}, x{1920, 0, 3200, 1024}, a{0, 0, 1280, 800}, b{1280, 0, 2080, 600};
  const RECT c{2080, 100, 3104, 868}, cShifted{1280, 100, 2304, 868};
  const std::wstring storedX = L"1920,0,3200,1024,HX", storedB = L"1280,0,2080,600,W1";
  const std::wstring storedC = L"2080,100,3104,868,W2";
  const struct {
    std::vector<MonitorIdentity> monitors;
    std::wstring stored;
    int displayIndex;
    int expected;
  } cases[] = {
      {{{p, L"HP"}, {x, L"HX"}}, storedX, 0, 1},
      {{{x, L"HX"}, {p, L"HP"}}, storedX, 1, 0},                                  // re-ordered
      {{{p, L"HP"}, {{-1280, 0, 0, 1024}, L"HX"}}, storedX, 0, 1},                // moved
      {{{p, L"HP"}, {{1920, 0, 3840, 1080}, L"HX"}}, storedX, 0, 1},              // its resolution changed
      {{{p, L"HP"}, {x, L"HY"}, {{3200, 0, 4480, 1024}, L"HX"}}, storedX, 0, 2},  // swapped with its twin
      {{{p, L"HP"}, {{1920, 0, 2944, 768}, L"HZ"}}, storedX, 1, kAbsent},         // unplugged
      {{{a, L"W0"}, {c, L"W1"}}, storedC, 1, 1},                                  // the second of three removed
      {{{a, L"W0"}, {cShifted, L"W1"}}, storedC, 0, 1},                           // ... and the third moved up
      {{{a, L"W0"}, {c, L"W1"}, {b, L"W2"}}, storedC, 2, 1},                      // re-ordered
      {{{a, L"W0"}, {cShifted, L"W1"}}, storedB, 1, kAbsent},                     // its name taken over
      {{{a, L"W0"}, {{1280, 0, 2304, 768}, L"W1"}, {{2304, 0, 3104, 600}, L"W2"}}, storedB, 1, 2},  // and it moved
      {{{{0, 0, 800, 600}, L"W0"}, {{800, 100, 1824, 868}, L"W1"}}, storedB, 1, 0},  // shifted to the origin
      // Two of the stored size: only the stored rectangle tells.
      {{{a, L"W0"}, {{1280, 200, 2080, 800}, L"W1"}, {{2080, 0, 2880, 600}, L"W2"}}, L"1280,0,2080,600,W5", 1, kAbsent},
      {{{a, L"W0"}, {{1280, 200, 2080, 800}, L"W1"}, {b, L"W2"}}, L"1280,0,2080,600,W5", 1, 2},
      {{{a, L""}, {{1280, 200, 2080, 800}, L""}, {{2080, 0, 2880, 600}, L""}}, L"1280,0,2080,600,", 1, kAbsent},
      // No identity, an old file or an unreadable one: the display number.
      {{{a, L"W0"}, {b, L"W1"}}, L"", 1, 1},
      {{{a, L"W0"}, {b, L"W1"}}, L"", 2, kAbsent},
      {{{a, L"W0"}, {b, L"W1"}}, L"", -1, kAbsent},
      {{{a, L"W0"}, {b, L"W1"}}, L"1280,0,2080,600,%zz", 0, 0},
  };
  for (const auto& t : cases) {
    const auto chosen =
        monitor_choice::ChooseMonitor(t.monitors, monitor_choice::ParseIdentity(t.stored), t.displayIndex);
    EXPECT_EQ(t.expected, chosen.value_or(kAbsent)) << std::string(t.stored.begin(), t.stored.end()) << " among "
                                                    << t.monitors.size() << ", display " << t.displayIndex;
  }
}

TEST(MonitorChoice, TheStoredIdentityReadsBackWhateverTheName) {
  const std::wstring names[] = {L"", L"\\\\?\\DISPLAY#Default_Monitor#0000&0000#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}",
                                L" a,b=c;d \"q\" ", L"100%\t\r\n", std::wstring(L"\u6642\u8A08\xD800") + L'\0' + L"x"};
  for (const RECT& rect : {RECT{-1280, -200, 0, 824}, RECT{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX}}) {
    for (const std::wstring& name : names) {
      const std::wstring text = monitor_choice::IdentityText({rect, name});
      // One line of printable ASCII, without blanks a settings file would trim.
      for (const wchar_t c : text) EXPECT_TRUE(c > L' ' && c <= L'~') << static_cast<int>(c);
      const auto read = monitor_choice::ParseIdentity(text);
      ASSERT_TRUE(read.has_value()) << std::string(text.begin(), text.end());
      EXPECT_TRUE(SameRect(rect, read->rect));
      EXPECT_EQ(name, read->name);
    }
  }
  // Files written before keep reading the same.
  EXPECT_EQ(L"-1280,0,0,1024,A%0020B%0025", monitor_choice::IdentityText({{-1280, 0, 0, 1024}, L"A B%"}));
  for (const wchar_t* unreadable :
       {L"", L"garbage", L"1,2,3,4", L"1,2,3,,N", L"+1,2,3,4,N", L" 1,2,3,4,N", L"1,2,3x,4,N", L"0,0,0,0,N",
        L"10,0,5,5,N", L"0,0,4294967297,1,N", L"1,2,3,4,%00", L"1,2,3,4,%00G1"}) {
    EXPECT_FALSE(monitor_choice::ParseIdentity(unreadable).has_value()) << std::wstring(unreadable).size();
  }
  // What the user's choice writes finds that monitor again.
  MultiScreen_CL screens;
  screens.monitors.push_back(MakeMonitorRecord(RECT{0, 0, 1280, 800}, RECT{0, 0, 1280, 770}, 1, L"W0"));
  screens.monitors.push_back(MakeMonitorRecord(RECT{1280, 0, 2080, 600}, RECT{1280, 0, 2080, 600}, 0, L"W1"));
  for (const int index : {0, 1}) {
    const auto stored = monitor_choice::ParseIdentity(monitor_choice::IdentityTextFor(screens, index));
    EXPECT_EQ(index, monitor_choice::ChooseMonitor(monitor_choice::IdentitiesOf(screens), stored, -1).value_or(-1));
  }
  EXPECT_EQ(L"", monitor_choice::IdentityTextFor(screens, 2));
}
