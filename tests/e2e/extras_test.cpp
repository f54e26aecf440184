// Beyond the clock: making way for full-screen programs, starting with
// Windows, the hot key and portable settings.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "comlib/ui_text.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"

using namespace testing_support;

namespace {

constexpr DWORD kTimeoutMs = 15000;
// Several clock ticks: long enough for a change that must not come.
constexpr DWORD kQuietMs = 2000;
// The clock display page's controls in creation order: after the designed
// ones (the scaling test checks that they stand inside the frame).
constexpr int kFullScreenBox = 19;
constexpr int kHotKeyField = 22;
constexpr int kHotKeyStatus = 23;
constexpr int kClearHotKeyButton = 24;

RECT PrimaryMonitor() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// A borderless window of the test program over exactly the rectangle, as a
// film player or a game shows itself.
struct CoveringWindow {
  explicit CoveringWindow(const RECT& r)
      : window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, nullptr, nullptr)) {}
  ~CoveringWindow() { DestroyWindow(window); }
  HWND window;
};

void PressCtrlAlt(WORD letter) {
  const WORD keys[] = {VK_CONTROL, VK_MENU, letter};
  std::vector<INPUT> inputs;
  for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
    for (WORD key : keys) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
      inputs.push_back(input);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class Extras : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    SetProgramSetting(L"CLOCK_DISP", L"disp_offset_y", 200);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel");
  }
  void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel"); }
};

}  // namespace

TEST_F(Extras, EachClockMakesWayForAFullScreenWindowOnItsOwnMonitorOnlyAndHidesWithTheIcon) {
  // A clock on each of the two monitors of the display.
  SetProgramSetting(L"CLOCK_DISP", L"display_all", 1);
  Start();
  ASSERT_TRUE(Shown());
  const std::vector<HWND> groups = FindTopLevelWindows(L"Horavel", program_.Id(), L"HoravelGroupClockClass");
  ASSERT_EQ(1u, groups.size());
  const HWND otherClock = groups.front();
  EXPECT_TRUE(IsWindowVisible(otherClock));
  ClickTrayIcon(clock_);
  RoundTrip(clock_);
  EXPECT_TRUE(Hidden() && !IsWindowVisible(otherClock));
  ClickTrayIcon(clock_);
  RoundTrip(clock_);
  EXPECT_TRUE(Shown() && IsWindowVisible(otherClock));
  {
    CoveringWindow film(PrimaryMonitor());
    EXPECT_TRUE(WaitUntil([&] { return Hidden(); }, kTimeoutMs));
    EXPECT_TRUE(IsWindowVisible(otherClock));
  }
  EXPECT_TRUE(WaitUntil([&] { return Shown(); }, kTimeoutMs));

  // The second monitor of the two-screen display is smaller than the first.
  RECT other{};
  EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR monitor, HDC, LPRECT, LPARAM found) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
          *reinterpret_cast<RECT*>(found) = info.rcMonitor;
        }
        return TRUE;
      }, reinterpret_cast<LPARAM>(&other));
  const RECT primary = PrimaryMonitor();
  ASSERT_FALSE(IsRectEmpty(&other));
  ASSERT_FALSE(EqualRect(&other, &primary));
  CoveringWindow onOtherMonitor(other);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(otherClock); }, kTimeoutMs));
  EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(clock_); }, kQuietMs));
}

TEST_F(Extras, ClockPageBoxesSwitchMakingWayOffAndWriteTheRunValue) {
  // An entry that starts a copy elsewhere does not start this one.
  const std::wstring elsewhere = L"\"C:\\Old\\Horavel.exe\" -startup";
  RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel", REG_SZ, elsewhere.c_str(),
                  static_cast<DWORD>((elsewhere.size() + 1) * sizeof(wchar_t)));
  Start();
  HWND sheet = OpenSettingsSheet(clock_, program_.Id());
  ASSERT_NE(nullptr, sheet);
  HWND page = ShowPage(program_.Id(), sheet, kClockPage);
  HWND fullScreenBox = PageControl(page, kFullScreenBox);
  HWND startBox = PageControl(page, kStartWithWindowsBox);
  EXPECT_EQ(L"全画面のアプリ表示中は時計を隠す", TextOf(fullScreenBox));
  EXPECT_EQ(L"Windows起動時に自動で起動する", TextOf(startBox));

  EXPECT_EQ(BST_CHECKED, SendMessageW(fullScreenBox, BM_GETCHECK, 0, 0));
  EXPECT_EQ(BST_UNCHECKED, SendMessageW(startBox, BM_GETCHECK, 0, 0));
  const std::wstring command = L"\"" + HoravelPath() + L"\" -startup";
  ClickBox(startBox);
  EXPECT_EQ(command, RunValue());
  ClickBox(startBox);
  EXPECT_EQ(L"<none>", RunValue());
  ClickBox(startBox);
  ClickBox(fullScreenBox);
  EXPECT_EQ(L"0", ProgramSettingOnceWritten(L"CLOCK_DISP", L"hide_on_fullscreen", L"0"));
  ASSERT_TRUE(PressSheetButton(sheet, clock_, PSBTN_OK));
  EXPECT_EQ(command, RunValue());

  CoveringWindow film(PrimaryMonitor());
  EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(clock_); }, kQuietMs));
}

