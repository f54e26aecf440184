#pragma once
// The named mutex that keeps the program a single instance, and its hand-over
// to the copy a restart starts. The new copy inherits a handle to the same
// mutex, so the mutex never ceases to exist between the two copies and any
// start in between is a second start.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "comlib/unique_handle.h"

class InstanceMutex_CL {
 public:
  explicit InstanceMutex_CL(std::wstring name) : name_(std::move(name)) {}
  virtual ~InstanceMutex_CL() = default;
  InstanceMutex_CL(const InstanceMutex_CL&) = delete;
  InstanceMutex_CL& operator=(const InstanceMutex_CL&) = delete;

  // Creates or opens the mutex. True when no other copy has it, or when
  // `handedOver` is the number of a handle this copy inherited to the same
  // mutex; that handle is closed once this copy holds its own, so nothing
  // this copy starts later inherits it.
  bool Take(const std::optional<std::wstring>& handedOver);

  // Starts the program at `programPath` in `folder` with "<option>:<n>", n
  // an inheritable copy of this copy's handle and the only handle the new
  // copy inherits. False, with GetLastError set, when it could not start.
  bool StartHeir(const std::wstring& programPath, const wchar_t* option, const std::wstring& folder) const;

  void Release() { mutex_.reset(); }

 private:
  std::wstring name_;
  comlib::UniqueKernelHandle mutex_;
};

namespace instancemutex {

// True when `handed` is a handle other than `own` to the same kernel object:
// of the same type and under the same name. A number from the command line
// is taken for a hand-over only then.
bool IsAnotherHandleToSame(HANDLE handed, HANDLE own);

}  // namespace instancemutex
