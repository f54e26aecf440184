#include "comlib/dll_function.h"

#include <shellscalingapi.h>

namespace {

constexpr UINT kPathRoom = MAX_PATH;

// Bound at run time: importing it would keep the program from starting at all
// on a system without it.
dllsearch::SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<dllsearch::SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
}

dllsearch::Lookup g_lookup = &FindSetDefaultDllDirectories;

std::wstring SystemFolder() {
  wchar_t folder[kPathRoom] = {};
  const UINT length = GetSystemDirectoryW(folder, kPathRoom);
  return length > 0 && length < kPathRoom ? std::wstring(folder, length) : std::wstring();
}

}  // namespace

namespace dllsearch {

void SetLookupForTest(Lookup lookup) { g_lookup = lookup != nullptr ? lookup : &FindSetDefaultDllDirectories; }

Load SystemLibraryLoad(const wchar_t* libraryName, bool hasSearchFlags, const std::wstring& systemFolder) {
  if (hasSearchFlags) return Load{libraryName, LOAD_LIBRARY_SEARCH_SYSTEM32};
  // Without a system folder there is no full path: nothing is loaded.
  if (systemFolder.empty()) return Load{};
  return Load{systemFolder + L"\\" + libraryName, LOAD_WITH_ALTERED_SEARCH_PATH};
}

}  // namespace dllsearch

void RestrictLibrarySearch() {
  const dllsearch::SetDefaultDllDirectoriesFunction setDefault = g_lookup();
  if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The current folder drops out of the search of callers that name no folder.
  SetDllDirectoryW(L"");
}

DllFunction_CL::DllFunction_CL(const wchar_t* libraryName) {
  const dllsearch::Load load = dllsearch::SystemLibraryLoad(libraryName, g_lookup() != nullptr, SystemFolder());
  if (!load.file.empty()) module_.reset(LoadLibraryExW(load.file.c_str(), nullptr, load.flags));
}

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
