// A move to another virtual desktop restarts the program. Wine has no
// virtual desktops, so these tests start a build of the program that reads
// the shell's answers from a file named in its environment.

#include <gtest/gtest.h>

#include <cstdint>
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
// Handle numbers are multiples of four, and a clock holds a few hundred.
constexpr std::uintptr_t kHandleNumbersTried = 0x10000;

using CompareObjectHandlesFunction = BOOL(WINAPI*)(HANDLE, HANDLE);

// How many of the process's handles lead to the instance mutex: each handle
// number is copied here and compared with the test's own handle to it.
int InstanceHandlesIn(DWORD processId) {
  const auto sameObject = reinterpret_cast<CompareObjectHandlesFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernelbase.dll"), "CompareObjectHandles")));
  const comlib::UniqueKernelHandle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId));
  const comlib::UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, product::kInstanceMutexName));
  if (sameObject == nullptr || !process || !mutex) return -1;
  int count = 0;
  for (std::uintptr_t number = 4; number < kHandleNumbersTried; number += 4) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process.get(), reinterpret_cast<HANDLE>(number), GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
      continue;
    }
    const comlib::UniqueKernelHandle owned(copy);
    count += sameObject(copy, mutex.get()) ? 1 : 0;
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
  // An inheritable handle the old copy holds (here one more to the mutex)
  // stays behind: the new copy inherits the hand-over alone, and closes it
  // once it holds its own, so nothing it starts later inherits one.
  {
    const comlib::UniqueKernelHandle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, program_.Id()));
    const comlib::UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, product::kInstanceMutexName));
    HANDLE planted = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), mutex.get(), process.get(), &planted, 0, TRUE,
                                DUPLICATE_SAME_ACCESS));
    ASSERT_EQ(2, InstanceHandlesIn(program_.Id()));
  }
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
  EXPECT_EQ(1, InstanceHandlesIn(restarted)) << "its own handle, and nothing inherited";
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
