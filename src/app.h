#pragma once
// The life of the process: command line, single instance, platform set-up,
// the two windows, the message loop and the orderly shutdown.

#include <windows.h>

class VirtualDesktopQuery;

// Runs the program to its end; returns the process exit code. The desktop
// query tells when the user has moved to another virtual desktop.
int RunHoravel(VirtualDesktopQuery& desktop);

