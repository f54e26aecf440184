#include "comlib/command_line.h"

#include <gtest/gtest.h>

namespace {
bool StartupFlag(const wchar_t* commandLine) {
  CommandLine_CL parsed;
  parsed.Parse(commandLine);
  return parsed.HasStartupOption();
}
}  // namespace

TEST(CommandLine, StartupOptionInAnySpelling) {
  EXPECT_TRUE(StartupFlag(L"Horavel.exe -startup"));
  EXPECT_TRUE(StartupFlag(L"Horavel.exe /startup"));
  EXPECT_TRUE(StartupFlag(L"Horavel.exe -STARTUP"));
  EXPECT_TRUE(StartupFlag(L"Horavel.exe /Startup"));
  EXPECT_TRUE(StartupFlag(L"\"C:\\Program Files\\Horavel\\Horavel.exe\" other -startup"));
}

TEST(CommandLine, LookalikesAndTheProgramPathDoNotCount) {
  EXPECT_FALSE(StartupFlag(L"Horavel.exe --startup"));
  EXPECT_FALSE(StartupFlag(L"Horavel.exe startup"));
  EXPECT_FALSE(StartupFlag(L"Horavel.exe"));
  EXPECT_FALSE(StartupFlag(L"/startup"));
  EXPECT_FALSE(StartupFlag(L"C:\\tools\\/startup"));
  EXPECT_FALSE(StartupFlag(L""));
}

TEST(CommandLine, StoresArgumentsWithoutThePathAndRewritesOnlyTheFirstDash) {
  CommandLine_CL parsed;
  parsed.Parse(L"Horavel.exe -a --b c-d \"-e f\"");
  EXPECT_EQ((std::vector<std::wstring>{L"/a", L"/-b", L"c-d", L"/e f"}), parsed.Arguments());
}
