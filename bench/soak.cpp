// Soak run: starts Horavel.exe, drives its clock through many ticks of its
// real timer path (the timer's own message, posted to the clock's queue) and
// prints at set points what the program holds: resident memory, kernel
// handles, and its own count of live GDI and GDI+ objects. Exits 1 when any of them grew
// between the first checkpoint after warming up and the last. The paths each
// font keeps of the texts it drew are GDI+ objects too, and grow as new
// seconds and minutes are drawn until the font's bound: the program counts
// them apart, and only the other GDI+ objects must not grow.
//
//   soak.exe [ticks] [path\to\Horavel.exe]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_ids.h"
#include "comlib/program_path.h"
#include "support/program_counts.h"

namespace {

constexpr unsigned kDefaultTicks = 100000;
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kEndTimeoutMs = 10000;
constexpr DWORD kReplyTimeoutMs = 10000;
constexpr wchar_t kClockClass[] = L"MainWindowClass";
constexpr wchar_t kClockTitle[] = L"Horavel";

// What counts as noise between the baseline and the end of the run. The
// faults this looks for grow by a handle or a hundred bytes every tick.
constexpr long long kMemoryNoiseBytes = 2 * 1024 * 1024;
constexpr long kHandleNoise = 16;
constexpr long kObjectNoise = 0;

struct Sample {
  unsigned tick;
  testing_support::ProgramCounts counts;
};

struct ClockSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchClock(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ClockSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64] = {};
  wchar_t title[64] = {};
  GetClassNameW(window, name, 64);
  GetWindowTextW(window, title, 64);
  if (owner != search->processId || wcscmp(name, kClockClass) != 0 || wcscmp(title, kClockTitle) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WaitForClock(DWORD processId) {
  const ULONGLONG deadline = GetTickCount64() + kStartTimeoutMs;
  while (GetTickCount64() < deadline) {
    ClockSearch search{processId, nullptr};
    EnumWindows(&MatchClock, reinterpret_cast<LPARAM>(&search));
    if (search.found && IsWindowVisible(search.found)) return search.found;
    Sleep(100);
  }
  return nullptr;
}

// One tick as the timer gives it: posted to the clock's queue and taken by
// its message loop. The sent WM_NULL returns once the loop is back for more,
// so ticks never pile up in the queue.
void Tick(HWND clock) {
  PostMessageW(clock, WM_TIMER, kClockTimerId, 0);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(clock, WM_NULL, 0, 0, SMTO_NORMAL, kReplyTimeoutMs, &ignored);
}

Sample TakeSample(unsigned tick, DWORD processId, HWND clock) {
  return Sample{tick, testing_support::CountProgram(processId, clock)};
}

void PrintSample(const Sample& sample) {
  const testing_support::ProgramCounts& counts = sample.counts;
  std::printf(
      "%7u ticks: resident %8.2f MB, kernel handles %6ld, GDI objects %4ld, GDI+ objects %4ld (kept text paths %4ld)\n",
      sample.tick, static_cast<double>(counts.residentBytes) / (1024.0 * 1024.0), counts.handles, counts.gdiObjects,
      counts.gdiplusObjects, counts.keptObjects);
  std::fflush(stdout);
}

// Growth from the baseline to the end beyond noise, one line per kind.
bool ReportGrowth(const Sample& baseline, const Sample& last) {
  bool grew = false;
  const auto check = [&](const char* what, long long from, long long to, long long noise) {
    if (from < 0 || to < 0) {
      std::printf("FAIL: %s could not be read\n", what);
      grew = true;
    } else if (to - from > noise) {
      std::printf("FAIL: %s grew from %lld to %lld over %u ticks\n", what, from, to, last.tick - baseline.tick);
      grew = true;
    }
  };
  const testing_support::ProgramCounts& from = baseline.counts;
  const testing_support::ProgramCounts& to = last.counts;
  check("resident memory (bytes)", from.residentBytes, to.residentBytes, kMemoryNoiseBytes);
  check("kernel handles", from.handles, to.handles, kHandleNoise);
  check("live GDI objects", from.gdiObjects, to.gdiObjects, kObjectNoise);
  check("live GDI+ objects besides the kept text paths", testing_support::UnkeptGdiplusObjects(from),
        testing_support::UnkeptGdiplusObjects(to), kObjectNoise);
  return grew;
}

std::vector<unsigned> Checkpoints(unsigned ticks) {
  std::vector<unsigned> points = {0};
  for (unsigned point : {ticks / 10, ticks / 2, ticks}) {
    if (point > points.back()) points.push_back(point);
  }
  return points;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const unsigned ticks = argc > 1 ? static_cast<unsigned>(_wtoi(argv[1])) : kDefaultTicks;
  std::wstring program = argc > 2 ? argv[2] : comlib::ProgramFolder() + L"\\Horavel.exe";

  // The program lists the monitors on its standard output: keep that out of
  // the report.
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inheritable, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + program + L"\"";
  const BOOL started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &info);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    std::fwprintf(stderr, L"Could not start %ls (%lu)\n", program.c_str(), GetLastError());
    return 2;
  }
  const HWND clock = WaitForClock(info.dwProcessId);
  if (clock == nullptr) {
    std::fwprintf(stderr, L"The clock did not show within %lu ms\n", kStartTimeoutMs);
    TerminateProcess(info.hProcess, 1);
    return 2;
  }

  std::printf("Driving %u ticks of the clock (timer message 0x%X)\n", ticks, static_cast<unsigned>(kClockTimerId));
  std::vector<Sample> samples;
  unsigned tick = 0;
  for (unsigned checkpoint : Checkpoints(ticks)) {
    for (; tick < checkpoint; ++tick) Tick(clock);
    samples.push_back(TakeSample(tick, info.dwProcessId, clock));
    PrintSample(samples.back());
  }

  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(clock, WM_CLOSE, kCloseForRealCode, 0, SMTO_ABORTIFHUNG, kEndTimeoutMs, &ignored);
  if (WaitForSingleObject(info.hProcess, kEndTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);

  // The first checkpoint is taken before the program has settled (fonts,
  // caches, the heap's first growth); growth is judged from the second on.
  if (samples.size() < 3) return 0;
  const bool grew = ReportGrowth(samples[1], samples.back());
  std::printf(grew ? "Growth beyond noise.\n" : "No growth beyond noise.\n");
  return grew ? 1 : 0;
}
