#pragma once
// The diagnostic log: one UTF-16LE line per event, stamped to the
// millisecond with the source file and line that wrote it.

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

class LogFile_CL {
 public:
  // Past this size the file is emptied before the next line.
  static constexpr std::int64_t kSizeLimitBytes = 33554432;

  LogFile_CL() = default;
  virtual ~LogFile_CL() = default;
  LogFile_CL(const LogFile_CL&) = delete;
  LogFile_CL& operator=(const LogFile_CL&) = delete;

  void SetPath(const std::wstring& path) { path_ = path; }
  const std::wstring& Path() const { return path_; }

  // Appends one finished line (without its line end). Returns false when the
  // file cannot be opened; the line is then dropped.
  bool AppendLine(const std::wstring& line) const;

 private:
  std::wstring path_;
};

// The program's one log, set up by the settings initialisation.
LogFile_CL& AppLog();

// One line: time stamp, origin (line number and the source file's name) and
// the caller's printf-style message; "%s" takes a wide string.
void WriteLog(LogFile_CL& log, const wchar_t* format, const char* sourceFile, int sourceLine, ...);
void WriteLogV(LogFile_CL& log, const wchar_t* format, const char* sourceFile, int sourceLine,
               va_list args);

// Writes to the program's log from the calling source line.
void WriteAppLogAt(const char* sourceFile, int sourceLine, const wchar_t* format, ...);
#define HORAVEL_LOG(...) WriteAppLogAt(__FILE__, __LINE__, __VA_ARGS__)

// While one lives, what the calling thread writes to the program's log is
// held in `lines` instead, stamped as it happens: a worker thread that may
// be given up, and may still run while the program ends, never touches the
// log itself. Whoever waited for it passes the lines on with AppendAppLogLines.
class ScopedLogHold {
 public:
  explicit ScopedLogHold(std::vector<std::wstring>& lines);
  ~ScopedLogHold();
  ScopedLogHold(const ScopedLogHold&) = delete;
  ScopedLogHold& operator=(const ScopedLogHold&) = delete;

 private:
  std::vector<std::wstring>* previous_;
};
void AppendAppLogLines(const std::vector<std::wstring>& lines);

namespace logline {

// Room given to each piece of a line, and to the whole line.
constexpr size_t kOriginRoom = 1040;
constexpr size_t kMessageRoom = 1040;
constexpr size_t kLineRoom = 1300;

// The source file's name without its folders.
std::wstring SourceFileName(const char* sourceFile);

// "2024/03/05 09:07:02.045 : (  157)task_tray_icon.cpp ...  : message"
std::wstring Compose(const SYSTEMTIME& time, const std::wstring& sourceName, int sourceLine,
                     const std::wstring& message);

// True when a file of this many bytes is emptied before the next line.
constexpr bool MustEmpty(std::int64_t sizeBytes) { return sizeBytes > LogFile_CL::kSizeLimitBytes; }

}  // namespace logline
