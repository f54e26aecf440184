#include "app.h"

#include <commctrl.h>
#include <ole2.h>

#include <optional>
#include <string>

#include "app_ids.h"
#include "comlib/command_line.h"
#include "comlib/dll_function.h"
#include "comlib/font_family.h"
#include "comlib/gdiplus_flat.h"
#include "comlib/inifile.h"
#include "comlib/instance_mutex.h"
#include "comlib/log_file.h"
#include "comlib/program_path.h"
#include "comlib/run_at_startup.h"
#include "comlib/ui_text.h"
#include "comlib/unique_handle.h"
#include "data/face_measure.h"
#include "data/settings.h"
#include "product.h"
#include "view/display.h"
#include "view/face_window.h"
#include "view/group_windows.h"
#include "view/main_dialog.h"

namespace {

constexpr DWORD kCommonControlClasses =
    ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES;
constexpr DWORD kPathRoom = 260;

// Held for the whole life of the process; a restart hands it on without
// letting go.
InstanceMutex_CL& InstanceMutex() {
  static InstanceMutex_CL mutex(product::kInstanceMutexName);
  return mutex;
}

// True when this is the only running copy of the program, or the one a
// restart handed the instance to.
bool TakeSingleInstance(const CommandLine_CL& commandLine) {
  return InstanceMutex().Take(commandLine.ValueOf(commandline::kHandOverOption));
}

// Asks the running copy to show itself through its own show command, so
// that it paints and counts itself shown; it does not take the focus. Only
// its clock is asked: other windows (an Explorer window on the data folder,
// the date) may carry the same title. A start at sign-in asks nothing: the
// sign-in entry and Windows' own restart may both start a copy, and a clock
// set to start hidden stays hidden.
void ShowRunningInstance(bool startupFlag) {
  if (startupFlag) return;
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

// Starts a fresh copy of the program (in the current folder, with only the
// hand-over of the instance) and then closes the clock window for good,
// which ends this one. When the copy cannot be started, this one logs it and
// keeps running (false).
bool RestartProcess(HWND clockWindow) {
  wchar_t currentFolder[kPathRoom] = {};
  GetCurrentDirectoryW(kPathRoom, currentFolder);
  if (!InstanceMutex().StartHeir(comlib::ProgramPath(), commandline::kHandOverOption, currentFolder)) {
    // The program was moved, renamed or removed: this copy keeps running.
    HORAVEL_LOG(L"再起動に失敗しました (CreateProcess = %u): このまま動作を続けます。",
                static_cast<unsigned>(GetLastError()));
    return false;
  }
  SendMessageW(clockWindow, WM_CLOSE, kCloseForRealCode, 0);
  return true;
}

// The loop ends when one window is gone; the others still live and must go
// before the platform does.
void DestroyIfAlive(const MainWindowBase_CL& windowObject) {
  if (IsWindow(windowObject.Window())) DestroyWindow(windowObject.Window());
}

// Windows starts the program again, as at sign-in, after an update or an
// installer closed it; not after a crash or a hang.
void RegisterForRestart() {
  RegisterApplicationRestart(commandline::kStartupOption, RESTART_NO_CRASH | RESTART_NO_HANG);
}

// The installer runs the program for one step, whether a clock runs or not:
// on an uninstall this copy is going, and so is a sign-in entry that starts
// it; after an upgrade the copy that replaced the old one starts at sign-in
// as the old one did.
bool RanInstallerStep(const CommandLine_CL& commandLine) {
  if (commandLine.HasOption(commandline::kUninstallOption)) {
    ThisProgramAtStartup().RemoveIfThisProgram();
    return true;
  }
  if (commandLine.HasOption(commandline::kStartWithWindowsOption)) {
    ThisProgramAtStartup().Set(true);
    return true;
  }
  return false;
}

// The program from the platform's set-up to its clean shutdown: COM, OLE,
// the common controls, GDI+, the settings, the display, its first group's
// three windows and the windows of its groups on other monitors.
class HoravelRun {
 public:
  HoravelRun(bool startupFlag, VirtualDesktopQuery& desktop)
      : startupFlag_(startupFlag),
        platform_(std::in_place),
        gdiplus_(std::in_place),
        settings_(AppIni()),
        display_(settings_),
        clock_(settings_, display_, desktop, SystemTrayShell(), &RestartProcess),
        date_(display_),
        zones_(display_),
        groupWindows_(display_) {
    display_.SetGroupWindows(&groupWindows_);
    clock_.SetSessionEndAction([this] { EndPlatform(); });
  }
  HoravelRun(const HoravelRun&) = delete;
  HoravelRun& operator=(const HoravelRun&) = delete;
  // The objects go after their windows and the platform.
  ~HoravelRun() { EndPlatform(); }

  // The windows from creation until one of them is destroyed.
  void Run() {
    if (!gdiplus_->IsStarted()) return;
    LoadSettings();
    // The loop ends when a window is destroyed; without a clock nothing could end it.
    if (clock_.Create() == nullptr) return;
    date_.Create();
    zones_.Create();
    // Every face shows now, as the settings say; started at sign-in, either
    // section's wish to start hidden hides the program.
    const bool startHidden =
        startupFlag_ && (settings_.Clock().disp_startup_hidden != 0 || settings_.Date().disp_startup_hidden != 0);
    display_.Start(startHidden);
    RunMessageLoop();
  }

  // Runs once, whether the loop ended or the Windows session is ending
  // inside the clock's handler: the windows go (each lets go of its
  // picture), then the kept fonts, GDI+, OLE and COM. The window objects
  // stay until the run itself ends, so no handler loses its object.
  void EndPlatform() {
    if (!platform_) return;
    display_.TakeDownGroups();
    const MainWindowBase_CL* const faces[] = {&zones_, &date_, &clock_};
    for (const MainWindowBase_CL* face : faces) DestroyIfAlive(*face);
    ReleaseKeptFonts();
    comlib::ReleaseFallbackFamilies();
    // Nothing may outlive the GDI+ session; the log keeps the count for checking.
    HORAVEL_LOG(L"GDI+終了前のオブジェクト数 = %ld", comlib::LiveGdiplusObjects());
    gdiplus_.reset();
    platform_.reset();
  }

 private:
  // The data folder, the log, the file and every section, and the language
  // of every text from here on (the update notice's too), before any window.
  void LoadSettings() {
    settings_.Initialize();
    SetUiLanguage(ChooseUiLanguage(settings_.Clock().language, GetUserDefaultUILanguage()));
  }

  bool startupFlag_;
  std::optional<PlatformSession> platform_;
  std::optional<comlib::GdiplusSession> gdiplus_;
  Settings_CL settings_;
  Display_CL display_;
  MainDialog_CL clock_;
  DateDialog_CL date_;
  ZoneDialog_CL zones_;
  GroupWindows_CL groupWindows_;
};

}  // namespace

int RunHoravel(VirtualDesktopQuery& desktop) {
  // Before anything could load a library by name.
  RestrictLibrarySearch();
  CommandLine_CL commandLine;
  commandLine.Parse();
  const bool startupFlag = commandLine.HasStartupOption();
  if (RanInstallerStep(commandLine)) return 0;

  if (!TakeSingleInstance(commandLine)) {
    ShowRunningInstance(startupFlag);
    InstanceMutex().Release();
    return 0;
  }

  RegisterForRestart();
  HoravelRun run(startupFlag, desktop);
  run.Run();
  return 0;
}
