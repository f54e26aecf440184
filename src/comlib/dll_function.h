#pragma once
// Libraries bound at run time instead of linked, always from the system
// folder, and the DPI helper that uses them to scale sizes given for 96 DPI.
// A library the program imports is searched beside the program first, so a
// copy planted there (in Downloads, say) would run inside the clock: only the
// libraries on the loader's own list are imported, every other one is
// loaded here, from the system folder and nowhere else.

#include <windows.h>

#include <string>

#include "comlib/unique_handle.h"

// Makes the system folder the only place a library is searched by name, for
// this process and whatever it loads, where the system can (Windows 8, and
// 7 or Vista with the update that brought SetDefaultDllDirectories). Called
// first thing at start.
void RestrictLibrarySearch();

namespace dllsearch {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
// Finds SetDefaultDllDirectories; null where the system lacks it.
using Lookup = SetDefaultDllDirectoriesFunction (*)();
// Tests play a system without the function, which Wine never is; null puts
// the real lookup back.
void SetLookupForTest(Lookup lookup);

// How a library named without a folder is loaded from the system folder.
struct Load {
  std::wstring file;
  DWORD flags = 0;
};
// With the system's own search flag where it has one; elsewhere by its full
// path, its own libraries then searched from there rather than beside the
// program.
Load SystemLibraryLoad(const wchar_t* libraryName, bool hasSearchFlags, const std::wstring& systemFolder);

}  // namespace dllsearch

// Owns a library loaded by name from the system folder and hands out
// addresses from it; one reference, let go with the object.
class DllFunction_CL {
 public:
  explicit DllFunction_CL(const wchar_t* libraryName);
  virtual ~DllFunction_CL() = default;
  DllFunction_CL(const DllFunction_CL&) = delete;
  DllFunction_CL& operator=(const DllFunction_CL&) = delete;

  // Null when the library did not load or has no such function.
  FARPROC GetFunction(const char* functionName) const;

  // The same, typed as the caller's function pointer.
  template <typename Function>
  Function GetFunctionAs(const char* functionName) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetFunction(functionName)));
  }

  bool IsLoaded() const { return static_cast<bool>(module_); }

 private:
  comlib::UniqueModule module_;
};

// What the system can tell about the process's DPI awareness and the
// screen's DPI. Tests stand in for it to play systems that Wine is not.
class DpiSources {
 public:
  virtual ~DpiSources() = default;
  virtual DWORD MajorVersion() = 0;
  // False when the function is missing; otherwise its HRESULT lands in
  // *result and the awareness (0 unaware, 1 system, 2 per monitor) in *awareness.
  virtual bool GetProcessDpiAwareness(HRESULT* result, int* awareness) = 0;
  // False when the function is missing; otherwise its answer lands in *aware.
  virtual bool IsProcessDpiAware(BOOL* aware) = 0;
  // False when the screen has no device context.
  virtual bool ScreenDpi(int* dpiX, int* dpiY) = 0;
};

DpiSources& SystemDpiSources();

class HighDpiHelper_CL {
 public:
  HighDpiHelper_CL() = default;
  virtual ~HighDpiHelper_CL() = default;

  // Whether the process is DPI-aware; when it is not, the screen's DPI.
  void Query(DpiSources& sources = SystemDpiSources());

  // A size given for 96 DPI, in the screen's pixels unless the process is aware.
  int ScaleX(int size96) const { return aware ? size96 : MulDiv(size96, dpi_x, kBaseDpi); }
  int ScaleY(int size96) const { return aware ? size96 : MulDiv(size96, dpi_y, kBaseDpi); }

  static constexpr int kBaseDpi = 96;
  int aware = 1;
  int dpi_x = kBaseDpi;
  int dpi_y = kBaseDpi;
};
