#include "comlib/task_tray_icon.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

using testing_support::ReadUtf16;
using testing_support::ScopedAppLog;
using testing_support::SplitLines;
using testing_support::TempFolder;

// A shell that answers from a script: each NIM_ADD and NIM_MODIFY takes the
// next answer (failure with an error, or success); when the script runs out
// the last answer repeats. Records every call in order.
class ScriptedShell : public TrayShell {
 public:
  struct Answer {
    BOOL result;
    DWORD error;
  };
  struct Call {
    DWORD message;
    HWND window;
    DWORD cbSize;
  };
  struct Question {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    size_t addsBefore;
    size_t pausesBefore;
  };

  std::deque<Answer> addAnswers{{TRUE, 0}};
  std::deque<Answer> modifyAnswers{{FALSE, ERROR_ACCESS_DENIED}};
  std::deque<int> retryAnswers{IDCANCEL};

  std::vector<Call> calls;
  std::vector<DWORD> pauses;
  bool pausing = false;
  std::vector<Question> questions;
  size_t adds = 0;

  BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override {
    calls.push_back(Call{message, data->hWnd, data->cbSize});
    if (message == NIM_ADD) ++adds;
    std::deque<Answer>* answers = message == NIM_ADD ? &addAnswers : message == NIM_MODIFY ? &modifyAnswers : nullptr;
    if (answers == nullptr) return TRUE;
    const Answer answer = answers->front();
    if (answers->size() > 1) answers->pop_front();
    SetLastError(answer.error);
    return answer.result;
  }
  void StartPause(HWND, UINT_PTR timerId, DWORD milliseconds) override {
    EXPECT_EQ(TaskTrayIcon_CL::kRetryTimerId, timerId);
    EXPECT_FALSE(pausing) << "one pause at a time";
    pauses.push_back(milliseconds);
    pausing = true;
  }
  void StopPause(HWND, UINT_PTR) override { pausing = false; }
  int AskRetry(HWND owner, const std::wstring& text, const std::wstring& caption) override {
    questions.push_back(Question{owner, text, caption, adds, pauses.size()});
    const int answer = retryAnswers.front();
    if (retryAnswers.size() > 1) retryAnswers.pop_front();
    return answer;
  }

  size_t CountCalls(DWORD message) const {
    size_t count = 0;
    for (const Call& call : calls) count += call.message == message ? 1 : 0;
    return count;
  }
};

struct LogLine {
  int sourceLine;
  std::wstring text;
};

// The log's lines as (origin line number, message).
std::vector<LogLine> ReadLog(const std::wstring& path) {
  std::vector<LogLine> lines;
  for (const std::wstring& line : SplitLines(ReadUtf16(path))) {
    const size_t open = line.find(L'(');
    const size_t separator = line.find(L" : ", line.find(L')'));
    if (open == std::wstring::npos || separator == std::wstring::npos) {
      ADD_FAILURE() << "unreadable log line";
      continue;
    }
    lines.push_back(LogLine{std::stoi(line.substr(open + 1)), line.substr(separator + 3)});
  }
  return lines;
}

std::vector<int> SourceLines(const std::vector<LogLine>& lines, size_t from = 0) {
  std::vector<int> numbers;
  for (size_t i = from; i < lines.size(); ++i) numbers.push_back(lines[i].sourceLine);
  return numbers;
}

// A hidden top-level window to own the icon.
class OwnerWindow {
 public:
  OwnerWindow() : window_(CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                          GetModuleHandleW(nullptr), nullptr)) {}
  ~OwnerWindow() { DestroyWindow(window_); }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

class TaskTrayIconTest : public ::testing::Test {
 protected:
  // Adds the icon and lets every pause run out, as the owner's timer would;
  // true when the icon ends up in place.
  bool AddPatiently(TaskTrayIcon_CL& icon) {
    icon.Add(owner.get());
    while (shell.pausing) EXPECT_TRUE(icon.OnTimer(TaskTrayIcon_CL::kRetryTimerId));
    return icon.IsShown();
  }

  TempFolder folder;
  std::wstring logPath = folder.File(L"log.txt");
  ScopedAppLog log{logPath};
  OwnerWindow owner;
  ScriptedShell shell;
};

}  // namespace

TEST_F(TaskTrayIconTest, FirstSuccessfulAddLogsOnlyTheAddedLine) {
  TaskTrayIcon_CL icon(L"Horavel", shell);
  EXPECT_FALSE(icon.IsShown());
  EXPECT_EQ(sizeof(NOTIFYICONDATAW), icon.Data().cbSize);

  ASSERT_TRUE(icon.Add(owner.get()));
  EXPECT_TRUE(icon.IsShown());
  EXPECT_EQ(owner.get(), icon.Data().hWnd);
  ASSERT_EQ(1u, shell.calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), shell.calls[0].message);
  EXPECT_EQ(owner.get(), shell.calls[0].window);
  EXPECT_EQ(sizeof(NOTIFYICONDATAW), shell.calls[0].cbSize);
  EXPECT_TRUE(shell.pauses.empty());

  const std::vector<LogLine> lines = ReadLog(logPath);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(46, lines[0].sourceLine);
  EXPECT_EQ(L"タスクバーリスタートメッセージ Id = " + std::to_wstring(icon.TaskbarCreatedMessage()), lines[0].text);
  EXPECT_EQ(157, lines[1].sourceLine);
  EXPECT_EQ(L"タスクトレイへアイコンを追加しました。", lines[1].text);
  EXPECT_NE(std::wstring::npos, ReadUtf16(logPath).find(L"task_tray_icon.cpp"));
}

