#pragma once
// Opening web pages, unless the developer's marker file says not to.

#include <string>

// True while the developer marker file "c:\MyHome.txt" exists.
bool HomeMarkerExists();

// Hands the address to the shell, unless HomeMarkerExists.
void OpenWebPage(const std::wstring& address);
