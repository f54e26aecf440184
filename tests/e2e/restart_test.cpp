// A move to another virtual desktop restarts the program. Wine has no
// virtual desktops, so these tests start a build of the program that reads
// the shell's answers from a file named in its environment.

#include <gtest/gtest.h>

#include <string>

#include "support/program_data.h"
#include "support/program_process.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kRestartTimeoutMs = 20000;
constexpr wchar_t kAnswerFileVariable[] = L"HORAVEL_DESKTOP_ANSWER_FILE";

std::string ReadText(const std::wstring& path) {
  const std::vector<unsigned char> bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::wstring& path, const std::string& text) {
  WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// Points the started programs at an answer file for the life of the object.
class DesktopAnswers {
 public:
  DesktopAnswers() : path_(folder_.File(L"desktop.txt")) {
    SetEnvironmentVariableW(kAnswerFileVariable, path_.c_str());
  }
  ~DesktopAnswers() { SetEnvironmentVariableW(kAnswerFileVariable, nullptr); }
  const std::wstring& Path() const { return path_; }

 private:
  TempFolder folder_;
  std::wstring path_;
};

// Ends every running copy, whoever started it.
void EndAllPrograms() {
  for (DWORD id : RunningHoravelProcesses()) {
    if (HWND clock = FindClockWindow(id)) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(clock, WM_CLOSE, 2, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
  }
  WaitUntil([] { return RunningHoravelProcesses().empty(); }, 10000);
}

// The program that reads its answers from the file.
std::wstring ScriptedHoravelPath() { return ProgramFolder() + L"\\scripted\\Horavel.exe"; }

class VirtualDesktop : public ProgramTest {
 protected:
  void StartScripted() { Start(L"", ScriptedHoravelPath()); }

  DesktopAnswers answers_;
};

}  // namespace

TEST_F(VirtualDesktop, MoveToAnotherDesktopRestartsIntoExactlyOneInstance) {
  ASSERT_NO_FATAL_FAILURE(StartScripted());
  WriteText(answers_.Path(), "elsewhere");
  ASSERT_TRUE(program_.WaitForExit(kRestartTimeoutMs)) << "the old copy ends";
  EXPECT_EQ(0u, program_.ExitCode());
  EXPECT_EQ("consumed", ReadText(answers_.Path()));

  // The new copy comes up with its windows and stays the only one.
  DWORD restarted = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::vector<DWORD> running = RunningHoravelProcesses();
        restarted = running.size() == 1 ? running.front() : 0;
        return restarted != 0 && FindDateWindow(restarted) != nullptr;
      },
      kStartTimeoutMs));
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
  WriteText(answers_.Path(), "elsewhere");
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
  WriteText(answers_.Path(), "error");
  ASSERT_NO_FATAL_FAILURE(StartScripted());

  // Each tick asks once and leaves a dot: wait for a few asks.
  ASSERT_TRUE(WaitUntil([&] { return ReadText(answers_.Path()).size() >= std::string("error...").size(); },
                        kRestartTimeoutMs));
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_EQ(std::vector<DWORD>{program_.Id()}, RunningHoravelProcesses());
  EXPECT_EQ(std::wstring::npos, ProgramLog().find(L"再起動します"));
}