TEST_F(TaskTrayIconTest, TimedOutAddWhoseIconExistsIsUpdatedWithoutPausing) {
  shell.addAnswers = {{FALSE, ERROR_TIMEOUT}};
  shell.modifyAnswers = {{TRUE, 0}};
  TaskTrayIcon_CL icon(L"Horavel", shell);

  EXPECT_TRUE(icon.Add(owner.get()));
  EXPECT_TRUE(icon.IsShown());
  EXPECT_TRUE(shell.pauses.empty());
  EXPECT_TRUE(shell.questions.empty());

  const std::vector<LogLine> lines = ReadLog(logPath);
  EXPECT_EQ((std::vector<int>{126, 147, 157}), SourceLines(lines, 1));
  ASSERT_EQ(4u, lines.size());
  EXPECT_EQ(L"タスクトレイへアイコンを追加失敗。Shell_NotifyIconエラー 0, 0x000005b4", lines[1].text);
  EXPECT_EQ(L"タスクトレイへアイコンアップデート成功", lines[2].text);
}

TEST_F(TaskTrayIconTest, TimeoutsCostNoAttempts) {
  // A shell that keeps timing out is waited for without asking the user.
  shell.addAnswers.clear();
  for (int i = 0; i < 100; ++i) shell.addAnswers.push_back({FALSE, ERROR_TIMEOUT});
  shell.addAnswers.push_back({TRUE, 0});
  TaskTrayIcon_CL icon(L"Horavel", shell);

  EXPECT_FALSE(icon.Add(owner.get())) << "the first refusal starts a pause";
  EXPECT_TRUE(icon.IsRetrying());
  EXPECT_TRUE(AddPatiently(icon));
  EXPECT_FALSE(icon.IsRetrying());
  EXPECT_TRUE(shell.questions.empty());
  EXPECT_EQ(101u, shell.adds);
  EXPECT_EQ(100u, shell.pauses.size());
}

TEST_F(TaskTrayIconTest, SixtyRefusalsAskTheUserAndRetryStartsAFreshBudget) {
  shell.addAnswers = {{FALSE, ERROR_ACCESS_DENIED}};
  shell.retryAnswers = {IDRETRY, IDCANCEL};
  TaskTrayIcon_CL icon(L"Horavel", shell);

  EXPECT_FALSE(AddPatiently(icon));
  EXPECT_FALSE(icon.IsShown());
  EXPECT_EQ(nullptr, icon.Data().hWnd);
  EXPECT_FALSE(icon.OnTimer(TaskTrayIcon_CL::kRetryTimerId + 1)) << "other timers are the owner's";

  ASSERT_EQ(2u, shell.questions.size());
  EXPECT_EQ(60u, shell.questions[0].addsBefore);
  EXPECT_EQ(59u, shell.questions[0].pausesBefore);
  EXPECT_EQ(owner.get(), shell.questions[0].owner);
  EXPECT_EQ(L"タスクトレイへアイコンを追加できませんでした。", shell.questions[0].text);
  EXPECT_EQ(L"Horavel", shell.questions[0].caption);
  // Retry: sixty more attempts, the first one after a pause.
  EXPECT_EQ(120u, shell.questions[1].addsBefore);
  EXPECT_EQ(119u, shell.questions[1].pausesBefore);
  EXPECT_EQ(120u, shell.adds);
  for (DWORD pause : shell.pauses) EXPECT_EQ(2000u, pause);

  const std::vector<LogLine> lines = ReadLog(logPath);
  EXPECT_EQ(std::vector<int>(120, 126), SourceLines(lines, 1));
  EXPECT_EQ(L"タスクトレイへアイコンを追加失敗。Shell_NotifyIconエラー 0, 0x00000005", lines.back().text);
}

TEST_F(TaskTrayIconTest, UpdateAfterRefusalsEndsTheLoop) {
  shell.addAnswers = {{FALSE, ERROR_ACCESS_DENIED}, {FALSE, ERROR_ACCESS_DENIED}, {FALSE, ERROR_ACCESS_DENIED}};
  shell.modifyAnswers = {{FALSE, ERROR_ACCESS_DENIED}, {FALSE, ERROR_ACCESS_DENIED}, {TRUE, 0}};
  TaskTrayIcon_CL icon(L"Horavel", shell);

  EXPECT_TRUE(AddPatiently(icon));
  EXPECT_EQ(3u, shell.adds);
  EXPECT_EQ(2u, shell.pauses.size());
  EXPECT_EQ((std::vector<int>{126, 126, 126, 147, 157}), SourceLines(ReadLog(logPath), 1));
}