TEST_F(Extras, HotKeyTogglesTheClockATakenKeyIsShownAsTakenAndThePageChangesIt) {
  Start();
  PressCtrlAlt('H');
  EXPECT_TRUE(WaitUntil([&] { return Hidden(); }, kTimeoutMs));
  PressCtrlAlt('H');
  EXPECT_TRUE(WaitUntil([&] { return Shown(); }, kTimeoutMs));
  program_.End();

  HWND taker = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(RegisterHotKey(taker, 1, MOD_CONTROL | MOD_ALT, 'H'));
  Start();
  EXPECT_EQ(1u, CountOccurrences(ProgramLog(), L"は他のプログラムが使用中です"));
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(Shown());

  HWND sheet = OpenSettingsSheet(clock_, program_.Id());
  HWND page = ShowPage(program_.Id(), sheet, kClockPage);
  ASSERT_NE(nullptr, page);
  HWND field = PageControl(page, kHotKeyField);
  HWND status = PageControl(page, kHotKeyStatus);
  EXPECT_TRUE(IsWindowVisible(status));
  EXPECT_EQ(UiText(TextId::kHotKeyTaken), TextOf(status));
  auto toggles = [&](WORD letter) {
    PressCtrlAlt(letter);
    const bool hidden = WaitUntil([&] { return Hidden(); }, kTimeoutMs);
    PressCtrlAlt(letter);
    return hidden && WaitUntil([&] { return Shown(); }, kTimeoutMs);
  };

  // Another key works at once, pressed as the keyboard sends it.
  PressKeys(field, {VK_CONTROL, VK_MENU, 'J'});
  EXPECT_EQ(L"Ctrl+Alt+J", ProgramSettingOnceWritten(L"CLOCK_DISP", L"hotkey", L"Ctrl+Alt+J"));
  EXPECT_FALSE(IsWindowVisible(status));
  EXPECT_TRUE(toggles('J'));
  // The field holds no key while a modifier alone is down, nor after
  // Backspace; a key needs Ctrl, Alt or Win; copy has a reason of its own.
  // Each leaves the key in effect as it was, and the page says so.
  const std::wstring kept = UiTextWith(TextId::kHotKeyKept, {L"Ctrl+Alt+J"});
  const std::pair<std::vector<UINT>, std::wstring> refused[] = {
      {{VK_CONTROL}, kept}, {{VK_SHIFT, 'A'}, UiText(TextId::kHotKeyRefused)}, {{VK_BACK}, kept},
      {{VK_CONTROL, 'C'}, UiText(TextId::kHotKeyReserved)}, {{VK_CONTROL}, kept}};
  for (const auto& [keys, reason] : refused) {
    PressKeys(field, keys);
    EXPECT_EQ(reason, TextOf(status)) << keys.back();
  }
  ASSERT_TRUE(PressSheetButton(sheet, clock_, PSBTN_OK));
  EXPECT_EQ(L"Ctrl+Alt+J", ProgramSetting(L"CLOCK_DISP", L"hotkey"));
  EXPECT_TRUE(toggles('J'));

  // Only the button switches the key off, at once; Cancel puts it back.
  sheet = OpenSettingsSheet(clock_, program_.Id());
  page = ShowPage(program_.Id(), sheet, kClockPage);
  ClickBox(PageControl(page, kClearHotKeyButton));
  EXPECT_EQ(L"", ProgramSettingOnceWritten(L"CLOCK_DISP", L"hotkey", L""));
  EXPECT_FALSE(IsWindowVisible(PageControl(page, kHotKeyStatus)));
  PressCtrlAlt('J');
  EXPECT_FALSE(WaitUntil([&] { return Hidden(); }, kQuietMs));
  ASSERT_TRUE(PressSheetButton(sheet, clock_, PSBTN_CANCEL));
  EXPECT_EQ(L"Ctrl+Alt+J", ProgramSetting(L"CLOCK_DISP", L"hotkey"));
  EXPECT_TRUE(toggles('J'));
  DestroyWindow(taker);
}

TEST_F(Extras, SettingsFileBesideTheProgramIsTheOneReadAndWritten) {
  TempFolder stick;
  const std::wstring portableIni = stick.File(L"Horavel.ini");
  ASSERT_TRUE(CopyFileW(HoravelPath().c_str(), stick.File(L"Horavel.exe").c_str(), FALSE));
  WriteBytes(portableIni, std::vector<unsigned char>{0xFF, 0xFE});
  WritePrivateProfileStringW(L"CLOCK_DISP", L"disp_offset_y", L"300", portableIni.c_str());
  WritePrivateProfileStringW(L"VERSION", L"notify", L"1", portableIni.c_str());

  Start(L"", stick.File(L"Horavel.exe"));
  const RECT fromPortable = WindowRect(clock_);
  // A change is written beside the program, not to Documents.
  // Sent, not posted: the end that follows is sent too, and a sent message
  // overtakes a posted one.
  SendMessageW(clock_, WM_COMMAND, kCommandFirstDisplay, 0);
  program_.End();
  wchar_t written[16] = {};
  GetPrivateProfileStringW(L"CLOCK_DISP", L"display_index", L"", written, 16, portableIni.c_str());
  EXPECT_EQ(std::wstring(L"0"), written);
  EXPECT_EQ(L"", ProgramSetting(L"CLOCK_DISP", L"display_index"));
  EXPECT_TRUE(FileExists(stick.File(L"log.txt")));
  EXPECT_FALSE(FileExists(ProgramLogPath()));

  // The copy without a file beside it reads Documents: 100 pixels higher.
  Start();
  EXPECT_EQ(fromPortable.top - 100, WindowRect(clock_).top);
}
