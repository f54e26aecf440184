#include "support/test_support.h"

#include <shellapi.h>
#include <windowsx.h>

#include <fstream>
#include <iterator>

#include "comlib/log_file.h"
#include "comlib/program_path.h"

namespace testing_support {

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(base) + L"horavel_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++counter);
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  // SHFileOperation wants a list ended by two NULs.
  std::wstring from = path;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&operation);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeSymbolicLink(const std::wstring& folder, const std::wstring& link, const std::wstring& target) {
  // Wine's CreateSymbolicLinkW makes nothing, but Wine starts Unix programs.
  std::wstring command = L"ln -s " + target + L" " + link;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION ln{};
  if (!CreateProcessW(L"Z:\\bin\\ln", &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &ln)) {
    return false;
  }
  CloseHandle(ln.hThread);
  CloseHandle(ln.hProcess);
  // Wine's handle of a Unix program is signalled at once: wait for its work.
  return WaitUntil([&] { return FileExists(folder + L"\\" + link); }, 10000);
}

std::vector<unsigned char> ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::wstring ReadUtf16(const std::wstring& path) {
  const std::vector<unsigned char> bytes = ReadBytes(path);
  size_t start = (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) ? 2 : 0;
  std::wstring text;
  for (size_t i = start; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return text;
}

void WriteUtf16(const std::wstring& path, const std::wstring& text) {
  std::vector<unsigned char> bytes = {0xFF, 0xFE};
  for (wchar_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c & 0xFF));
    bytes.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
  }
  WriteBytes(path, bytes);
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}

std::vector<IniLine> IniLines(const std::wstring& text) {
  std::vector<IniLine> lines;
  std::wstring section;
  for (const std::wstring& line : SplitLines(text)) {
    if (line.size() > 1 && line.front() == L'[') {
      section = line.substr(1, line.size() - 2);
    } else if (line.find(L'=') != std::wstring::npos) {
      lines.push_back({section, line.substr(0, line.find(L'=')), line.substr(line.find(L'=') + 1)});
    }
  }
  return lines;
}

size_t CountOccurrences(const std::wstring& text, const std::wstring& piece) {
  if (piece.empty()) return 0;
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::wstring::npos; at = text.find(piece, at + piece.size())) ++count;
  return count;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

bool MoveCursorTo(int x, int y) {
  SetCursorPos(x, y);
  return WaitUntil(
      [&] {
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        MSG message{};
        PeekMessageW(&message, nullptr, WM_NULL, WM_NULL, PM_REMOVE);
        const DWORD at = GetMessagePos();
        return GET_X_LPARAM(at) == x && GET_Y_LPARAM(at) == y;
      },
      2000);
}

ScopedAppLog::ScopedAppLog(const std::wstring& path) : previous_(AppLog().Path()) { AppLog().SetPath(path); }
ScopedAppLog::~ScopedAppLog() { AppLog().SetPath(previous_); }

SYSTEMTIME MakeTime(WORD year, WORD month, WORD day, WORD dayOfWeek, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wDayOfWeek = dayOfWeek;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  return time;
}

std::wstring ProgramFolder() { return comlib::ProgramFolder(); }

}  // namespace testing_support
