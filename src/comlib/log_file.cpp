#include "comlib/log_file.h"

#include <share.h>
#include <stdio.h>

#include <vector>

#include "comlib/wide_format.h"

namespace {

// Closes a C file stream on every path.
class FileStream {
 public:
  FileStream(const std::wstring& path, const wchar_t* mode) : file_(_wfsopen(path.c_str(), mode, _SH_DENYNO)) {}
  ~FileStream() { Close(); }
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  FILE* get() const { return file_; }
  void Close() {
    if (file_) fclose(file_);
    file_ = nullptr;
  }
  void Reopen(const std::wstring& path, const wchar_t* mode) {
    Close();
    file_ = _wfsopen(path.c_str(), mode, _SH_DENYNO);
  }

 private:
  FILE* file_;
};

// Where this thread's lines are held instead of written, if anywhere.
thread_local std::vector<std::wstring>* t_heldLines = nullptr;

std::wstring ComposeNowV(const wchar_t* format, const char* sourceFile, int sourceLine, va_list args) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t message[logline::kMessageRoom];
  const size_t length = comlib::FormatWideV(message, logline::kMessageRoom, format, args);
  return logline::Compose(now, logline::SourceFileName(sourceFile), sourceLine, std::wstring(message, length));
}

}  // namespace

LogFile_CL& AppLog() {
  static LogFile_CL log;
  return log;
}

bool LogFile_CL::AppendLine(const std::wstring& line) const {
  if (path_.empty()) return false;
  FileStream stream(path_, L"ab");
  if (!stream.get()) return false;

  _fseeki64(stream.get(), 0, SEEK_END);
  std::int64_t position = _ftelli64(stream.get());
  if (logline::MustEmpty(position)) {
    stream.Reopen(path_, L"wb");
    if (!stream.get()) return false;
    position = 0;
  }
  if (position == 0) {
    static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
    fwrite(kByteOrderMark, 1, sizeof(kByteOrderMark), stream.get());
  }
  // UTF-16LE on every Windows target, so the code units go out as they are.
  fwrite(line.data(), sizeof(wchar_t), line.size(), stream.get());
  static const unsigned char kLineEnd[] = {0x0D, 0x00, 0x0A, 0x00};
  fwrite(kLineEnd, 1, sizeof(kLineEnd), stream.get());
  fflush(stream.get());
  return true;
}

namespace logline {

std::wstring SourceFileName(const char* sourceFile) {
  if (sourceFile == nullptr || *sourceFile == '\0') return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, sourceFile, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, sourceFile, -1, wide.data(), length);
  std::wstring name(wide.data());
  // GCC spells __FILE__ with forward slashes; either separator ends a folder.
  const size_t lastSeparator = name.find_last_of(L"\\/");
  if (lastSeparator != std::wstring::npos) name.erase(0, lastSeparator + 1);
  return name;
}

std::wstring Compose(const SYSTEMTIME& time, const std::wstring& sourceName, int sourceLine,
                     const std::wstring& message) {
  std::wstring line = comlib::FormatWide(64, L"%04d/%02d/%02d %02d:%02d:%02d.%03d : ", time.wYear,
                                         time.wMonth, time.wDay, time.wHour, time.wMinute,
                                         time.wSecond, time.wMilliseconds);
  line += comlib::FormatWide(kOriginRoom, L"(%5d)% -32s : ", sourceLine, sourceName.c_str());
  line += message.substr(0, kMessageRoom - 1);
  if (line.size() > kLineRoom - 1) line.resize(kLineRoom - 1);
  return line;
}

}  // namespace logline

void WriteLogV(LogFile_CL& log, const wchar_t* format, const char* sourceFile, int sourceLine,
               va_list args) {
  log.AppendLine(ComposeNowV(format, sourceFile, sourceLine, args));
}

void WriteLog(LogFile_CL& log, const wchar_t* format, const char* sourceFile, int sourceLine, ...) {
  va_list args;
  va_start(args, sourceLine);
  WriteLogV(log, format, sourceFile, sourceLine, args);
  va_end(args);
}

void WriteAppLogAt(const char* sourceFile, int sourceLine, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  // A held line never reaches AppLog, which may already be gone.
  if (t_heldLines != nullptr) {
    t_heldLines->push_back(ComposeNowV(format, sourceFile, sourceLine, args));
  } else {
    WriteLogV(AppLog(), format, sourceFile, sourceLine, args);
  }
  va_end(args);
}

ScopedLogHold::ScopedLogHold(std::vector<std::wstring>& lines) : previous_(t_heldLines) { t_heldLines = &lines; }

ScopedLogHold::~ScopedLogHold() { t_heldLines = previous_; }

void AppendAppLogLines(const std::vector<std::wstring>& lines) {
  for (const std::wstring& line : lines) AppLog().AppendLine(line);
}
