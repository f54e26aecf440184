// A release package's program, unpacked or installed by a package test in a
// fresh Wine prefix and started from there: its clock draws on the screen
// and its icon appears in the notification area. Skipped in the ordinary
// end-to-end run, which has no package.

#include <gtest/gtest.h>

#include <vector>

#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr wchar_t kPackagedProgramVariable[] = L"HORAVEL_PACKAGE_PROGRAM";
// A fresh prefix starts its own services with the first program.
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kShowTimeoutMs = 10000;
// Without a desktop's notification area, Wine shows the icons in a tray
// window of its own, one child window per icon.
constexpr wchar_t kWineTrayClass[] = L"__winex11_standalone_tray";
constexpr wchar_t kWineTrayIconClass[] = L"__winex11_tray_icon";

std::vector<HWND> VisibleTrayIcons() {
  std::vector<HWND> icons;
  for (HWND tray = FindWindowExW(nullptr, nullptr, kWineTrayClass, nullptr); tray != nullptr;
       tray = FindWindowExW(nullptr, tray, kWineTrayClass, nullptr)) {
    for (HWND icon = FindWindowExW(tray, nullptr, kWineTrayIconClass, nullptr); icon != nullptr;
         icon = FindWindowExW(tray, icon, kWineTrayIconClass, nullptr)) {
      if (IsWindowVisible(icon)) icons.push_back(icon);
    }
  }
  return icons;
}

// Something is drawn there: the screen inside the window is not one colour.
bool ShowsSomething(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return false;
  const ScreenPixels pixels = CaptureScreen(rect);
  return !pixels.rgb.empty() && pixels.Count(pixels.At(0, 0)) < pixels.rgb.size();
}

}  // namespace

TEST(PackagedProgram, ShowsTheClockAndItsIcon) {
  wchar_t program[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(kPackagedProgramVariable, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) GTEST_SKIP() << "run by the package tests on a packaged program";
  ASSERT_TRUE(VisibleTrayIcons().empty()) << "a fresh prefix shows no icon yet";

  ProgramProcess process;
  ASSERT_TRUE(process.StartProgram(program));
  HWND clock = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        clock = FindClockWindow(process.Id());
        return clock != nullptr && IsWindowVisible(clock);
      },
      kStartTimeoutMs));
  EXPECT_TRUE(WaitUntil([&] { return ShowsSomething(clock); }, kShowTimeoutMs)) << "the clock draws its time";

  std::vector<HWND> icons;
  ASSERT_TRUE(WaitUntil(
      [&] {
        icons = VisibleTrayIcons();
        return icons.size() == 1;
      },
      kShowTimeoutMs));
  EXPECT_TRUE(ShowsSomething(icons.front())) << "the icon shows its image";

  process.End();
  EXPECT_EQ(0u, process.ExitCode());
}
