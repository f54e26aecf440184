#include "comlib/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "comlib/unique_handle.h"

namespace commandline {
std::wstring NormaliseArgument(std::wstring argument) {
  if (!argument.empty() && argument[0] == L'-') argument[0] = L'/';
  return argument;
}
}  // namespace commandline

void CommandLine_CL::Parse() { Parse(GetCommandLineW()); }

void CommandLine_CL::Parse(const wchar_t* commandLine) {
  arguments_.clear();
  int count = 0;
  const comlib::UniqueLocal<LPWSTR*> argv(CommandLineToArgvW(commandLine, &count));
  if (argv) {
    for (int i = 1; i < count; ++i) arguments_.push_back(commandline::NormaliseArgument(argv.get()[i]));
  }
  for (const std::wstring& argument : arguments_) OnArgument(argument);
}

bool CommandLine_CL::HasOption(const wchar_t* option) const {
  const std::wstring normalised = commandline::NormaliseArgument(option);
  for (const std::wstring& argument : arguments_) {
    if (_wcsicmp(argument.c_str(), normalised.c_str()) == 0) return true;
  }
  return false;
}

bool CommandLine_CL::HasStartupOption() const { return HasOption(commandline::kStartupOption); }

std::optional<std::wstring> CommandLine_CL::ValueOf(const wchar_t* option) const {
  const std::wstring prefix = commandline::NormaliseArgument(option) + L":";
  for (const std::wstring& argument : arguments_) {
    if (_wcsnicmp(argument.c_str(), prefix.c_str(), prefix.size()) == 0) return argument.substr(prefix.size());
  }
  return std::nullopt;
}
