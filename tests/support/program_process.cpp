#include "support/program_process.h"

#include <tlhelp32.h>

#include "support/program_data.h"
#include "support/test_support.h"

namespace testing_support {

namespace {
constexpr DWORD kEndTimeoutMs = 10000;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kAnswerTimeoutMs = 10000;
}  // namespace

std::wstring HoravelPath() { return ProgramFolder() + L"\\Horavel.exe"; }
std::wstring ScriptedHoravelPath() { return ProgramFolder() + L"\\scripted\\Horavel.exe"; }

namespace {
constexpr wchar_t kAnswerFileVariable[] = L"HORAVEL_DESKTOP_ANSWER_FILE";
}  // namespace

DesktopAnswers::DesktopAnswers() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"horavel-desktop-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  Write("");
  SetEnvironmentVariableW(kAnswerFileVariable, path_.c_str());
}

DesktopAnswers::~DesktopAnswers() {
  SetEnvironmentVariableW(kAnswerFileVariable, nullptr);
  DeleteFileW(path_.c_str());
}

void DesktopAnswers::Write(const std::string& answer) const {
  WriteBytes(path_, std::vector<unsigned char>(answer.begin(), answer.end()));
}

std::string DesktopAnswers::Read() const {
  const std::vector<unsigned char> bytes = ReadBytes(path_);
  return std::string(bytes.begin(), bytes.end());
}

HWND StartAndWait(ProgramProcess& program, const std::wstring& arguments) {
  return program.Start(arguments) ? WaitForWindows(program) : nullptr;
}

HWND WaitForWindows(const ProgramProcess& program) { return WaitForWindows(program.Id()); }

HWND WaitForWindows(DWORD processId) {
  if (!WaitUntil([&] { return FindDateWindow(processId) != nullptr; }, kStartTimeoutMs)) return nullptr;
  HWND clock = FindClockWindow(processId);
  // The date window carries its title from the start; once the program
  // answers, its creation has finished.
  RoundTrip(clock);
  return clock;
}

void RoundTrip(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &ignored);
}

void ClickTrayIcon(HWND clock) { SendMessageW(clock, kTrayCallbackMessage, 0, WM_LBUTTONDOWN); }

void SendTicks(HWND clock, int count) {
  for (int tick = 0; tick < count; ++tick) SendMessageW(clock, WM_TIMER, kClockTimerId, 0);
}

ProgramProcess::~ProgramProcess() {
  End();
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
}

bool ProgramProcess::Start(const std::wstring& arguments) { return StartProgram(HoravelPath(), arguments); }

bool ProgramProcess::StartProgram(const std::wstring& programPath, const std::wstring& arguments) {
  // A program object may start the program again after it ended.
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
  info_ = PROCESS_INFORMATION{};
  // It runs in its own folder, as when the user starts it from there.
  const size_t folderEnd = programPath.find_last_of(L"\\/");
  const std::wstring folder = folderEnd == std::wstring::npos ? std::wstring() : programPath.substr(0, folderEnd);
  std::wstring commandLine = L"\"" + programPath + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  // Whatever the program might write to its standard handles stays out of
  // the test's own output.
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = nul;
  startup.hStdError = nul;
  const BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.empty() ? nullptr : folder.c_str(), &startup, &info_);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  return started != FALSE;
}

bool ProgramProcess::WaitForExit(DWORD timeoutMs) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool ProgramProcess::IsRunning() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ProgramProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void ProgramProcess::End() {
  if (!IsRunning()) return;
  if (HWND clock = FindClockWindow(Id())) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(clock, WM_CLOSE, kCloseForRealCode, 0, SMTO_ABORTIFHUNG, kEndTimeoutMs, &ignored);
  }
  if (!WaitForExit(kEndTimeoutMs)) Kill();
}

void ProgramProcess::Kill() {
  if (!IsRunning()) return;
  TerminateProcess(info_.hProcess, 1);
  WaitForExit(kEndTimeoutMs);
}

namespace {
struct WindowSearch {
  std::wstring title;
  DWORD processId;
  std::wstring className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  if (search->title != text) return TRUE;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->processId != 0 && owner != search->processId) return TRUE;
  if (!search->className.empty()) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    if (search->className != name) return TRUE;
  }
  search->found.push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> FindTopLevelWindows(const std::wstring& title, DWORD processId, const std::wstring& className) {
  WindowSearch search{title, processId, className, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindClockWindow(DWORD processId) {
  const std::vector<HWND> found = FindTopLevelWindows(L"Horavel", processId, L"MainWindowClass");
  return found.empty() ? nullptr : found.front();
}

HWND FindDateWindow(DWORD processId) {
  const std::vector<HWND> found = FindTopLevelWindows(L"Horavel", processId, L"HoravelDateClass");
  return found.empty() ? nullptr : found.front();
}

HWND FindZonesWindow(DWORD processId) {
  const std::vector<HWND> found = FindTopLevelWindows(L"Horavel", processId, L"HoravelZoneClass");
  return found.empty() ? nullptr : found.front();
}

std::vector<DWORD> RunningHoravelProcesses() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, L"Horavel.exe") == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

void EndAllPrograms() {
  for (DWORD id : RunningHoravelProcesses()) {
    if (HWND clock = FindClockWindow(id)) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(clock, WM_CLOSE, kCloseForRealCode, 0, SMTO_ABORTIFHUNG, kEndTimeoutMs, &ignored);
    }
  }
  WaitUntil([] { return RunningHoravelProcesses().empty(); }, kEndTimeoutMs);
}

HWND FindUpdateNotice(DWORD processId) {
  for (HWND window : FindTopLevelWindows(UiText(TextId::kNoticeCaption), processId, L"#32770")) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

void ProgramTest::SetUp() { ResetProgramData(); }

void ProgramTest::Start(const std::wstring& arguments, const std::wstring& programPath) {
  const bool started = program_.StartProgram(programPath, arguments);
  const DWORD error = GetLastError();
  clock_ = started ? WaitForWindows(program_) : nullptr;
  ASSERT_NE(nullptr, clock_) << (started ? "no windows" : "not started") << ", error " << error << ", running "
                             << RunningHoravelProcesses().size() << ", exit code " << program_.ExitCode();
  date_ = FindDateWindow(program_.Id());
}

}  // namespace testing_support
