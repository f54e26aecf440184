#include <windows.h>

#include "app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunHoravel(); }
