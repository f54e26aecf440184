#include "support/program_data.h"

#include <shlobj.h>

#include <vector>

#include "support/test_support.h"

namespace testing_support {

namespace {
// Far past the program's quarter second, for a busy machine.
constexpr DWORD kWrittenTimeoutMs = 10000;
}  // namespace

std::wstring ProgramDataFolder() {
  wchar_t documents[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  return std::wstring(documents) + L"\\Horavel";
}

std::wstring ProgramSettingsPath() { return ProgramDataFolder() + L"\\Horavel.ini"; }
std::wstring ProgramLogPath() { return ProgramDataFolder() + L"\\log.txt"; }

void ResetProgramData() {
  RemoveTree(ProgramDataFolder());
  CreateDirectoryW(ProgramDataFolder().c_str(), nullptr);
  WriteBytes(ProgramSettingsPath(), std::vector<unsigned char>{0xFF, 0xFE});
  SwitchUpdateCheckOff();
}

void SwitchUpdateCheckOff() {
  CreateDirectoryW(ProgramDataFolder().c_str(), nullptr);
  if (!FileExists(ProgramSettingsPath())) WriteBytes(ProgramSettingsPath(), std::vector<unsigned char>{0xFF, 0xFE});
  SetProgramSetting(L"VERSION", L"notify", 1);
}

void SetProgramSetting(const wchar_t* section, const wchar_t* key, int value) {
  SetProgramSetting(section, key, std::to_wstring(value));
}

void SetProgramSetting(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
  WritePrivateProfileStringW(section, key, value.c_str(), ProgramSettingsPath().c_str());
}

std::wstring ProgramSetting(const wchar_t* section, const wchar_t* key) {
  wchar_t value[256] = {};
  GetPrivateProfileStringW(section, key, L"", value, 256, ProgramSettingsPath().c_str());
  return value;
}

std::wstring ProgramSettingOnceWritten(const wchar_t* section, const wchar_t* key, const std::wstring& expected) {
  std::wstring stored;
  WaitUntil([&] { return (stored = ProgramSetting(section, key)) == expected; }, kWrittenTimeoutMs);
  return stored;
}

std::wstring ProgramLog() { return ReadUtf16(ProgramLogPath()); }

std::wstring RunValue() {
  wchar_t value[1024] = {};
  DWORD bytes = sizeof(value);
  const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Horavel", RRF_RT_REG_SZ, nullptr, value, &bytes);
  return status == ERROR_SUCCESS ? value : L"<none>";
}

}  // namespace testing_support
