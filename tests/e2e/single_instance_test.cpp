#include <gtest/gtest.h>

#include "support/program_process.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {
constexpr DWORD kSecondStartTimeoutMs = 10000;
}  // namespace

TEST(SingleInstance, SecondStartExitsAtOnceAndLeavesTheFirstRunning) {
  ProgramProcess first;
  ASSERT_TRUE(first.Start());
  ASSERT_NE(nullptr, WaitForWindows(first));
  const size_t windowsBefore = FindTopLevelWindows(L"Horavel").size();

  ProgramProcess second;
  ASSERT_TRUE(second.Start(L"-startup"));
  ASSERT_TRUE(second.WaitForExit(kSecondStartTimeoutMs));
  EXPECT_EQ(0u, second.ExitCode());

  EXPECT_TRUE(first.IsRunning());
  EXPECT_EQ(windowsBefore, FindTopLevelWindows(L"Horavel").size());
  EXPECT_TRUE(FindTopLevelWindows(L"Horavel", second.Id()).empty());
  EXPECT_EQ(std::vector<DWORD>{first.Id()}, RunningHoravelProcesses());

  first.End();
  EXPECT_FALSE(first.IsRunning());
  EXPECT_EQ(0u, first.ExitCode());
}
