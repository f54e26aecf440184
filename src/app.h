#pragma once
// The life of the process: command line, single instance, platform set-up,
// the two windows, the message loop and the orderly shutdown.

#include <windows.h>

// Runs the program to its end; returns the process exit code.
int RunHoravel();

// Starts a fresh copy of the program (without arguments, in the current
// folder) and then closes the clock window for good, which ends this one.
// When the copy cannot be started, this one logs it and keeps running
// (false).
bool RestartProcess(HWND clockWindow);
