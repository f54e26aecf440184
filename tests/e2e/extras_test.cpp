// What the program does beyond its clock: making way for full-screen
// programs, starting with Windows, the hot key and portable settings.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_data.h"
#include "support/program_process.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using namespace testing_support;

namespace {

constexpr DWORD kSheetTimeoutMs = 15000;
constexpr DWORD kChangeTimeoutMs = 10000;
// Several clock ticks: long enough for a change that must not come.
constexpr DWORD kQuietMs = 2000;
constexpr UINT kSettingsCommand = 130;
constexpr wchar_t kClockPage[] = L"表示設定";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kMadeWayLine[] = L"全画面表示のアプリを検出";
constexpr wchar_t kHotKeyTakenLine[] = L"は他のプログラムが使用中です";

// The clock display page's controls in creation order.
enum ClockPageControl {
  kTransparencyBar = 17,
  kFullScreenBox = 18,
  kStartWithWindowsBox = 19,
  kFrame = 20,
};

std::vector<RECT> Monitors() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM list) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcMonitor);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

RECT PrimaryMonitor() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// A borderless window of the test program over exactly the given rectangle,
// as a film player or a game shows itself.
class CoveringWindow {
 public:
  explicit CoveringWindow(const RECT& rect)
      : window_(CreateWindowExW(0, L"STATIC", L"full screen", WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr)) {
    PumpMessages();
  }
  ~CoveringWindow() { Close(); }
  CoveringWindow(const CoveringWindow&) = delete;
  CoveringWindow& operator=(const CoveringWindow&) = delete;

  void Close() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }
  HWND Window() const { return window_; }

 private:
  HWND window_;
};

std::wstring RunValue() {
  wchar_t value[1024] = {};
  DWORD bytes = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel", RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) {
    return L"<none>";
  }
  return value;
}

void SetRunValue(const std::wstring& command) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel", REG_SZ, command.c_str(),
                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

void PressKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    inputs.push_back(down);
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = *key;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(up);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class Extras : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramData();
    SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", 200);
    SetProgramSetting(L"CLOCK_DISP", L"faint_on_hover", 0);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel");
  }
  void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel"); }

  void Start() {
    clock_ = StartAndWait(program_);
    ASSERT_NE(nullptr, clock_);
    date_ = FindDateWindow(program_.Id());
  }

  bool BothShown() const { return IsWindowVisible(clock_) && IsWindowVisible(date_); }
  bool BothHidden() const { return !IsWindowVisible(clock_) && !IsWindowVisible(date_); }

  ProgramProcess program_;
  HWND clock_ = nullptr;
  HWND date_ = nullptr;
};

}  // namespace

TEST_F(Extras, ClockMakesWayForAFullScreenWindowOnItsOwnMonitorOnly) {
  Start();
  ASSERT_TRUE(BothShown());
  {
    CoveringWindow film(PrimaryMonitor());
    EXPECT_TRUE(WaitUntil([&] { return BothHidden(); }, kChangeTimeoutMs));
    film.Close();
    EXPECT_TRUE(WaitUntil([&] { return BothShown(); }, kChangeTimeoutMs));
  }
  EXPECT_EQ(1u, CountOccurrences(ProgramLog(), kMadeWayLine));

  // A window as large as the other monitor of the two-screen display.
  for (const RECT& monitor : Monitors()) {
    if (SameRect(monitor, PrimaryMonitor())) continue;
    CoveringWindow other(monitor);
    EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(clock_); }, kQuietMs));
  }

  // Hidden by the user, the clock stays hidden when the film ends.
  PostMessageW(clock_, WM_USER + 0x300, 0, WM_LBUTTONDOWN);
  RoundTrip(clock_);
  ASSERT_TRUE(BothHidden());
  {
    CoveringWindow film(PrimaryMonitor());
    WaitUntil([] { return false; }, kQuietMs);
  }
  EXPECT_FALSE(WaitUntil([&] { return IsWindowVisible(clock_) || IsWindowVisible(date_); }, kQuietMs));
}

