// A move to another virtual desktop restarts the program. Wine has no
// virtual desktops, so these tests start a build of the program that reads
// the shell's answers from a file named in its environment.

#include <gtest/gtest.h>

#include <string>

#include "comlib/unique_handle.h"
#include "product.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kRestartTimeoutMs = 20000;

class VirtualDesktop : public ProgramTest {
 protected:
  void StartScripted() { Start(L"", ScriptedHoravelPath()); }

  DesktopAnswers answers_;
};

}  // namespace

TEST_F(VirtualDesktop, MoveToAnotherDesktopRestartsIntoExactlyOneInstance) {
  ASSERT_NO_FATAL_FAILURE(StartScripted());
  // The instance never lapses between the two copies: a start by hand in
  // that moment is a second start.
  bool lapsed = false;
  const auto held = [&] {
    lapsed |= !comlib::UniqueKernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, product::kInstanceMutexName));
    return true;
  };
  answers_.Write("elsewhere");
  ASSERT_TRUE(WaitUntil([&] { return held() && !program_.IsRunning(); }, kRestartTimeoutMs)) << "the old copy ends";
  EXPECT_EQ(0u, program_.ExitCode());
  EXPECT_EQ("consumed", answers_.Read());

  // The new copy comes up with its windows and stays the only one.
  DWORD restarted = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {
        held();
        const std::vector<DWORD> running = RunningHoravelProcesses();
        restarted = running.size() == 1 ? running.front() : 0;
        return restarted != 0 && FindDateWindow(restarted) != nullptr;
      },
      kStartTimeoutMs));
  EXPECT_FALSE(lapsed);
  EXPECT_NE(program_.Id(), restarted);
  EXPECT_EQ(1u, RunningHoravelProcesses().size());
  EXPECT_NE(std::wstring::npos, ProgramLog().find(L"カレントデスクトップ移動を検出したので再起動します。"));
  // The old copy let go of every GDI+ object before its session ended.
  EXPECT_EQ(1u, CountOccurrences(ProgramLog(), L"GDI+終了前のオブジェクト数 = 0"));
  EndAllPrograms();
}

TEST_F(VirtualDesktop, ARestartThatCannotStartTheNewCopyKeepsTheOldOneRunning) {
  TempFolder folder;
  const std::wstring copy = folder.File(L"Horavel.exe");
  ASSERT_TRUE(CopyFileW(ScriptedHoravelPath().c_str(), copy.c_str(), FALSE));
  ASSERT_NO_FATAL_FAILURE(Start(L"", copy));

  // The program was moved away while it ran.
  ASSERT_TRUE(MoveFileW(copy.c_str(), folder.File(L"Moved.exe").c_str()));
  answers_.Write("elsewhere");
  ASSERT_TRUE(WaitUntil([] { return ProgramLog().find(L"再起動に失敗しました") != std::wstring::npos; },
                        kRestartTimeoutMs));
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_EQ(std::vector<DWORD>{program_.Id()}, RunningHoravelProcesses());
  EXPECT_TRUE(IsWindowVisible(clock_));

  // It is still the single instance: another start ends at once.
  ProgramProcess second;
  ASSERT_TRUE(second.Start());
  ASSERT_TRUE(second.WaitForExit(kRestartTimeoutMs));
  EXPECT_EQ(std::vector<DWORD>{program_.Id()}, RunningHoravelProcesses());
  program_.End();
  EXPECT_EQ(0u, program_.ExitCode());
}

TEST_F(VirtualDesktop, FailingShellCallDoesNotRestart) {
  answers_.Write("error");
  ASSERT_NO_FATAL_FAILURE(StartScripted());

  // Each tick asks once and leaves a dot: wait for a few asks.
  ASSERT_TRUE(WaitUntil([&] { return answers_.Read().size() >= std::string("error...").size(); },
                        kRestartTimeoutMs));
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_EQ(std::vector<DWORD>{program_.Id()}, RunningHoravelProcesses());
  EXPECT_EQ(std::wstring::npos, ProgramLog().find(L"再起動します"));
}
