#pragma once
// Helpers shared by the test programs: throwaway folders, whole-file reads
// and writes, and waiting for a condition while messages keep flowing.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "comlib/ui_text.h"

namespace testing_support {

// A fresh folder under the temporary folder, removed with all it holds.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
bool FileExists(const std::wstring& path);

std::vector<unsigned char> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
// A UTF-16LE file's text without its byte-order mark.
std::wstring ReadUtf16(const std::wstring& path);
// Writes a UTF-16LE file with its byte-order mark.
void WriteUtf16(const std::wstring& path, const std::wstring& text);

// Makes `link` in the folder a symbolic link to `target`, a name in the
// same folder, under Wine; false when it cannot.
bool MakeSymbolicLink(const std::wstring& folder, const std::wstring& link, const std::wstring& target);

// Each "key=value" line of a settings file's text, in order.
struct IniLine {
  std::wstring section;
  std::wstring key;
  std::wstring value;
};
std::vector<IniLine> IniLines(const std::wstring& text);

// Lines of a UTF-16 text split at CR LF.
std::vector<std::wstring> SplitLines(const std::wstring& text);
size_t CountOccurrences(const std::wstring& text, const std::wstring& piece);

// Pumps this thread's messages until the condition holds or the deadline
// passes; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
void PumpMessages();

// Puts the cursor back where the test found it.
class CursorKept {
 public:
  CursorKept() { GetCursorPos(&at_); }
  ~CursorKept() { SetCursorPos(at_.x, at_.y); }

 private:
  POINT at_{};
};

// Moves the cursor and waits until a message taken from this thread's queue
// carries it there: the program's fading reads the cursor from the message
// it handles, as a tick brings it.
bool MoveCursorTo(int x, int y);

// Points the program's log at a file for the life of the object.
class ScopedAppLog {
 public:
  explicit ScopedAppLog(const std::wstring& path);
  ~ScopedAppLog();
  ScopedAppLog(const ScopedAppLog&) = delete;
  ScopedAppLog& operator=(const ScopedAppLog&) = delete;

 private:
  std::wstring previous_;
};

// The texts of this test program in a language, for the life of the object.
class ScopedUiLanguage {
 public:
  explicit ScopedUiLanguage(UiLanguage language) : previous_(CurrentUiLanguage()) { SetUiLanguage(language); }
  ~ScopedUiLanguage() { SetUiLanguage(previous_); }
  ScopedUiLanguage(const ScopedUiLanguage&) = delete;
  ScopedUiLanguage& operator=(const ScopedUiLanguage&) = delete;

 private:
  UiLanguage previous_;
};

// A local time as GetLocalTime would give it.
SYSTEMTIME MakeTime(WORD year, WORD month, WORD day, WORD dayOfWeek, WORD hour, WORD minute, WORD second);

// The folder of the running test program.
std::wstring ProgramFolder();

}  // namespace testing_support
