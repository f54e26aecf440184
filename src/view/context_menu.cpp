#include "view/context_menu.h"

namespace contextmenu {
std::wstring DisplayItemText(int) { return std::wstring(); }
std::wstring MenuImagePath() { return std::wstring(); }
void Build(PopupMenu_CL&, int, int, const std::wstring&) {}
}  // namespace contextmenu

void ShowContextMenu(HWND) {}
