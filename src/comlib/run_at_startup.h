#pragma once
// Starting with Windows: the program's value under the user's Run key. What
// the registry holds is the truth; the program keeps no copy of it.

#include <windows.h>

#include <string>

namespace startup {

constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Horavel";

// The command the Run key holds: the quoted program path and " -startup".
std::wstring RunCommand(const std::wstring& programPath);

// True when a stored command runs this program: the same path, in any
// case, quoted or not, whatever its arguments.
bool NamesProgram(const std::wstring& command, const std::wstring& programPath);

// True when a stored command starts this program with the sign-in option.
bool StartsProgram(const std::wstring& command, const std::wstring& programPath);

}  // namespace startup

// The Run value of one program under a key of the current user (the real
// Run key unless a test names another).
class RunAtStartup_CL {
 public:
  explicit RunAtStartup_CL(std::wstring programPath, std::wstring keyPath = startup::kRunKeyPath,
                           std::wstring valueName = startup::kRunValueName);
  virtual ~RunAtStartup_CL() = default;

  // True when the value is there and starts this program.
  bool IsOn() const;
  // Writes or removes the value; false when the registry refused.
  bool Set(bool on) const;
  // The stored command, empty when there is none.
  std::wstring StoredCommand() const;
  // Removes the value when it runs this program, so that no sign-in entry
  // is left pointing at a program that is being removed; a value that runs
  // another copy stays. False when the registry refused.
  bool RemoveIfThisProgram() const;

 private:
  std::wstring programPath_;
  std::wstring keyPath_;
  std::wstring valueName_;
};

// The Run value of the running program.
RunAtStartup_CL ThisProgramAtStartup();
