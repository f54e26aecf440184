// The full-screen test, the hot-key text and the Run value's command.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comlib/full_screen.h"
#include "comlib/hot_key.h"
#include "comlib/run_at_startup.h"

namespace {

constexpr DWORD kOwnProcess = 100;
constexpr DWORD kOtherProcess = 200;
constexpr RECT kMonitor{0, 0, 1280, 800};
constexpr RECT kOtherMonitor{1280, 0, 2304, 768};

fullscreen::WindowFacts Window(RECT rect, DWORD process = kOtherProcess, const wchar_t* className = L"Player") {
  fullscreen::WindowFacts facts;
  facts.rect = rect;
  facts.processId = process;
  facts.className = className;
  facts.visible = true;
  return facts;
}

}  // namespace

TEST(FullScreen, OnlyAnotherProgramsVisibleWindowOfExactlyTheMonitorCounts) {
  fullscreen::WindowFacts hidden = Window(kMonitor), minimised = hidden, cloaked = hidden;
  hidden.visible = false;
  minimised.minimised = true;
  cloaked.cloaked = true;
  struct Case {
    const char* name;
    std::vector<fullscreen::WindowFacts> windows;
    bool covered;
  };
  const Case cases[] = {
      {"no windows", {}, false},
      {"a film on the monitor", {Window(kMonitor)}, true},
      {"behind a small window", {Window({10, 10, 300, 200}), Window(kMonitor)}, true},
      {"the clock's own window", {Window(kMonitor, kOwnProcess)}, false},
      {"the desktop", {Window(kMonitor, kOtherProcess, L"Progman"), Window(kMonitor, kOtherProcess, L"WorkerW")}, false},
      {"the taskbar", {Window(kMonitor, kOtherProcess, L"Shell_TrayWnd")}, false},
      {"on the other monitor", {Window(kOtherMonitor)}, false},
      {"maximised with borders", {Window({-8, -8, 1288, 808})}, false},
      {"maximised to the work area", {Window({0, 0, 1280, 760})}, false},
      {"hidden", {hidden}, false},
      {"minimised", {minimised}, false},
      {"cloaked", {cloaked}, false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(test.covered, fullscreen::IsCoveredByOtherProgram(kMonitor, test.windows, kOwnProcess)) << test.name;
  }
}

TEST(HotKeyText, ParsesModifiersAndOneKeyAndRejectsTheRest) {
  using hotkey::ParseStatus;
  const struct {
    const wchar_t* text;
    UINT modifiers;
    UINT key;
  } valid[] = {{L"Ctrl+Alt+H", MOD_CONTROL | MOD_ALT, 'H'},
               {L" control + shift + f12 ", MOD_CONTROL | MOD_SHIFT, VK_F12},
               {L"Win+Alt+7", MOD_WIN | MOD_ALT, '7'},
               {L"Alt+PageDown", MOD_ALT, VK_NEXT}};
  for (const auto& test : valid) {
    const hotkey::ParseResult result = hotkey::Parse(test.text);
    EXPECT_EQ(ParseStatus::kValid, result.status) << ::testing::PrintToString(std::wstring(test.text));
    EXPECT_EQ(test.modifiers, result.keys.modifiers);
    EXPECT_EQ(test.key, result.keys.virtualKey);
    const hotkey::ParseResult again = hotkey::Parse(hotkey::Format(result.keys));
    EXPECT_EQ(result.keys.modifiers, again.keys.modifiers) << ::testing::PrintToString(hotkey::Format(result.keys));
    EXPECT_EQ(result.keys.virtualKey, again.keys.virtualKey);
  }
  EXPECT_EQ(ParseStatus::kOff, hotkey::Parse(L"  ").status);
  // Shift alone holds no key back from typing.
  for (const wchar_t* text :
       {L"H", L"Shift+A", L"Ctrl+Alt", L"Ctrl+", L"Ctrl+Ctrl+H", L"Hyper+H", L"Ctrl+F25", L"Ctrl+HH"}) {
    EXPECT_EQ(ParseStatus::kInvalid, hotkey::Parse(text).status) << ::testing::PrintToString(std::wstring(text));
  }
  for (const wchar_t* text : {L"ctrl+c", L"Alt+F4", L"Win+L", L"Alt+Shift+Tab", L"Ctrl+Alt+Delete"}) {
    EXPECT_EQ(ParseStatus::kReserved, hotkey::Parse(text).status) << ::testing::PrintToString(std::wstring(text));
  }
  EXPECT_EQ(L"Ctrl+Alt+H", hotkey::Format(hotkey::Parse(L"alt + ctrl + h").keys));
  EXPECT_EQ(L"", hotkey::Format(hotkey::KeyCombination{}));
}

// What the hot-key control reports (HKM_GETHOTKEY), what the page makes of
// it, and the text stored for it.
TEST(HotKeyField, TakesWhatWasPressedAndRefusesWhatCannotOrMustNotBeAHotKey) {
  using hotkey::FieldVerdict;
  constexpr FieldVerdict kNeedsModifier = FieldVerdict::kNeedsModifier;
  constexpr FieldVerdict kReserved = FieldVerdict::kReserved;
  const BYTE ctrlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
  const struct {
    BYTE flags;
    BYTE key;
    FieldVerdict verdict;
    const wchar_t* stored = nullptr;  // for the keys that are taken
  } cases[] = {
      {ctrlAlt, 'H', FieldVerdict::kValid, L"Ctrl+Alt+H"},
      {ctrlAlt | HOTKEYF_EXT, VK_HOME, FieldVerdict::kValid, L"Ctrl+Alt+Home"},
      {HOTKEYF_CONTROL | HOTKEYF_SHIFT, 'C', FieldVerdict::kValid, L"Ctrl+Shift+C"},
      // No key yet: not "no hot key".
      {0, 0, FieldVerdict::kIncomplete},          {HOTKEYF_CONTROL, 0, FieldVerdict::kIncomplete},
      {HOTKEYF_EXT, VK_HOME, kNeedsModifier},     {HOTKEYF_EXT, VK_DELETE, kNeedsModifier},
      {HOTKEYF_SHIFT, 'A', kNeedsModifier},
      {ctrlAlt, VK_NUMPAD1, kNeedsModifier},      {ctrlAlt, VK_OEM_1, kNeedsModifier},
      {HOTKEYF_CONTROL, 'C', kReserved},          {HOTKEYF_CONTROL, 'V', kReserved},
      {HOTKEYF_CONTROL | HOTKEYF_SHIFT, 'Z', kReserved}, {HOTKEYF_ALT, VK_F4, kReserved},
      {HOTKEYF_ALT, VK_TAB, kReserved},           {HOTKEYF_CONTROL, VK_ESCAPE, kReserved},
  };
  for (const auto& test : cases) {
    const hotkey::KeyCombination keys = hotkey::FromHotKeyControl(MAKEWORD(test.key, test.flags));
    EXPECT_EQ(test.verdict, hotkey::CheckFieldKeys(keys)) << int{test.key} << " " << int{test.flags};
    if (test.stored == nullptr) continue;
    EXPECT_EQ(test.stored, hotkey::Format(keys));
    // Shown again in the field as it was pressed.
    EXPECT_EQ(MAKEWORD(test.key, test.flags), hotkey::ToHotKeyControl(keys)) << test.stored;
  }
}

// The uninstall removes a value that runs this program, whatever its option.
TEST(RunAtStartup, CommandStartsThisProgramOnlyWithItsPathAndTheOption) {
  const std::wstring program = L"C:\\Tools\\Horavel\\Horavel.exe";
  EXPECT_EQ(L"\"C:\\Tools\\Horavel\\Horavel.exe\" -startup", startup::RunCommand(program));
  struct Case {
    const wchar_t* command;
    bool starts;
    bool names;
  };
  const Case cases[] = {
      {L"\"C:\\Tools\\Horavel\\Horavel.exe\" -startup", true, true},
      {L"\"c:\\tools\\horavel\\HORAVEL.EXE\" /Startup", true, true},
      {L"C:\\Tools\\Horavel\\Horavel.exe -startup", true, true},
      {L"\"C:\\Tools\\Horavel\\Horavel.exe\"", false, true},
      {L"\"D:\\Old\\Horavel.exe\" -startup", false, false},
      {L"\"C:\\Tools\\Horavel\\Horavel.exe.bak\" -startup", false, false},
      {L"", false, false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(test.starts, startup::StartsProgram(test.command, program))
        << ::testing::PrintToString(std::wstring(test.command));
    EXPECT_EQ(test.names, startup::NamesProgram(test.command, program))
        << ::testing::PrintToString(std::wstring(test.command));
  }
}
