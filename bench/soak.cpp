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
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_ids.h"
#include "comlib/live_objects.h"
#include "comlib/program_path.h"

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

// SystemHandleInformation: every handle of every process. The first 32 bits
// of an entry carry the owner's process id (Windows keeps its low 16 bits
// there, Wine all 32).
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
struct HandleEntry {
  ULONG ownerId;
  UCHAR objectType;
  UCHAR flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct HandleTable {
  ULONG count;
  HandleEntry entries[1];
};
using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

struct Sample {
  unsigned tick;
  long long residentBytes;
  long handles;
  long gdiObjects;
  long gdiplusObjects;
  long keptObjects;
};

long CountKernelHandles(DWORD processId) {
  static const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 20);
  NTSTATUS status = 0;
  for (;;) {
    ULONG needed = 0;
    status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status != kInfoLengthMismatch) break;
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
  }
  if (status < 0) return -1;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  long handles = 0;
  for (ULONG index = 0; index < table->count; ++index) {
    if ((table->entries[index].ownerId & 0xFFFF) == (processId & 0xFFFF)) ++handles;
  }
  return handles;
}

long long ResidentBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return -1;
  return static_cast<long long>(counters.WorkingSetSize);
}

long AskCount(HWND clock, WPARAM which) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(clock, comlib::LiveObjectsMessage(), which, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                           &count)) {
    return -1;
  }
  return static_cast<long>(count);
}

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

Sample TakeSample(unsigned tick, HANDLE process, DWORD processId, HWND clock) {
  return Sample{tick,
                ResidentBytes(process),
                CountKernelHandles(processId),
                AskCount(clock, comlib::kLiveGdiObjects),
                AskCount(clock, comlib::kLiveGdiplusObjects),
                AskCount(clock, comlib::kKeptGdiplusObjects)};
}

void PrintSample(const Sample& sample) {
  std::printf(
      "%7u ticks: resident %8.2f MB, kernel handles %6ld, GDI objects %4ld, GDI+ objects %4ld (kept text paths %4ld)\n",
      sample.tick, static_cast<double>(sample.residentBytes) / (1024.0 * 1024.0), sample.handles, sample.gdiObjects,
      sample.gdiplusObjects, sample.keptObjects);
  std::fflush(stdout);
}

// The GDI+ objects other than the fonts' kept text paths; -1 when unread.
long long UnkeptGdiplusObjects(const Sample& sample) {
  if (sample.gdiplusObjects < 0 || sample.keptObjects < 0) return -1;
  return sample.gdiplusObjects - sample.keptObjects;
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
  check("resident memory (bytes)", baseline.residentBytes, last.residentBytes, kMemoryNoiseBytes);
  check("kernel handles", baseline.handles, last.handles, kHandleNoise);
  check("live GDI objects", baseline.gdiObjects, last.gdiObjects, kObjectNoise);
  check("live GDI+ objects besides the kept text paths", UnkeptGdiplusObjects(baseline), UnkeptGdiplusObjects(last),
        kObjectNoise);
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
    samples.push_back(TakeSample(tick, info.hProcess, info.dwProcessId, clock));
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
