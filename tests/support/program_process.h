#pragma once
// Starting the built Horavel.exe from a test and finding its windows.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_ids.h"

namespace testing_support {

// The built program beside the test programs.
std::wstring HoravelPath();
// The same program built to take the shell's virtual-desktop answers from
// the file that DesktopAnswers names; Wine has no virtual desktops.
std::wstring ScriptedHoravelPath();

// Points the programs started from ScriptedHoravelPath at an answer file for
// the life of the object: "elsewhere" is answered once as "on another
// desktop" (the file then reads "consumed"), "error" fails each call and
// gains a dot, anything else is an unreachable shell.
class DesktopAnswers {
 public:
  DesktopAnswers();
  ~DesktopAnswers();
  DesktopAnswers(const DesktopAnswers&) = delete;
  DesktopAnswers& operator=(const DesktopAnswers&) = delete;

  void Write(const std::string& answer) const;
  std::string Read() const;

 private:
  std::wstring path_;
};

class ProgramProcess {
 public:
  ProgramProcess() = default;
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Starts Horavel.exe from the test program's folder with the arguments.
  bool Start(const std::wstring& arguments = L"");
  // Starts a copy of the program that lies elsewhere.
  bool StartProgram(const std::wstring& programPath, const std::wstring& arguments = L"");
  bool WaitForExit(DWORD timeoutMs);
  bool IsRunning() const;
  DWORD ExitCode() const;
  DWORD Id() const { return info_.dwProcessId; }
  // Ends the program the way its exit command does, and kills it if it
  // does not end in time.
  void End();
  // Ends it at once, wherever it is, as a crash or the task manager would.
  void Kill();

 private:
  PROCESS_INFORMATION info_{};
};


// Starts the program and waits until both windows have been created and its
// message loop answers; returns its clock window, or null.
HWND StartAndWait(ProgramProcess& program, const std::wstring& arguments = L"");
// The same for a program already started, or one that another started.
HWND WaitForWindows(const ProgramProcess& program);
HWND WaitForWindows(DWORD processId);
// Returns once the window's thread has handled everything sent before.
void RoundTrip(HWND window);

// Visible or not, every top-level window whose title is exactly `title`,
// optionally only those of one process and one class.
std::vector<HWND> FindTopLevelWindows(const std::wstring& title, DWORD processId = 0,
                                      const std::wstring& className = L"");

// A click on the program's icon, as the icon reports it to the clock.
void ClickTrayIcon(HWND clock);
// Heartbeats of the clock, at once.
void SendTicks(HWND clock, int count);

// The clock and date windows of a running program.
HWND FindClockWindow(DWORD processId);
HWND FindDateWindow(DWORD processId);
HWND FindZonesWindow(DWORD processId);

// Every running Horavel.exe process.
std::vector<DWORD> RunningHoravelProcesses();
// Ends every running copy, whoever started it, as its exit command does.
void EndAllPrograms();

// The update notice a starting program shows before its clock, once it is
// on the screen, captioned in this test program's language; or null.
HWND FindUpdateNotice(DWORD processId);

// A fixture whose tests start the program on the settings they write; the
// data folder starts afresh for each test.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Starts the program (or a copy of it elsewhere) and finds its windows; a
  // failure ends the test.
  void Start(const std::wstring& arguments = L"", const std::wstring& programPath = HoravelPath());
  // Both windows on the screen; neither of them.
  bool Shown() const { return IsWindowVisible(clock_) && IsWindowVisible(date_); }
  bool Hidden() const { return !IsWindowVisible(clock_) && !IsWindowVisible(date_); }

  ProgramProcess program_;
  HWND clock_ = nullptr;
  HWND date_ = nullptr;
};

}  // namespace testing_support
