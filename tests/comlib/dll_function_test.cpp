// Functions found by name at run time, and the DPI helper over them.

#include "comlib/dll_function.h"

#include <gtest/gtest.h>

namespace {

// A system that answers from the test's script and counts the questions.
class ScriptedDpi : public DpiSources {
 public:
  DWORD major = 10;
  bool hasProcessAwareness = true;
  HRESULT processResult = S_OK;
  int processAwareness = 0;
  bool hasIsAware = true;
  BOOL isAware = FALSE;
  bool hasScreen = true;
  int isAwareAsked = 0;

  DWORD MajorVersion() override { return major; }
  bool GetProcessDpiAwareness(HRESULT* result, int* awareness) override {
    *result = processResult;
    *awareness = processAwareness;
    return hasProcessAwareness;
  }
  bool IsProcessDpiAware(BOOL* aware) override {
    ++isAwareAsked;
    *aware = isAware;
    return hasIsAware;
  }
  bool ScreenDpi(int* dpiX, int* dpiY) override {
    if (!hasScreen) return false;
    *dpiX = 144;
    *dpiY = 120;
    return true;
  }
};

}  // namespace

TEST(DllFunction, FindsFunctionsOnlyInALibraryThatLoaded) {
  DllFunction_CL kernel(L"kernel32.dll");
  EXPECT_TRUE(kernel.IsLoaded());
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount")),
            reinterpret_cast<void*>(kernel.GetFunction("GetTickCount")));
  EXPECT_EQ(nullptr, kernel.GetFunction("NoSuchFunctionAnywhere"));

  DllFunction_CL missing(L"no_such_library_horavel.dll");
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_EQ(nullptr, missing.GetFunction("GetTickCount"));
}

TEST(HighDpiHelper, AwarenessDecidesWhetherSizesAreScaled) {
  struct Case {
    const char* name;
    void (*script)(ScriptedDpi&);
    int aware;
    int isAwareAsked;
    int width;  // 360 at 96 DPI
    int height;  // 160 at 96 DPI
  };
  const Case cases[] = {
      {"version 5 asks nothing", [](ScriptedDpi& s) { s.major = 5; s.processAwareness = 2; }, 0, 0, 540, 200},
      {"per-monitor aware", [](ScriptedDpi& s) { s.processAwareness = 2; }, 1, 0, 360, 160},
      {"unaware", [](ScriptedDpi& s) { s.isAware = TRUE; }, 0, 0, 540, 200},
      {"failing query is unaware", [](ScriptedDpi& s) { s.processResult = E_INVALIDARG; s.processAwareness = 1; s.isAware = TRUE; },
       0, 0, 540, 200},
      {"older question when the newer is missing", [](ScriptedDpi& s) { s.hasProcessAwareness = false; s.isAware = TRUE; },
       1, 1, 360, 160},
      {"neither function", [](ScriptedDpi& s) { s.hasProcessAwareness = false; s.hasIsAware = false; }, 0, 1, 540, 200},
      {"no screen keeps 96", [](ScriptedDpi& s) { s.hasScreen = false; }, 0, 0, 360, 160},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    ScriptedDpi sources;
    test.script(sources);
    HighDpiHelper_CL helper;
    helper.Query(sources);
    EXPECT_EQ(test.aware, helper.aware);
    EXPECT_EQ(test.isAwareAsked, sources.isAwareAsked);
    EXPECT_EQ(test.width, helper.ScaleX(360));
    EXPECT_EQ(test.height, helper.ScaleY(160));
  }
}
