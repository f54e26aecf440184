// The test programs' entry point: the same platform set-up as the program
// (COM on this thread, common controls, GDI+) for the whole run.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "comlib/gdiplus_flat.h"
#include "support/program_data.h"

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES;
  InitCommonControlsEx(&controls);
  testing_support::SwitchUpdateCheckOff();
  int result = 0;
  {
    comlib::GdiplusSession gdiplus;
    testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  CoUninitialize();
  return result;
}
