#include "comlib/run_at_startup.h"

#include <shellapi.h>

#include <utility>

#include "comlib/command_line.h"
#include "comlib/log_file.h"
#include "comlib/program_path.h"
#include "comlib/unique_handle.h"

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The program path a command starts, parsed as Windows parses it.
std::wstring CommandProgram(const std::wstring& command) {
  int count = 0;
  const comlib::UniqueLocal<LPWSTR*> argv(CommandLineToArgvW(command.c_str(), &count));
  if (!argv || count <= 0) return std::wstring();
  return argv.get()[0];
}

}  // namespace

namespace startup {

std::wstring RunCommand(const std::wstring& programPath) {
  return L"\"" + programPath + L"\" " + commandline::kStartupOption;
}

bool NamesProgram(const std::wstring& command, const std::wstring& programPath) {
  // CommandLineToArgvW reads an empty line as the caller's own path.
  if (command.find_first_not_of(L" \t") == std::wstring::npos) return false;
  return SamePath(CommandProgram(command), programPath);
}

bool StartsProgram(const std::wstring& command, const std::wstring& programPath) {
  if (!NamesProgram(command, programPath)) return false;
  CommandLine_CL arguments;
  arguments.Parse(command.c_str());
  return arguments.HasStartupOption();
}

}  // namespace startup

RunAtStartup_CL::RunAtStartup_CL(std::wstring programPath, std::wstring keyPath, std::wstring valueName)
    : programPath_(std::move(programPath)), keyPath_(std::move(keyPath)), valueName_(std::move(valueName)) {}

std::wstring RunAtStartup_CL::StoredCommand() const {
  DWORD bytes = 0;
  // REG_SZ, and REG_EXPAND_SZ expanded into it.
  constexpr DWORD kTextTypes = RRF_RT_REG_SZ;
  if (RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), valueName_.c_str(), kTextTypes, nullptr, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      bytes == 0) {
    return std::wstring();
  }
  std::wstring command(bytes / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), valueName_.c_str(), kTextTypes, nullptr, &command[0],
                   &bytes) != ERROR_SUCCESS) {
    return std::wstring();
  }
  command.resize(wcsnlen(command.c_str(), command.size()));
  return command;
}

bool RunAtStartup_CL::IsOn() const { return startup::StartsProgram(StoredCommand(), programPath_); }

bool RunAtStartup_CL::RemoveIfThisProgram() const {
  return !startup::NamesProgram(StoredCommand(), programPath_) || Set(false);
}

bool RunAtStartup_CL::Set(bool on) const {
  LSTATUS status = ERROR_SUCCESS;
  if (on) {
    const std::wstring command = startup::RunCommand(programPath_);
    status = RegSetKeyValueW(HKEY_CURRENT_USER, keyPath_.c_str(), valueName_.c_str(), REG_SZ, command.c_str(),
                             static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  } else {
    status = RegDeleteKeyValueW(HKEY_CURRENT_USER, keyPath_.c_str(), valueName_.c_str());
    // Already gone is what was asked.
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  if (status != ERROR_SUCCESS) {
    HORAVEL_LOG(L"自動起動の登録を変更できません (%s): %d", on ? L"登録" : L"削除", static_cast<int>(status));
  }
  return status == ERROR_SUCCESS;
}

RunAtStartup_CL ThisProgramAtStartup() { return RunAtStartup_CL(comlib::ProgramPath()); }
