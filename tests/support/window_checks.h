#pragma once
// Reading and comparing where windows stand.

#include <windows.h>

namespace testing_support {

RECT WindowRect(HWND window);
POINT Centre(const RECT& rect);
// Each edge compared on its own, so that a failure names the edge.
void ExpectSameRect(const RECT& expected, const RECT& actual);

}  // namespace testing_support
