// Functions found by name at run time, and the DPI helper over them.

#include "comlib/dll_function.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

// A system that answers from the test's script and counts the older question.
struct ScriptedDpi : DpiSources {
  DWORD major = 10;
  bool hasNewer = true;  // GetProcessDpiAwareness
  HRESULT newerResult = S_OK;
  int awareness = 0;
  bool hasOlder = true;  // IsProcessDPIAware
  BOOL olderAware = FALSE;
  int olderAsked = 0;

  DWORD MajorVersion() override { return major; }
  bool GetProcessDpiAwareness(HRESULT* result, int* value) override {
    *result = newerResult;
    *value = awareness;
    return hasNewer;
  }
  bool IsProcessDpiAware(BOOL* aware) override {
    ++olderAsked;
    *aware = olderAware;
    return hasOlder;
  }
  bool ScreenDpi(int* dpiX, int* dpiY) override {
    *dpiX = 144;
    *dpiY = 120;
    return true;
  }
};

}  // namespace

TEST(DllFunction, AMissingLibraryGivesNoFunctions) {
  DllFunction_CL missing(L"no_such_library_horavel.dll");
  EXPECT_EQ(nullptr, missing.GetFunction("GetTickCount"));
  EXPECT_NE(nullptr, DllFunction_CL(L"kernel32.dll").GetFunction("GetTickCount"));
}

// Windows 7 and Vista without their update lack both SetDefaultDllDirectories
// and the search flags; Wine has them, so the lookup is played through its seam.
TEST(DllFunction, LibrariesComeFromTheSystemFolderWithOrWithoutTheSearchFlags) {
  const dllsearch::Load flagged = dllsearch::SystemLibraryLoad(L"gdiplus.dll", true, L"C:\\W\\system32");
  const dllsearch::Load byPath = dllsearch::SystemLibraryLoad(L"gdiplus.dll", false, L"C:\\W\\system32");
  EXPECT_EQ(L"gdiplus.dll", flagged.file);
  EXPECT_EQ(static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32), flagged.flags);
  EXPECT_EQ(L"C:\\W\\system32\\gdiplus.dll", byPath.file);
  EXPECT_EQ(static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH), byPath.flags);

  // A library of the same name in the current folder is never taken.
  testing_support::TempFolder folder;
  ASSERT_TRUE(CopyFileW((testing_support::ProgramFolder() + L"\\planted\\planted_library.dll").c_str(),
                        folder.File(L"horavel_planted.dll").c_str(), FALSE));
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(folder.Path().c_str());
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  for (const bool hasSearchFlags : {true, false}) {
    SCOPED_TRACE(hasSearchFlags);
    dllsearch::SetLookupForTest(hasSearchFlags ? nullptr : +[] { return dllsearch::SetDefaultDllDirectoriesFunction{}; });
    const DllFunction_CL wininet(L"wininet.dll");
    HMODULE module = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<const wchar_t*>(wininet.GetFunction("InternetOpenW")), &module));
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    EXPECT_EQ(0, _wcsicmp((std::wstring(system) + L"\\wininet.dll").c_str(), path)) << path;
    EXPECT_FALSE(DllFunction_CL(L"horavel_planted.dll").IsLoaded());
  }
  dllsearch::SetLookupForTest(nullptr);
  SetCurrentDirectoryW(previous);
  EXPECT_FALSE(testing_support::FileExists(folder.File(L"horavel_planted.dll.loaded")));
}

TEST(HighDpiHelper, OnlyAnUnawareProcessScalesToTheScreen) {
  struct Case {
    const char* name;
    void (*script)(ScriptedDpi&);
    int olderAsked;
    int width;  // 360 at 96 DPI; 160 high becomes 200 when scaled
  };
  const Case cases[] = {
      {"version 5 asks nothing", [](ScriptedDpi& s) { s.major = 5, s.awareness = 2; }, 0, 540},
      {"per-monitor aware", [](ScriptedDpi& s) { s.awareness = 2; }, 0, 360},
      {"failing query", [](ScriptedDpi& s) { s.newerResult = E_INVALIDARG, s.awareness = 1, s.olderAware = TRUE; },
       0, 540},
      {"older question when the newer is missing", [](ScriptedDpi& s) { s.hasNewer = false, s.olderAware = TRUE; },
       1, 360},
      {"neither function", [](ScriptedDpi& s) { s.hasNewer = false, s.hasOlder = false; }, 1, 540},
  };
  for (const Case& test : cases) {
    ScriptedDpi sources;
    test.script(sources);
    HighDpiHelper_CL helper;
    helper.Query(sources);
    EXPECT_EQ(test.olderAsked, sources.olderAsked) << test.name;
    EXPECT_EQ(test.width, helper.ScaleX(360)) << test.name;
    EXPECT_EQ(test.width == 360 ? 160 : 200, helper.ScaleY(160)) << test.name;
  }
}
