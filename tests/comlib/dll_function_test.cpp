// Functions found by name at run time, and the DPI helper over them.

#include "comlib/dll_function.h"

#include <gtest/gtest.h>

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

// Windows 7 and Vista without their update lack SetDefaultDllDirectories and
// the search flags; Wine has both, so the lookup is played through its seam.
TEST(DllFunction, WithoutTheSearchFlagsALibraryComesByItsFullSystemPath) {
  const dllsearch::Load load = dllsearch::SystemLibraryLoad(L"gdiplus.dll", false, L"C:\\W\\system32");
  EXPECT_EQ(L"C:\\W\\system32\\gdiplus.dll", load.file);
  EXPECT_EQ(static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH), load.flags);
  dllsearch::SetLookupForTest([] { return dllsearch::SetDefaultDllDirectoriesFunction{}; });
  EXPECT_NE(nullptr, DllFunction_CL(L"wininet.dll").GetFunction("InternetOpenW"));
  EXPECT_FALSE(DllFunction_CL(L"comlib_tests.exe").IsLoaded()) << "a file beside the program is never taken";
  dllsearch::SetLookupForTest(nullptr);
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