TEST_F(Extras, ClockPageBoxesSwitchMakingWayAndWriteTheRunValue) {
  // An entry for a copy that lies elsewhere does not start this one.
  SetRunValue(L"\"C:\\Old\\Horavel.exe\" -startup");
  Start();
  PostMessageW(clock_, WM_COMMAND, kSettingsCommand, 0);
  HWND sheet = WaitForSettingsSheet(program_.Id(), kSheetTimeoutMs);
  ASSERT_NE(nullptr, sheet);
  HWND page = ShowPage(program_.Id(), sheet, kClockPage);
  ASSERT_NE(nullptr, page);
  HWND fullScreenBox = PageControl(page, kFullScreenBox);
  HWND startBox = PageControl(page, kStartWithWindowsBox);
  ASSERT_NE(nullptr, fullScreenBox);
  ASSERT_NE(nullptr, startBox);
  EXPECT_EQ(L"全画面のアプリ表示中は時計を隠す", TextOf(fullScreenBox));
  EXPECT_EQ(L"Windows起動時に自動で起動する", TextOf(startBox));

  // Below the designed controls, inside their frame.
  const RECT bar = WindowRect(PageControl(page, kTransparencyBar));
  const RECT frame = WindowRect(PageControl(page, kFrame));
  for (HWND box : {fullScreenBox, startBox}) {
    const RECT rect = WindowRect(box);
    EXPECT_GE(rect.top, bar.bottom);
    EXPECT_GE(rect.left, frame.left);
    EXPECT_LE(rect.bottom, frame.bottom);
  }

  EXPECT_EQ(BST_CHECKED, SendMessageW(fullScreenBox, BM_GETCHECK, 0, 0));
  EXPECT_EQ(BST_UNCHECKED, SendMessageW(startBox, BM_GETCHECK, 0, 0));
  ClickBox(startBox);
  EXPECT_EQ(L"\"" + HoravelPath() + L"\" -startup", RunValue());
  ClickBox(startBox);
  EXPECT_EQ(L"<none>", RunValue());
  ClickBox(startBox);

  ClickBox(fullScreenBox);
  EXPECT_EQ(L"0", ProgramSetting(L"CLOCK_DISP", L"hide_on_fullscreen"));
  PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  ASSERT_TRUE(WaitUntil([&] { return FindSettingsSheets(program_.Id()).empty(); }, kSheetTimeoutMs));
  EXPECT_EQ(L"\"" + HoravelPath() + L"\" -startup", RunValue());

  CoveringWindow film(PrimaryMonitor());
  EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(clock_); }, kQuietMs));
}

TEST_F(Extras, HotKeyTogglesTheClockAndATakenKeyIsOnlyLogged) {
  Start();
  ASSERT_TRUE(BothShown());
  PressKeys({VK_CONTROL, VK_MENU, 'H'});
  EXPECT_TRUE(WaitUntil([&] { return BothHidden(); }, kChangeTimeoutMs));
  PressKeys({VK_CONTROL, VK_MENU, 'H'});
  EXPECT_TRUE(WaitUntil([&] { return BothShown(); }, kChangeTimeoutMs));
  program_.End();

  HWND taker = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(RegisterHotKey(taker, 1, MOD_CONTROL | MOD_ALT, 'H'));
  Start();
  EXPECT_EQ(1u, CountOccurrences(ProgramLog(), kHotKeyTakenLine));
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(BothShown());
  UnregisterHotKey(taker, 1);
  DestroyWindow(taker);
}

TEST_F(Extras, SettingsFileBesideTheProgramIsTheOneReadAndWritten) {
  TempFolder stick;
  const std::wstring program = stick.File(L"Horavel.exe");
  ASSERT_TRUE(CopyFileW(HoravelPath().c_str(), program.c_str(), FALSE));
  const std::wstring portableIni = stick.File(L"Horavel.ini");
  WriteBytes(portableIni, std::vector<unsigned char>{0xFF, 0xFE});
  WritePrivateProfileStringW(L"CLOCK_DISP", L"disp_offset_y", L"300", portableIni.c_str());
  WritePrivateProfileStringW(L"VERSION", L"notify", L"1", portableIni.c_str());
  WritePrivateProfileStringW(L"CLOCK_DISP", L"disp_offset_y", L"100", ProgramSettingsPath().c_str());

  program_.SetProgramPath(program);
  Start();
  const RECT fromPortable = WindowRect(clock_);
  // A change is written to the file beside the program, not to Documents.
  PostMessageW(clock_, WM_COMMAND, 200, 0);
  RoundTrip(clock_);
  program_.End();
  wchar_t written[16] = {};
  GetPrivateProfileStringW(L"CLOCK_DISP", L"display_index", L"", written, 16, portableIni.c_str());
  EXPECT_EQ(std::wstring(L"0"), written);
  EXPECT_EQ(L"", ProgramSetting(L"CLOCK_DISP", L"display_index"));
  EXPECT_TRUE(FileExists(stick.File(L"log.txt")));
  EXPECT_FALSE(FileExists(ProgramLogPath()));

  // The copy without its file beside it reads Documents: 200 pixels higher.
  program_.SetProgramPath(HoravelPath());
  Start();
  EXPECT_EQ(fromPortable.top - 200, WindowRect(clock_).top);
}
