// A ZIP unpacked into Downloads may lie beside a stranger's DLL. Planted
// beside a copy of the program under every name the program loads, such a
// library is never loaded; and the libraries the program needs only now
// and then are not loaded until it uses them.

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_ids.h"
#include "comlib/ui_text.h"
#include "support/loopback_server.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr const wchar_t* kPlantedNames[] = {L"dwmapi.dll", L"wininet.dll", L"gdiplus.dll", L"comdlg32.dll",
                                            L"atl110.dll"};

// The lower-case paths of the process's libraries whose names begin so.
std::wstring LoadedLibraries(DWORD processId, const wchar_t* namePrefix) {
  std::wstring paths;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
    if (_wcsnicmp(entry.szModule, namePrefix, wcslen(namePrefix)) == 0) paths += CharLowerW(entry.szExePath);
  }
  CloseHandle(snapshot);
  return paths;
}

}  // namespace

TEST(PlantedLibraries, NoneBesideTheProgramIsLoadedAndOccasionalOnesWaitForTheirUse) {
  // Wine prefers its own copies of most system libraries; told at its start
  // to look for these in the program's folder first (tests/CMakeLists.txt),
  // it searches as Windows does.
  wchar_t overrides[512] = {};
  GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
  if (wcsstr(overrides, L"dwmapi,wininet") == nullptr) GTEST_SKIP() << "run as planted_library_test";
  TempFolder folder;
  const std::wstring program = folder.File(L"Horavel.exe");
  ASSERT_TRUE(CopyFileW(HoravelPath().c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\license.html").c_str(), folder.File(L"license.html").c_str(), FALSE));
  const auto plantedThatRan = [&] {
    std::wstring ran;
    for (const wchar_t* name : kPlantedNames) {
      if (FileExists(folder.File(name) + L".loaded")) ran += std::wstring(name) + L" ";
    }
    return ran;
  };
  for (const wchar_t* name : kPlantedNames) {
    const std::wstring planted = ProgramFolder() + L"\\planted\\planted_library.dll";
    ASSERT_TRUE(CopyFileW(planted.c_str(), folder.File(name).c_str(), FALSE));
  }

  // A start without a check: no WinINet, no common dialogs, no browser host.
  ResetProgramData();
  ProgramProcess running;
  ASSERT_TRUE(running.StartProgram(program));
  const HWND started = WaitForWindows(running);
  EXPECT_EQ(L"", plantedThatRan()) << "at the start";
  ASSERT_NE(nullptr, started);
  for (const wchar_t* occasional : {L"wininet", L"comdlg32", L"atl"}) {
    EXPECT_EQ(L"", LoadedLibraries(running.Id(), occasional));
  }
  running.End();

  // A check, and the licence sheet with its browser host.
  LoopbackHttpServer server;
  server.Answer(HttpResponse("1.1.3.0\r\nhttp://127.0.0.1/download\r\n"));
  SetProgramSetting(L"VERSION", L"notify", 0);
  SetProgramSetting(L"VERSION", L"update_url", server.Url());
  ASSERT_TRUE(running.StartProgram(program));
  const HWND clock = WaitForWindows(running);
  ASSERT_NE(nullptr, clock);
  EXPECT_EQ(1u, server.RequestLines().size());
  PostMessageW(clock, WM_COMMAND, kCommandLicence, 0);
  std::vector<HWND> sheets;
  ASSERT_TRUE(WaitUntil(
      [&] { return !(sheets = FindTopLevelWindows(UiText(TextId::kLicenceTitle), running.Id(), L"#32770")).empty(); },
      kChangeTimeoutMs));
  EXPECT_NE(std::wstring::npos, LoadedLibraries(running.Id(), L"atl").find(L"\\system32\\atl")) << "the system's";
  EXPECT_TRUE(CloseSheet(sheets.front(), clock, WM_SYSCOMMAND, SC_CLOSE));
  running.End();
  EXPECT_EQ(L"", plantedThatRan()) << "by the check or the licence sheet";
}
