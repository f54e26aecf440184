#include "comlib/program_path.h"

#include <windows.h>

#include <vector>

namespace comlib {

std::wstring ProgramPath() {
  // Paths longer than MAX_PATH exist; grow the buffer until the name fits.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

std::wstring ProgramFolder() {
  const std::wstring program = ProgramPath();
  const size_t separator = program.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : program.substr(0, separator);
}

}  // namespace comlib
