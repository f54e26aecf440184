#include "support/program_counts.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

#include "comlib/live_objects.h"
#include "comlib/unique_handle.h"

namespace testing_support {

namespace {

constexpr DWORD kReplyTimeoutMs = 10000;

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

long long ResidentBytes(DWORD processId) {
  const comlib::UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!process || !GetProcessMemoryInfo(process.get(), &counters, sizeof(counters))) return -1;
  return static_cast<long long>(counters.WorkingSetSize);
}

struct WindowCount {
  DWORD processId;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM context) {
  ++reinterpret_cast<WindowCount*>(context)->count;
  return TRUE;
}

// The process's top-level windows and every window inside them.
BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
  auto* counted = reinterpret_cast<WindowCount*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != counted->processId) return TRUE;
  ++counted->count;
  EnumChildWindows(window, &CountChild, context);
  return TRUE;
}

long AskLiveCount(HWND clock, WPARAM which) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(clock, comlib::LiveObjectsMessage(), which, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                           &count)) {
    return -1;
  }
  return static_cast<long>(count);
}

}  // namespace

ProgramCounts CountProgram(DWORD processId, HWND clock) {
  ProgramCounts counts;
  counts.residentBytes = ResidentBytes(processId);
  counts.handles = CountKernelHandles(processId);
  WindowCount windows{processId, 0};
  EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&windows));
  counts.windows = windows.count;
  counts.gdiObjects = AskLiveCount(clock, comlib::kLiveGdiObjects);
  counts.gdiplusObjects = AskLiveCount(clock, comlib::kLiveGdiplusObjects);
  counts.keptObjects = AskLiveCount(clock, comlib::kKeptGdiplusObjects);
  return counts;
}

long long UnkeptGdiplusObjects(const ProgramCounts& counts) {
  if (counts.gdiplusObjects < 0 || counts.keptObjects < 0) return -1;
  return counts.gdiplusObjects - counts.keptObjects;
}

}  // namespace testing_support
