#include "comlib/gdiplus_flat.h"

#include "comlib/dll_function.h"

bool gdip::Bind() {
  // Kept to the end of the process: objects may be deleted until then.
  static const DllFunction_CL library(L"gdiplus.dll");
  bool complete = library.IsLoaded();
#define HORAVEL_GDIPLUS_BIND(name)                     \
  name = library.GetFunctionAs<decltype(name)>(#name); \
  complete = complete && name != nullptr;
  HORAVEL_GDIPLUS_FUNCTIONS(HORAVEL_GDIPLUS_BIND)
  HORAVEL_GDIPLUS_BIND(GdiplusStartup)
  HORAVEL_GDIPLUS_BIND(GdiplusShutdown)
#undef HORAVEL_GDIPLUS_BIND
  return complete;
}
