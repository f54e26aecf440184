#pragma once
// Driving the settings sheet of a running Horavel.exe from a test, with the
// messages a user's clicks would cause.

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

constexpr DWORD kSheetTimeoutMs = 15000;
// How long a change made on a page may take to reach the screen or the file.
constexpr DWORD kChangeTimeoutMs = 10000;

// The pages' tab titles, in tab order.
constexpr wchar_t kClockPage[] = L"表示設定";
constexpr wchar_t kClockFontPage[] = L"フォント設定";
constexpr wchar_t kClockColourPage[] = L"カラー設定";
constexpr wchar_t kDatePage[] = L"表示設定(日付)";
constexpr wchar_t kDateFontPage[] = L"フォント設定(日付)";
constexpr wchar_t kDateColourPage[] = L"カラー設定(日付)";
constexpr wchar_t kZonePage[] = L"世界時計";
constexpr wchar_t kTimeSyncPage[] = L"時刻補正";
constexpr wchar_t kVersionPage[] = L"バージョン情報";

// Controls in the order the pages create them.
enum ClockPageControl {
  kHideClockBox = 0,
  kSecondsBox = 2,
  kMonitorList = 9,
  kEveryDisplayBox = 10,
  kCornerList = 12,
  kDrawTypeList = 7,
  kHorizontalLabel = 13,
  kHorizontalBar = 14,
  kTransparencyBar = 18,
  kStartWithWindowsBox = 20,
};
// A place's row on the world clocks' page: its box, label caption, label
// field and zone list, four controls a place.
enum ZonePageControl {
  kPlaceShowBox = 0,
  kPlaceLabelField = 2,
  kPlaceZoneList = 3,
  kControlsPerPlace = 4,
};
enum DatePageControl {
  kHideDateBox = 0,
  kFormatList = 3,
  kDateHorizontalBar = 7,
  kDateVerticalBar = 9,
};

// The program's open settings sheets, captioned in this test program's language.
std::vector<HWND> FindSettingsSheets(DWORD processId);
// Waits for exactly one sheet and returns it, or null.
HWND WaitForSettingsSheet(DWORD processId, DWORD timeoutMs);
// Opens the settings with the clock's command and waits for the sheet.
HWND OpenSettingsSheet(HWND clock, DWORD processId);
// Posts what closes a sheet (a button's press, the close box's command) and
// returns whether the sheet went in time, once the clock has also handled
// its closing: the settings are written back after the sheet has gone.
bool CloseSheet(HWND sheet, HWND clock, UINT message, WPARAM wParam);
bool PressSheetButton(HWND sheet, HWND clock, int button);

// The sheet's tab titles in order, read from the program's own memory.
std::vector<std::wstring> TabTitles(DWORD processId, HWND sheet);
// Shows the page with this tab title and returns it, or null.
HWND ShowPage(DWORD processId, HWND sheet, const std::wstring& title);

// A page's control by its place in creation order (the factory numbers
// controls from 0x1100), on the page or on its scroll panel.
HWND PageControl(HWND page, int creationIndex);
std::wstring TextOf(HWND window);
// Asked of the control itself: GetWindowText gives only the caption of
// another process's window, and an edit keeps its text elsewhere.
std::wstring ControlText(HWND control);

void ClickBox(HWND box);
// Sends the keys down in order and up in reverse, as a keyboard would to the focused field.
void PressKeys(HWND field, const std::vector<UINT>& keys);
void ChooseItem(HWND list, int index);
void MoveBar(HWND bar, int position);

// Opens the colour picker from a colour page's button, checks that it opens
// on `current`, chooses `chosen`, presses OK and waits until the page has
// stored it.
void PickColour(DWORD processId, HWND sheet, HWND button, COLORREF current, COLORREF chosen);

}  // namespace testing_support
