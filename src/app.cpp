#include "app.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <iostream>
#include <locale>
#include <memory>

#include "app_ids.h"
#include "comlib/command_line.h"
#include "comlib/gdiplus_flat.h"
#include "comlib/program_path.h"
#include "product.h"
#include "view/date_dialog.h"
#include "view/main_dialog.h"

namespace {

constexpr DWORD kCommonControlClasses =
    ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES;
constexpr DWORD kPathRoom = 260;

// Held for the whole life of the process; the system releases it at exit.
HANDLE g_instanceMutex = nullptr;

// True when this is the only running copy of the program.
bool TakeSingleInstance() {
  g_instanceMutex = CreateMutexW(nullptr, TRUE, product::kInstanceMutexName);
  return GetLastError() != ERROR_ALREADY_EXISTS;
}

// Brings the running copy's window to the front without activating it.
void RaiseRunningInstance() {
  HWND running = FindWindowW(nullptr, product::kWindowTitle);
  if (running == nullptr) return;
  if (IsIconic(running)) ShowWindow(running, SW_SHOWNOACTIVATE);
  SetWindowPos(running, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void CloseInstanceMutex() {
  if (g_instanceMutex) CloseHandle(g_instanceMutex);
  g_instanceMutex = nullptr;
}

void UseUserLocaleForConsole() {
  // The monitor list written at start-up is the only console output. A C
  // library without the user's locale keeps the classic one.
  try {
    std::wcout.imbue(std::locale(""));
  } catch (const std::exception&) {
  }
}

class PlatformSession {
 public:
  PlatformSession() {
    CoInitialize(nullptr);
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = kCommonControlClasses;
    InitCommonControlsEx(&controls);
  }
  ~PlatformSession() {
    OleUninitialize();
    CoUninitialize();
  }
  PlatformSession(const PlatformSession&) = delete;
  PlatformSession& operator=(const PlatformSession&) = delete;
};

void RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int RunHoravel() {
  UseUserLocaleForConsole();
  CommandLine_CL commandLine;
  commandLine.Parse();
  const bool startupFlag = commandLine.HasStartupOption();

  if (!TakeSingleInstance()) {
    RaiseRunningInstance();
    CloseInstanceMutex();
    return 0;
  }

  PlatformSession platform;
  comlib::GdiplusSession gdiplus;
  {
    auto clock = std::make_unique<MainDialog_CL>(startupFlag);
    auto date = std::make_unique<DateDialog_CL>(startupFlag);
    // The date window finds the clock in the settings, so the clock comes first.
    // The loop ends when a window is destroyed; without a clock nothing could end it.
    if (clock->Create() != nullptr) {
      date->Create();
      RunMessageLoop();
    }
    date.reset();
    clock.reset();
  }
  return 0;
}

void RestartProcess(HWND clockWindow) {
  const std::wstring programPath = comlib::ProgramPath();
  wchar_t currentFolder[kPathRoom] = {};
  GetCurrentDirectoryW(kPathRoom, currentFolder);
  // Let go of the mutex first, or the new copy would take itself for a second start.
  CloseInstanceMutex();
  ShellExecuteW(nullptr, nullptr, programPath.c_str(), L"", currentFolder, SW_SHOWNORMAL);
  SendMessageW(clockWindow, WM_CLOSE, kCloseForRealCode, 0);
}