TEST_F(TaskTrayIconTest, TaskbarRestartAddsTheShownIconAgain) {
  TaskTrayIcon_CL icon(L"Horavel", shell);
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  EXPECT_EQ(taskbarCreated, icon.TaskbarCreatedMessage());
  EXPECT_FALSE(icon.IsTaskbarCreated(taskbarCreated));  // not shown yet
  ASSERT_TRUE(icon.Add(owner.get()));

  EXPECT_FALSE(icon.IsTaskbarCreated(WM_NULL));
  EXPECT_FALSE(icon.IsTaskbarCreated(WM_TIMER));
  EXPECT_EQ(1u, shell.adds);

  EXPECT_TRUE(icon.IsTaskbarCreated(taskbarCreated));
  EXPECT_EQ(2u, shell.adds);
  EXPECT_EQ(owner.get(), shell.calls.back().window);
  const std::vector<LogLine> lines = ReadLog(logPath);
  EXPECT_EQ((std::vector<int>{157, 197, 157}), SourceLines(lines, 1));
  EXPECT_EQ(L"タスクトレイアイコンを追加します。(IsTaskbarCreated)", lines[2].text);
}

TEST_F(TaskTrayIconTest, RemovedIconStaysAwayAndIsRemovedOnce) {
  {
    TaskTrayIcon_CL icon(L"Horavel", shell);
    ASSERT_TRUE(icon.Add(owner.get()));
    icon.Remove();
    EXPECT_FALSE(icon.IsShown());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), shell.calls.back().message);
    EXPECT_EQ(owner.get(), shell.calls.back().window);

    EXPECT_FALSE(icon.IsTaskbarCreated(icon.TaskbarCreatedMessage()));
    EXPECT_EQ(1u, shell.adds);
  }
  EXPECT_EQ(1u, shell.CountCalls(NIM_DELETE));
  const std::vector<LogLine> lines = ReadLog(logPath);
  EXPECT_EQ((std::vector<int>{157, 164}), SourceLines(lines, 1));
  EXPECT_EQ(L"タスクトレイアイコンを削除しました。", lines.back().text);
}

TEST_F(TaskTrayIconTest, DestroyingAShownIconRemovesIt) {
  {
    TaskTrayIcon_CL icon(L"Horavel", shell);
    ASSERT_TRUE(icon.Add(owner.get()));
  }
  EXPECT_EQ(1u, shell.CountCalls(NIM_DELETE));
  EXPECT_EQ((std::vector<int>{157, 164}), SourceLines(ReadLog(logPath), 1));
}

TEST_F(TaskTrayIconTest, GivenUpIconIsNeitherRestoredNorRemoved) {
  shell.addAnswers = {{FALSE, ERROR_ACCESS_DENIED}};
  {
    TaskTrayIcon_CL icon(L"Horavel", shell);
    EXPECT_FALSE(AddPatiently(icon));
    EXPECT_FALSE(icon.IsTaskbarCreated(icon.TaskbarCreatedMessage()));
    icon.Remove();
  }
  EXPECT_EQ(60u, shell.adds);
  EXPECT_EQ(0u, shell.CountCalls(NIM_DELETE));
  EXPECT_EQ(std::vector<int>(60, 126), SourceLines(ReadLog(logPath), 1));
}

TEST_F(TaskTrayIconTest, IconImageIsDestroyedWhenReplacedOrRemoved) {
  TaskTrayIcon_CL icon(L"Horavel", shell);
  HICON first = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  HICON second = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  ICONINFO info{};

  icon.SetIcon(first);
  EXPECT_EQ(first, icon.Data().hIcon);
  icon.SetIcon(second);
  EXPECT_EQ(second, icon.Data().hIcon);
  EXPECT_FALSE(GetIconInfo(first, &info));

  ASSERT_TRUE(icon.Add(owner.get()));
  icon.Remove();
  EXPECT_EQ(nullptr, icon.Data().hIcon);
  EXPECT_FALSE(GetIconInfo(second, &info));
}

// The real notification area of Wine's shell.
TEST(TaskTrayIconShell, AddShowsTheIconAndRemoveTakesItAway) {
  TempFolder folder;
  ScopedAppLog log(folder.File(L"log.txt"));
  OwnerWindow owner;
  TaskTrayIcon_CL icon(L"Horavel");
  icon.SetIcon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
  icon.Data().uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.Data().uCallbackMessage = WM_USER + 0x300;
  wcscpy_s(icon.Data().szTip, L"Horavel");

  ASSERT_TRUE(icon.Add(owner.get()));

  // Only an icon that exists can be modified.
  NOTIFYICONDATAW probe{};
  probe.cbSize = sizeof(probe);
  probe.hWnd = owner.get();
  probe.uID = 0;
  probe.uFlags = NIF_TIP;
  wcscpy_s(probe.szTip, L"Horavel");
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));

  icon.Remove();
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
  EXPECT_EQ((std::vector<int>{46, 157, 164}), SourceLines(ReadLog(folder.File(L"log.txt"))));
}
