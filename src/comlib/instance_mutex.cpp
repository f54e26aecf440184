#include "comlib/instance_mutex.h"

#include <winternl.h>

#include <cstdint>
#include <cwchar>
#include <vector>

namespace {

using NtQueryObjectFunction = LONG(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
// Not every SDK's winternl.h names the first.
constexpr auto kObjectNameInformation = static_cast<OBJECT_INFORMATION_CLASS>(1);
constexpr auto kObjectTypeInformation = static_cast<OBJECT_INFORMATION_CLASS>(2);
constexpr ULONG kObjectTextBytes = 4096;

// ntdll is in every process from its first instruction: nothing is searched for.
NtQueryObjectFunction FindNtQueryObject() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return nullptr;
  return reinterpret_cast<NtQueryObjectFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryObject")));
}

// The object's type or name as the kernel tells it; empty when it cannot.
std::wstring ObjectText(HANDLE handle, OBJECT_INFORMATION_CLASS what) {
  static const NtQueryObjectFunction query = FindNtQueryObject();
  if (query == nullptr) return L"";
  // Aligned for the UNICODE_STRING the answer starts with.
  std::vector<ULONGLONG> answer(kObjectTextBytes / sizeof(ULONGLONG));
  ULONG needed = 0;
  if (query(handle, what, answer.data(), kObjectTextBytes, &needed) < 0) return L"";
  const auto* text = reinterpret_cast<const UNICODE_STRING*>(answer.data());
  return text->Buffer != nullptr ? std::wstring(text->Buffer, text->Length / sizeof(wchar_t)) : std::wstring();
}

// A process-and-thread attribute list naming the one handle a new process
// may inherit; empty when the system refuses it.
class InheritOnly {
 public:
  explicit InheritOnly(HANDLE handle) : handles_{handle} {
    SIZE_T bytes = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &bytes);
    storage_.resize(bytes);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (bytes == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &bytes)) return;
    list_.reset(list);
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_, sizeof(handles_), nullptr,
                                   nullptr)) {
      list_.reset();
    }
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;

  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_.get(); }

 private:
  // Read when the process is created: lives as long as the list.
  HANDLE handles_[1];
  std::vector<unsigned char> storage_;
  comlib::UniqueHandle<LPPROC_THREAD_ATTRIBUTE_LIST, &DeleteProcThreadAttributeList> list_;
};

}  // namespace

namespace instancemutex {

bool IsAnotherHandleToSame(HANDLE handed, HANDLE own) {
  if (handed == nullptr || handed == own) return false;
  // The type first: asking the name of some other kinds of object (a pipe
  // someone waits on) can block.
  const std::wstring type = ObjectText(own, kObjectTypeInformation);
  if (type.empty() || ObjectText(handed, kObjectTypeInformation) != type) return false;
  const std::wstring name = ObjectText(own, kObjectNameInformation);
  return !name.empty() && ObjectText(handed, kObjectNameInformation) == name;
}

}  // namespace instancemutex

bool InstanceMutex_CL::Take(const std::optional<std::wstring>& handedOver) {
  const HANDLE mutex = CreateMutexW(nullptr, TRUE, name_.c_str());
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  mutex_.reset(mutex);
  if (!existed) return true;
  if (!handedOver) return false;
  const auto handed = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(wcstoull(handedOver->c_str(), nullptr, 10)));
  if (!instancemutex::IsAnotherHandleToSame(handed, mutex_.get())) return false;
  CloseHandle(handed);
  return true;
}

bool InstanceMutex_CL::StartHeir(const std::wstring& programPath, const wchar_t* option,
                                 const std::wstring& folder) const {
  HANDLE inheritable = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), mutex_.get(), GetCurrentProcess(), &inheritable, 0, TRUE,
                       DUPLICATE_SAME_ACCESS)) {
    return false;
  }
  const comlib::UniqueKernelHandle handOver(inheritable);
  const InheritOnly inheritOnly(inheritable);
  if (inheritOnly.get() == nullptr) return false;
  std::wstring commandLine = L"\"" + programPath + L"\" " + option + L":" +
                             std::to_wstring(reinterpret_cast<std::uintptr_t>(inheritable));
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.lpAttributeList = inheritOnly.get();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(programPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT,
                      nullptr, folder.c_str(), &startup.StartupInfo, &started)) {
    return false;
  }
  const comlib::UniqueKernelHandle thread(started.hThread);
  const comlib::UniqueKernelHandle process(started.hProcess);
  return true;
}
