#include <windows.h>

#include "app.h"
#include "view/virtual_desktop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunHoravel(SystemVirtualDesktopQuery()); }
