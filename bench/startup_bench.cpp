// Start-up benchmark: how long a clock program takes from its start until
// its window is shown, and until its text is on the screen. A window shown
// before it is drawn shows the desktop through its keyed white for a
// moment; the two times should be all but equal. Prints one figure a line,
// medians over a few starts.
//
//   startup_bench.exe name program.exe window-class window-title [rounds]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_ids.h"
#include "comlib/back_buffer.h"
#include "comlib/unique_handle.h"

namespace {

constexpr DWORD kGiveUpMs = 20000;
constexpr DWORD kEndTimeoutMs = 10000;
constexpr int kDefaultRounds = 5;
// A pixel counts as drawn when a channel moved this far from the desktop's.
constexpr int kInkDifference = 24;

double Median(std::vector<double> samples) {
  if (samples.empty()) return -1.0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The screen's pixels, 32 bits each, top row first.
std::vector<DWORD> CaptureScreen(int width, int height) {
  std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  comlib::WindowDC screen(nullptr);
  comlib::UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
  void* bits = nullptr;
  comlib::UniqueBitmap bitmap = comlib::CreateTopDownDib(width, height, &bits);
  if (!bitmap || bits == nullptr) return pixels;
  {
    comlib::SelectionScope selection(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  std::copy_n(static_cast<const DWORD*>(bits), pixels.size(), pixels.begin());
  return pixels;
}

bool Differs(DWORD a, DWORD b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int channelA = static_cast<int>((a >> shift) & 0xFF);
    const int channelB = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(channelA - channelB) > kInkDifference) return true;
  }
  return false;
}

// Whether anything inside the window's rectangle differs from the desktop
// as it was before the program started.
bool HasInk(HWND window, const std::vector<DWORD>& before, int width, int height) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const std::vector<DWORD> now = CaptureScreen(width, height);
  for (int y = std::max(0L, rect.top); y < std::min<LONG>(height, rect.bottom); ++y) {
    for (int x = std::max(0L, rect.left); x < std::min<LONG>(width, rect.right); ++x) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      if (Differs(before[at], now[at])) return true;
    }
  }
  return false;
}

struct Times {
  double shownMs = -1.0;
  double drawnMs = -1.0;
};

Times MeasureOneStart(const std::wstring& program, const wchar_t* windowClass, const wchar_t* title) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const std::vector<DWORD> before = CaptureScreen(width, height);
  Times times;
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    std::fprintf(stderr, "cannot start the program (%lu)\n", GetLastError());
    return times;
  }
  comlib::UniqueKernelHandle process(info.hProcess);
  comlib::UniqueKernelHandle thread(info.hThread);
  HWND window = nullptr;
  while (MillisecondsSince(start) < kGiveUpMs && times.drawnMs < 0.0) {
    if (window == nullptr) window = FindWindowW(windowClass, title);
    if (window != nullptr && times.shownMs < 0.0 && IsWindowVisible(window)) times.shownMs = MillisecondsSince(start);
    if (times.shownMs >= 0.0 && HasInk(window, before, width, height)) times.drawnMs = MillisecondsSince(start);
    Sleep(1);
  }
  if (window != nullptr) PostMessageW(window, WM_CLOSE, kCloseForRealCode, 0);
  if (WaitForSingleObject(process.get(), kEndTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);
  return times;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: startup_bench name program.exe window-class window-title [rounds]\n");
    return 2;
  }
  const int rounds = argc > 5 ? std::max(1, _wtoi(argv[5])) : kDefaultRounds;
  std::vector<double> shown;
  std::vector<double> drawn;
  std::vector<double> gaps;
  for (int round = 0; round < rounds; ++round) {
    const Times times = MeasureOneStart(argv[2], argv[3], argv[4]);
    if (times.shownMs < 0.0 || times.drawnMs < 0.0) continue;
    shown.push_back(times.shownMs);
    drawn.push_back(times.drawnMs);
    gaps.push_back(times.drawnMs - times.shownMs);
  }
  std::printf("start_to_shown_ms_%ls=%.0f\n", argv[1], Median(shown));
  std::printf("start_to_drawn_ms_%ls=%.0f\n", argv[1], Median(drawn));
  std::printf("shown_to_drawn_ms_%ls=%.0f\n", argv[1], Median(gaps));
  return shown.empty() ? 1 : 0;
}
