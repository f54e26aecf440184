// The single-instance mutex and the hand-over a restart gives the new copy,
// played by two objects in one process with real kernel handles.

#include "comlib/instance_mutex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::wstring Number(HANDLE handle) { return std::to_wstring(reinterpret_cast<std::uintptr_t>(handle)); }

HANDLE Copy(HANDLE handle) {
  HANDLE copy = nullptr;
  DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
  return copy;
}

}  // namespace

TEST(InstanceMutex, AHandOverIsTakenOnlyForAnotherHandleToTheSameMutex) {
  const std::wstring name = L"Horavel.InstanceMutexTest." + std::to_wstring(GetCurrentProcessId());
  InstanceMutex_CL first(name);
  ASSERT_TRUE(first.Take(std::nullopt)) << "the first copy";
  const comlib::UniqueKernelHandle own(CreateMutexW(nullptr, FALSE, name.c_str()));
  const comlib::UniqueKernelHandle same(Copy(own.get()));
  const comlib::UniqueKernelHandle otherMutex(CreateMutexW(nullptr, FALSE, (name + L".other").c_str()));
  const comlib::UniqueKernelHandle unnamedMutex(CreateMutexW(nullptr, FALSE, nullptr));
  const comlib::UniqueKernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  struct Case {
    const char* what;
    HANDLE handed;
    bool taken;
  };
  const Case cases[] = {
      {"another handle to the mutex", same.get(), true},
      {"the copy's own handle", own.get(), false},
      {"another mutex", otherMutex.get(), false},
      {"a mutex without a name", unnamedMutex.get(), false},
      {"an event", event.get(), false},
      {"the process itself", GetCurrentProcess(), false},
      {"no handle", reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0xFFF0)), false},
      {"nothing", nullptr, false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(test.taken, instancemutex::IsAnotherHandleToSame(test.handed, own.get())) << test.what;
  }

  // A second copy starts only with a hand-over, and keeps no more than its own handle.
  EXPECT_FALSE(InstanceMutex_CL(name).Take(std::nullopt));
  EXPECT_FALSE(InstanceMutex_CL(name).Take(Number(otherMutex.get())));
  const HANDLE inherited = Copy(own.get());
  EXPECT_TRUE(InstanceMutex_CL(name).Take(Number(inherited)));
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(inherited, &flags)) << "the handed-over handle is closed";
}
