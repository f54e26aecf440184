#include "app.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>

#include "app_ids.h"
#include "comlib/command_line.h"
#include "comlib/font_family.h"
#include "comlib/gdiplus_flat.h"
#include "comlib/log_file.h"
#include "comlib/program_path.h"
#include "comlib/unique_handle.h"
#include "data/placement.h"
#include "product.h"
#include "view/date_dialog.h"
#include "view/display.h"
#include "view/main_dialog.h"

namespace {

constexpr DWORD kCommonControlClasses =
    ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES;
constexpr DWORD kPathRoom = 260;
// ShellExecuteW reports failure with a value of 32 or less.
constexpr INT_PTR kShellExecuteErrorLimit = 32;

// Held for the whole life of the process, and let go before a restart.
comlib::UniqueKernelHandle& InstanceMutex() {
  static comlib::UniqueKernelHandle mutex;
  return mutex;
}

// True when this is the only running copy of the program.
bool TakeSingleInstance() {
  InstanceMutex().reset(CreateMutexW(nullptr, TRUE, product::kInstanceMutexName));
  return GetLastError() != ERROR_ALREADY_EXISTS;
}

// Asks the running copy to show itself through its own show command, so
// that it paints and counts itself shown; it does not take the focus. Only
// its clock is asked: other windows (an Explorer window on the data folder,
// the date) may carry the same title.
void ShowRunningInstance() {
  HWND running = FindWindowW(MainDialog_CL::kClassName, product::kWindowTitle);
  if (running != nullptr) PostMessageW(running, WM_COMMAND, kCommandShow, 0);
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

// Starts a fresh copy of the program (without arguments, in the current
// folder) and then closes the clock window for good, which ends this one.
// When the copy cannot be started, this one logs it and keeps running
// (false).
bool RestartProcess(HWND clockWindow) {
  const std::wstring programPath = comlib::ProgramPath();
  wchar_t currentFolder[kPathRoom] = {};
  GetCurrentDirectoryW(kPathRoom, currentFolder);
  // Let go of the mutex first, or the new copy would take itself for a second start.
  InstanceMutex().reset();
  const auto launched = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, nullptr, programPath.c_str(), L"", currentFolder, SW_SHOWNORMAL));
  if (launched <= kShellExecuteErrorLimit) {
    // The program was moved, renamed or removed: this copy keeps running.
    TakeSingleInstance();
    HORAVEL_LOG(L"再起動に失敗しました (ShellExecute = %d): このまま動作を続けます。", static_cast<int>(launched));
    return false;
  }
  SendMessageW(clockWindow, WM_CLOSE, kCloseForRealCode, 0);
  return true;
}

// The loop ends when either window is gone; the other one still lives and
// must go before its object does.
void DestroyIfAlive(const MainWindowBase_CL& windowObject) {
  if (IsWindow(windowObject.Window())) DestroyWindow(windowObject.Window());
}

// Both windows from creation to destruction; their objects are deleted
// after their windows, and with them every GDI+ object they hold.
void RunWindows(bool startupFlag, VirtualDesktopQuery& desktop) {
  auto clock = std::make_unique<MainDialog_CL>(startupFlag, desktop, SystemTrayShell(), &RestartProcess);
  auto date = std::make_unique<DateDialog_CL>(startupFlag);
  // The date window finds the clock in the settings, so the clock comes first.
  // The loop ends when a window is destroyed; without a clock nothing could end it.
  if (clock->Create() != nullptr) {
    if (date->Create() == nullptr) {
      // The date window's creation is what shows the clock; without it the
      // clock shows itself.
      display::Apply(display::kShowing);
    }
    RunMessageLoop();
  }
  DestroyIfAlive(*date);
  DestroyIfAlive(*clock);
  date.reset();
  clock.reset();
}

}  // namespace

int RunHoravel(VirtualDesktopQuery& desktop) {
  CommandLine_CL commandLine;
  commandLine.Parse();
  const bool startupFlag = commandLine.HasStartupOption();

  if (!TakeSingleInstance()) {
    ShowRunningInstance();
    InstanceMutex().reset();
    return 0;
  }

  PlatformSession platform;
  comlib::GdiplusSession gdiplus;
  RunWindows(startupFlag, desktop);
  ReleaseKeptFonts();
  comlib::ReleaseFallbackFamilies();
  // Nothing may outlive the GDI+ session; the log keeps the count for checking.
  HORAVEL_LOG(L"GDI+終了前のオブジェクト数 = %ld", comlib::LiveGdiplusObjects());
  return 0;
}
