#pragma once
// Driving the settings sheet of a running Horavel.exe from a test, with the
// messages a user's clicks would cause.

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

constexpr wchar_t kSheetCaption[] = L"アプリ設定";

// The program's open settings sheets.
std::vector<HWND> FindSettingsSheets(DWORD processId);
// Waits for exactly one sheet and returns it, or null.
HWND WaitForSettingsSheet(DWORD processId, DWORD timeoutMs);

// The sheet's tab titles in order, read from the program's own memory.
std::vector<std::wstring> TabTitles(DWORD processId, HWND sheet);
// Shows the page with this tab title and returns it, or null.
HWND ShowPage(DWORD processId, HWND sheet, const std::wstring& title);

// A page's control by its place in creation order (the factory numbers
// controls from 0x1100).
HWND PageControl(HWND page, int creationIndex);
std::wstring TextOf(HWND window);

void ClickBox(HWND box);
void ChooseItem(HWND list, int index);
void MoveBar(HWND bar, int position);

}  // namespace testing_support
