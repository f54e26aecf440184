// What keeping the settings file costs: drags the clock page's horizontal
// offset bar of the running program across its range, one step a sent
// message at a mouse's pace, and prints the time each step takes on the
// clock's thread (median and worst, in ms) and how many times the settings
// file was replaced for the whole drag.
//
//   store_bench.exe [steps]     (default 100)

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "comlib/live_objects.h"
#include "comlib/ui_text.h"
#include "support/program_process.h"
#include "support/settings_sheet.h"

namespace {

constexpr int kDefaultSteps = 100;
constexpr int kOffsetLimit = 1024;
// Longer than the store holds a change: every step is in the file by then.
constexpr DWORD kSettleMs = 1000;
constexpr UINT kAnswerTimeoutMs = 5000;
// A mouse reports a moving hand about a hundred times a second.
constexpr DWORD kStepPauseMs = 10;

double MillisecondsBetween(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

long FileReplaces(HWND clock) {
  DWORD_PTR count = 0;
  SendMessageTimeoutW(clock, comlib::LiveObjectsMessage(), comlib::kSettingsFileReplaces, 0, SMTO_ABORTIFHUNG,
                      kAnswerTimeoutMs, &count);
  return static_cast<long>(count);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace testing_support;
  const int steps = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultSteps;
  // The sheet and its page are found by their titles, in the language the
  // program chooses.
  SetUiLanguage(ChooseUiLanguage(L"auto", GetUserDefaultUILanguage()));
  ProgramProcess program;
  const HWND clock = StartAndWait(program);
  const HWND sheet = clock != nullptr ? OpenSettingsSheet(clock, program.Id()) : nullptr;
  const HWND page = sheet != nullptr ? ShowPage(program.Id(), sheet, UiText(TextId::kClockPage)) : nullptr;
  const HWND bar = page != nullptr ? PageControl(page, kHorizontalBar) : nullptr;
  if (bar == nullptr) {
    std::fprintf(stderr, "the clock page's offset bar was not found\n");
    return 1;
  }
  // What opening the sheet wrote is out of the count.
  Sleep(kSettleMs);
  const long replacesBefore = FileReplaces(clock);
  const HWND panel = GetParent(bar);
  std::vector<double> stepMs;
  for (int step = 1; step <= steps; ++step) {
    const int position = -kOffsetLimit + 2 * kOffsetLimit * step / steps;
    SendMessageW(bar, TBM_SETPOS, TRUE, position);
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    SendMessageW(panel, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(bar));
    QueryPerformanceCounter(&end);
    stepMs.push_back(MillisecondsBetween(start, end));
    Sleep(kStepPauseMs);
  }
  Sleep(kSettleMs);
  const long replaces = FileReplaces(clock) - replacesBefore;
  PressSheetButton(sheet, clock, PSBTN_CANCEL);
  program.End();

  std::sort(stepMs.begin(), stepMs.end());
  std::printf("settings_change_ms_median=%.2f\n", stepMs[stepMs.size() / 2]);
  std::printf("settings_change_ms_worst=%.2f\n", stepMs.back());
  std::printf("offset_drag_steps=%d\n", steps);
  std::printf("offset_drag_file_replaces=%ld\n", replaces);
  return 0;
}
