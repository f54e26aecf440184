#pragma once
// The program's arguments, without the program path. A leading '-' of an
// argument is stored as '/', so "-startup" and "/startup" read alike.

#include <optional>
#include <string>
#include <vector>

class CommandLine_CL {
 public:
  CommandLine_CL() = default;
  virtual ~CommandLine_CL() = default;

  // Reads the process command line.
  void Parse();
  // Reads the given command line (the program path first, as Windows passes it).
  void Parse(const wchar_t* commandLine);

  const std::vector<std::wstring>& Arguments() const { return arguments_; }

  // True when one of the arguments is the option in any spelling ('-' or
  // '/', any case).
  bool HasOption(const wchar_t* option) const;
  // The sign-in option "-startup".
  bool HasStartupOption() const;
  // The text after "<option>:" in the first argument of that form (the
  // option in any spelling), or nothing.
  std::optional<std::wstring> ValueOf(const wchar_t* option) const;

 protected:
  // Called once for every stored argument, in order, after parsing.
  virtual void OnArgument(std::wstring /*argument*/) {}

 private:
  std::vector<std::wstring> arguments_;
};

namespace commandline {
// Given at sign-in, and by Windows when it restarts the program.
constexpr wchar_t kStartupOption[] = L"-startup";
// The installer's steps: the program does one thing and ends at once.
constexpr wchar_t kUninstallOption[] = L"-uninstall";
constexpr wchar_t kStartWithWindowsOption[] = L"-startwithwindows";
// Given by a restart to the copy it starts, with the number of the inherited
// handle to the single-instance mutex: "-handover:<number>".
constexpr wchar_t kHandOverOption[] = L"-handover";

// "-x" becomes "/x"; nothing else changes.
std::wstring NormaliseArgument(std::wstring argument);
}  // namespace commandline
