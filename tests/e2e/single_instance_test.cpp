#include <gtest/gtest.h>

#include "support/program_process.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {
constexpr DWORD kSecondStartTimeoutMs = 10000;
// Several clock ticks: long enough for a change that must not come.
constexpr DWORD kQuietMs = 2000;
}  // namespace

TEST(SingleInstance, SecondStartExitsAtOnceAndLeavesTheFirstRunning) {
  ProgramProcess first;
  HWND clock = StartAndWait(first);
  ASSERT_NE(nullptr, clock);
  const size_t windowsBefore = FindTopLevelWindows(L"Horavel").size();
  ClickTrayIcon(clock);
  ASSERT_FALSE(IsWindowVisible(clock));

  // A start at sign-in (the Run value and Windows' restart both firing)
  // leaves a hidden clock hidden; a start by hand shows it.
  for (const wchar_t* arguments : {L"-startup", L""}) {
    ProgramProcess second;
    ASSERT_TRUE(second.Start(arguments));
    ASSERT_TRUE(second.WaitForExit(kSecondStartTimeoutMs));
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(FindTopLevelWindows(L"Horavel", second.Id()).empty());
    EXPECT_EQ(*arguments == L'\0', WaitUntil([&] { return IsWindowVisible(clock) != FALSE; }, kQuietMs)) << arguments;
  }

  EXPECT_TRUE(first.IsRunning());
  EXPECT_EQ(windowsBefore, FindTopLevelWindows(L"Horavel").size());
  EXPECT_EQ(std::vector<DWORD>{first.Id()}, RunningHoravelProcesses());

  first.End();
  EXPECT_FALSE(first.IsRunning());
  EXPECT_EQ(0u, first.ExitCode());
}
