// A move to another virtual desktop restarts the program. Wine has no
// virtual desktops, so these tests start a build of the program that reads
// the shell's answers from a file named in its environment.

#include <gtest/gtest.h>

#include <string>

#include "comlib/instance_mutex.h"
#include "comlib/unique_handle.h"
#include "product.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kRestartTimeoutMs = 20000;

// How many of the process's handles lead to the instance mutex: each handle
// number (a multiple of four) is copied here and compared with the mutex.
int InstanceHandlesIn(DWORD processId) {
  const comlib::UniqueKernelHandle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId));
  const comlib::UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, product::kInstanceMutexName));
  int count = 0;
  for (UINT_PTR number = 4; number < 0x10000; number += 4) {
    HANDLE copy = nullptr;
    DuplicateHandle(process.get(), reinterpret_cast<HANDLE>(number), GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    const comlib::UniqueKernelHandle owned(copy);
    count += instancemutex::IsAnotherHandleToSame(copy, mutex.get()) ? 1 : 0;
  }
  return count;
}

class VirtualDesktop : public ProgramTest {
 protected:
  void StartScripted() { Start(L"", ScriptedHoravelPath()); }

  DesktopAnswers answers_;
};

}  // namespace

TEST_F(VirtualDesktop, MoveToAnotherDesktopRestartsIntoExactlyOneInstance) {
  ASSERT_NO_FATAL_FAILURE(StartScripted());
  // Another inheritable handle in the old copy stays behind; the new copy
  // closes the one it inherits, so nothing it starts inherits any.
  const comlib::UniqueKernelHandle oldCopy(OpenProcess(PROCESS_DUP_HANDLE, FALSE, program_.Id()));
  DuplicateHandle(GetCurrentProcess(), OpenMutexW(SYNCHRONIZE, FALSE, product::kInstanceMutexName), oldCopy.get(),
                  nullptr, 0, TRUE, DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE);
  ASSERT_EQ(2, InstanceHandlesIn(program_.Id()));
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
  EXPECT_EQ(1, InstanceHandlesIn(restarted)) << "its own handle, none inherited";
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

// A number on the command line is a hand-over only as another handle to the same mutex.
TEST(HandOver, OnlyAnotherHandleToTheSameMutexCounts) {
  const comlib::UniqueKernelHandle own(CreateMutexW(nullptr, FALSE, L"Horavel.HandOverTest"));
  HANDLE same = nullptr;
  DuplicateHandle(GetCurrentProcess(), own.get(), GetCurrentProcess(), &same, 0, FALSE, DUPLICATE_SAME_ACCESS);
  const comlib::UniqueKernelHandle owned(same), other(CreateMutexW(nullptr, FALSE, L"Horavel.HandOverTest2"));
  const HANDLE noHandle = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0xFFF0));
  for (const auto& [handed, counts] : {std::pair{same, true}, {own.get(), false}, {other.get(), false},
                                       {GetCurrentProcess(), false}, {noHandle, false}}) {
    EXPECT_EQ(counts, instancemutex::IsAnotherHandleToSame(handed, own.get()));
  }
}
