#pragma once
// What a running program holds, read from outside it: kernel handles
// (Wine's GetProcessHandleCount is a stub), windows, resident memory, and
// its own counts of live GDI and GDI+ objects (Wine's GetGuiResources
// answers 0), asked through the program's live-objects message.

#include <windows.h>

namespace testing_support {

struct ProgramCounts {
  long long residentBytes = -1;
  long handles = -1;
  long windows = -1;
  long gdiObjects = -1;
  long gdiplusObjects = -1;
  // Of the GDI+ objects, the text paths the fonts keep on purpose.
  long keptObjects = -1;
};

// -1 in each count that could not be read.
ProgramCounts CountProgram(DWORD processId, HWND clock);

// The GDI+ objects other than the kept text paths; -1 when unread.
long long UnkeptGdiplusObjects(const ProgramCounts& counts);

}  // namespace testing_support
