#pragma once
// The font families a font page offers: those installed on the machine that
// GDI+ can draw, each listed once whatever the letter case or the number of
// character sets it comes in.

#include <windows.h>

#include <string>
#include <vector>

namespace font_list {

// Whether a name equal to the family ignoring case is listed.
bool IsListed(const std::vector<std::wstring>& families, const std::wstring& family);

// The list position to select for a stored family: the last one equal to it
// ignoring case, or 0 when none is.
int SelectionFor(const std::vector<std::wstring>& families, const std::wstring& stored);

// Whether GDI+ finds the family by name (bitmap and vector fonts drop out).
bool CanDraw(const std::wstring& family);

// The drawable families as the system enumerates them for the window's
// device context, in the order it gives them.
std::vector<std::wstring> CollectDrawableFamilies(HWND window);

}  // namespace font_list
