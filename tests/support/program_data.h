#pragma once
// The data folder that Horavel.exe uses in the test prefix (the documents
// folder + "\Horavel"): settings written before a start, the log read after.

#include <windows.h>

#include <string>

namespace testing_support {

std::wstring ProgramDataFolder();
std::wstring ProgramSettingsPath();
std::wstring ProgramLogPath();

// Empties the data folder and starts a settings file as the program would
// make it, with the update check switched off.
void ResetProgramData();
// Keeps programs started by tests, and clocks made in the test process,
// from asking the maker's server for a new version: no test waits on the
// network unless it points the check at a server of its own.
void SwitchUpdateCheckOff();
void SetProgramSetting(const wchar_t* section, const wchar_t* key, int value);
void SetProgramSetting(const wchar_t* section, const wchar_t* key, const std::wstring& value);
std::wstring ProgramSetting(const wchar_t* section, const wchar_t* key);
// The same once the file holds `expected`, or when the wait is over: the
// program writes a change a moment after it is made.
std::wstring ProgramSettingOnceWritten(const wchar_t* section, const wchar_t* key, const std::wstring& expected);
std::wstring ProgramLog();

// The current user's entry that starts the program at sign-in.
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Its value, or "<none>".
std::wstring RunValue();

}  // namespace testing_support
