#include "comlib/dll_function.h"

#include <shellscalingapi.h>

void RestrictLibrarySearch() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The current folder drops out of the search of callers that name no folder.
  SetDllDirectoryW(L"");
}

DllFunction_CL::DllFunction_CL(const wchar_t* libraryName)
    : module_(LoadLibraryExW(libraryName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}

FARPROC DllFunction_CL::GetFunction(const char* functionName) const {
  if (!module_) return nullptr;
  return GetProcAddress(module_.get(), functionName);
}

namespace {

// Version 6 is Vista: nothing older has either function.
constexpr DWORD kFirstVersionWithDpiFunctions = 6;

using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE, PROCESS_DPI_AWARENESS*);
using IsProcessDPIAwareFn = BOOL(WINAPI*)();

class SystemSources : public DpiSources {
 public:
  DWORD MajorVersion() override {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExW(&version)) return 0;
    return version.dwMajorVersion;
  }

  bool GetProcessDpiAwareness(HRESULT* result, int* awareness) override {
    DllFunction_CL shcore(L"SHCore.dll");
    auto function = shcore.GetFunctionAs<GetProcessDpiAwarenessFn>("GetProcessDpiAwareness");
    if (function == nullptr) return false;
    PROCESS_DPI_AWARENESS value = PROCESS_DPI_UNAWARE;
    *result = function(nullptr, &value);
    *awareness = static_cast<int>(value);
    return true;
  }

  bool IsProcessDpiAware(BOOL* aware) override {
    DllFunction_CL user32(L"user32.dll");
    auto function = user32.GetFunctionAs<IsProcessDPIAwareFn>("IsProcessDPIAware");
    if (function == nullptr) return false;
    *aware = function();
    return true;
  }

  bool ScreenDpi(int* dpiX, int* dpiY) override {
    comlib::WindowDC screen(nullptr);
    if (!screen) return false;
    *dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    *dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return true;
  }
};

}  // namespace

DpiSources& SystemDpiSources() {
  static SystemSources sources;
  return sources;
}

void HighDpiHelper_CL::Query(DpiSources& sources) {
  aware = 0;
  if (sources.MajorVersion() >= kFirstVersionWithDpiFunctions) {
    HRESULT result = E_FAIL;
    int awareness = 0;
    BOOL processAware = FALSE;
    // A failing GetProcessDpiAwareness leaves the process unaware: the older
    // question is asked only when the newer function is missing.
    if (sources.GetProcessDpiAwareness(&result, &awareness)) {
      aware = SUCCEEDED(result) && awareness != 0 ? 1 : 0;
    } else if (sources.IsProcessDpiAware(&processAware)) {
      aware = processAware ? 1 : 0;
    }
  }
  if (aware == 0) sources.ScreenDpi(&dpi_x, &dpi_y);
}
