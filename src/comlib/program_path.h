#pragma once
// Where the running program lies: the data files it ships with sit beside it.

#include <string>

namespace comlib {

// The full path of the running program.
std::wstring ProgramPath();
// Its folder, without a trailing backslash.
std::wstring ProgramFolder();

}  // namespace comlib
