#include "comlib/log_file.h"

#include <vector>

#include "comlib/unique_handle.h"
#include "comlib/wide_format.h"

namespace {

const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
const unsigned char kLineEnd[] = {0x0D, 0x00, 0x0A, 0x00};

// A line is added through a handle opened for appending only: each write
// lands at the end of the file as it is at that moment, so two copies of
// the program (the old and the new one of a restart) never write over each
// other's lines. Emptying needs plain write access.
comlib::UniqueKernelHandle OpenLog(const std::wstring& path, DWORD access, DWORD disposition) {
  return comlib::OwnFile(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

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
  comlib::UniqueKernelHandle file = OpenLog(path_, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, OPEN_ALWAYS);
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return false;
  if (logline::MustEmpty(size.QuadPart)) {
    file = OpenLog(path_, GENERIC_WRITE, TRUNCATE_EXISTING);
    if (!file) return false;
    size.QuadPart = 0;
  }
  // One write for the whole line: a line is never split by another's.
  std::vector<unsigned char> bytes;
  bytes.reserve(sizeof(kByteOrderMark) + line.size() * sizeof(wchar_t) + sizeof(kLineEnd));
  if (size.QuadPart == 0) bytes.insert(bytes.end(), std::begin(kByteOrderMark), std::end(kByteOrderMark));
  // UTF-16LE on every Windows target, so the code units go out as they are.
  const auto* text = reinterpret_cast<const unsigned char*>(line.data());
  bytes.insert(bytes.end(), text, text + line.size() * sizeof(wchar_t));
  bytes.insert(bytes.end(), std::begin(kLineEnd), std::end(kLineEnd));
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
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
