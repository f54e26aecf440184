#include "comlib/inifile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "comlib/log_file.h"
#include "comlib/unique_handle.h"
#include "support/test_support.h"

using testing_support::ReadBytes;
using testing_support::TempFolder;

TEST(Inifile, CreateIfMissingWritesOnlyTheByteOrderMarkOnce) {
  TempFolder folder;
  testing_support::ScopedAppLog log(folder.File(L"log.txt"));
  const std::wstring path = folder.File(L"Horavel.ini");

  Inifile_CL::CreateIfMissing(path);
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(path));
  const std::wstring firstLog = testing_support::ReadUtf16(folder.File(L"log.txt"));
  EXPECT_EQ(1u, testing_support::SplitLines(firstLog).size());
  EXPECT_NE(std::wstring::npos, firstLog.find(L"Inifile新規作成 = " + path));

  Inifile_CL::CreateIfMissing(path);
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(path));
  EXPECT_EQ(firstLog, testing_support::ReadUtf16(folder.File(L"log.txt")));

  // An empty file made by hand gets the mark, so that it stores Unicode;
  // one with anything in it is never touched.
  testing_support::WriteBytes(path, {});
  Inifile_CL::CreateIfMissing(path);
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(path));
  const std::vector<unsigned char> ansi = {'[', 'S', ']', '\r', '\n', 'k', '=', '1', '\r', '\n'};
  testing_support::WriteBytes(path, ansi);
  Inifile_CL::CreateIfMissing(path);
  EXPECT_EQ(ansi, ReadBytes(path));
}

namespace {

// Stand-ins for the profile function that changes the copy: one refused,
// one whose file loses its tail as on a full disk, and one that lets another
// program write the settings file meanwhile, as often as it is told to.
BOOL WINAPI RefuseChange(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR) {
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

BOOL WINAPI LoseTheTail(LPCWSTR section, LPCWSTR key, LPCWSTR text, LPCWSTR path) {
  if (!WritePrivateProfileStringW(section, key, text, path)) return FALSE;
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path);
  std::vector<unsigned char> bytes = ReadBytes(path);
  bytes.resize(bytes.size() - 6);
  testing_support::WriteBytes(path, bytes);
  return TRUE;
}

std::wstring g_settingsFile;
int g_otherWrites = 0;
BOOL WINAPI AnotherWriterMeanwhile(LPCWSTR section, LPCWSTR key, LPCWSTR text, LPCWSTR path) {
  if (g_otherWrites > 0) {
    --g_otherWrites;
    WritePrivateProfileStringW(L"NOTES", L"other", std::to_wstring(g_otherWrites).c_str(), g_settingsFile.c_str());
  }
  return WritePrivateProfileStringW(section, key, text, path);
}

// A replace that stops half-way, as Windows' may: the file gone and the copy
// under its own name; with g_copyStuck a folder takes the file's name, so
// that the copy cannot move in either.
bool g_copyStuck = false;
BOOL WINAPI LoseTheFile(LPCWSTR replaced, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  DeleteFileW(replaced);
  if (g_copyStuck) CreateDirectoryW(replaced, nullptr);
  SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
  return FALSE;
}

bool CopiesLeftBeside(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((path + L".*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

// What the file itself holds, past anything the store still holds.
std::wstring InFile(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
  wchar_t value[64] = {};
  GetPrivateProfileStringW(section, key, L"<missing>", value, 64, path.c_str());
  return value;
}

}  // namespace

TEST(Inifile, AGroupWriteCutAtAnyStepLeavesTheFileAsItWasAndIsLoggedOncePerCause) {
  using Step = Inifile_CL::Step;
  TempFolder folder;
  testing_support::ScopedAppLog log(folder.File(L"log.txt"));
  const std::wstring path = folder.File(L"Horavel.ini");
  g_settingsFile = path;
  Inifile_CL::CreateIfMissing(path);
  Inifile_CL ini(path);
  ASSERT_TRUE(ini.Write({{L"CLOCK_DISP", L"alpha", L"220"}, {L"DATE_DISP", L"font_family", L"ＭＳ ゴシック"}}));
  std::vector<unsigned char> before = ReadBytes(path);
  const std::wstring copy = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const Inifile_CL::Changes group = {
      {L"CLOCK_DISP", L"alpha", L"2"}, {L"DATE_DISP", L"offset_x", L"5"}, {L"DATE_DISP", L"font_family", {}}};

  // Each step fails for real where it can: a file held by others, a copy
  // that cannot be made, a read-only file, another program that keeps
  // writing the file.
  const Step steps[] = {Step::kRead,  Step::kReadOnly, Step::kCopy,    Step::kChange,
                        Step::kCheck, Step::kReplace,  Step::kConflict};
  for (const Step step : steps) {
    SCOPED_TRACE(static_cast<int>(step));
    comlib::UniqueKernelHandle held;
    if (step == Step::kRead || step == Step::kReplace) {
      const DWORD sharing = step == Step::kRead ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
      held = comlib::OwnFile(CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(held);
    }
    if (step == Step::kReadOnly) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    if (step == Step::kCopy) CreateDirectoryW(copy.c_str(), nullptr);
    g_otherWrites = step == Step::kConflict ? 1000 : 0;
    ini.SetChangeFunctionForTest(step == Step::kChange   ? &RefuseChange
                                 : step == Step::kCheck  ? &LoseTheTail
                                 : step == Step::kConflict ? &AnotherWriterMeanwhile
                                                           : nullptr);
    EXPECT_FALSE(ini.Write(group));
    EXPECT_FALSE(ini.Flush());
    held.reset();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(copy.c_str());
    // Another program's last write stands whole, the group's keys as before.
    if (step == Step::kConflict) before = ReadBytes(path);
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_EQ(L"220", InFile(path, L"CLOCK_DISP", L"alpha"));
    EXPECT_FALSE(CopiesLeftBeside(path));
    // What could not be written is still in effect for the program.
    EXPECT_EQ(2, ini.GetInt(L"CLOCK_DISP", L"alpha", 0));
    EXPECT_EQ(L"none", ini.GetString(L"DATE_DISP", L"font_family", L"none"));
  }
  EXPECT_EQ(std::size(steps), testing_support::CountOccurrences(testing_support::ReadUtf16(folder.File(L"log.txt")),
                                                                L"設定を保存できませんでした"));

  // Another program that writes once meanwhile keeps its line; the group
  // lands whole.
  g_otherWrites = 1;
  ASSERT_TRUE(ini.Flush());
  EXPECT_EQ(L"0", InFile(path, L"NOTES", L"other"));
  EXPECT_EQ(L"2", InFile(path, L"CLOCK_DISP", L"alpha"));
  EXPECT_EQ(L"<missing>", InFile(path, L"DATE_DISP", L"font_family"));

  // After a replace that lost the file the copy moves in; one that cannot
  // move either stays, and the next write takes it back first.
  ini.SetReplaceFunctionForTest(&LoseTheFile);
  ASSERT_TRUE(ini.WriteInt(L"CLOCK_DISP", L"alpha", 3));
  EXPECT_EQ(L"3", InFile(path, L"CLOCK_DISP", L"alpha"));
  g_copyStuck = true;
  EXPECT_FALSE(ini.WriteInt(L"CLOCK_DISP", L"alpha", 4));
  RemoveDirectoryW(path.c_str());
  ini.SetReplaceFunctionForTest(nullptr);
  ASSERT_TRUE(ini.Flush());
  EXPECT_EQ(L"4", InFile(path, L"CLOCK_DISP", L"alpha"));
  EXPECT_EQ(L"0", InFile(path, L"NOTES", L"other"));

  // Every stored form goes through the same path and reads back.
  ini.SetChangeFunctionForTest(nullptr);
  const INT32 rect[4] = {-5, 10, 300, 2000};
  ASSERT_TRUE(ini.WriteInt(L"CLOCK_DISP", L"font_color1", static_cast<int>(0xFF00FA00u)));
  ASSERT_TRUE(ini.WriteString(L"VERSION", L"next_notify", inistore::FormatHex64(0x0123456789ABCDEFull)));
  ASSERT_TRUE(ini.WriteStruct(L"WINDOW", L"rect", rect, sizeof(rect)));
  EXPECT_EQ(0xFF00FA00u, static_cast<unsigned>(ini.GetInt(L"CLOCK_DISP", L"font_color1", 0)));
  EXPECT_EQ(0x0123456789ABCDEFull, ini.GetHex64(L"VERSION", L"next_notify", 0));
  INT32 stored[4] = {};
  ASSERT_TRUE(GetPrivateProfileStructW(L"WINDOW", L"rect", stored, sizeof(stored), path.c_str()));
  EXPECT_EQ(0, memcmp(rect, stored, sizeof(rect)));
  EXPECT_FALSE(CopiesLeftBeside(path));
}

TEST(Inifile, AWriteKeepsTheUsersFileHiddenAndWritesThroughItsLinks) {
  enum Kind { kHidden, kSymbolicLink, kHardLink };
  for (const Kind kind : {kHidden, kSymbolicLink, kHardLink}) {
    SCOPED_TRACE(kind);
    TempFolder folder;
    const std::wstring path = folder.File(L"Horavel.ini");
    // The file the user looks at: the settings file, or the other end of its link.
    const std::wstring watched = kind == kHidden ? path : folder.File(L"real.ini");
    testing_support::WriteUtf16(watched, L"[CLOCK_DISP]\r\nalpha=220\r\n");
    if (kind == kHidden) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (kind == kSymbolicLink) {
      ASSERT_TRUE(testing_support::MakeSymbolicLink(folder.Path(), L"Horavel.ini", L"real.ini"));
    } else if (kind == kHardLink) {
      ASSERT_TRUE(CreateHardLinkW(path.c_str(), watched.c_str(), nullptr));
    }
    ASSERT_TRUE(Inifile_CL(path).Write({{L"CLOCK_DISP", L"alpha", L"7"}, {L"CLOCK_DISP", L"blink", L"0"}}));
    EXPECT_EQ(L"7", InFile(watched, L"CLOCK_DISP", L"alpha"));
    EXPECT_EQ(L"0", InFile(path, L"CLOCK_DISP", L"blink"));
    EXPECT_EQ(kind == kHidden, (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0);
    EXPECT_FALSE(CopiesLeftBeside(watched));
  }
}

TEST(Inifile, TheCleanUpAtStartTakesOnlyCopiesThisProgramLeftAndTakesBackAWholeOneTheFileNeeds) {
  const std::wstring running = L"Horavel.ini." + std::to_wstring(GetCurrentProcessId());
  // No process has that id.
  const std::wstring ended = L"Horavel.ini.4000000000";
  constexpr LONGLONG kMinute = 60LL * 10000000LL;
  // A user's file; a running program's copy, young, old and dated in the
  // future; copies whose program has gone, beside a settings file missing,
  // empty, whole, or hard-linked and cut by an in-place write that died.
  struct Case {
    std::wstring copy;
    LONGLONG age;
    const wchar_t* file;
    bool linked;
    bool kept;
    bool takenBack;
  };
  const Case cases[] = {{L"Horavel.ini.backup.tmp", 10 * kMinute, nullptr, false, true, false},
                        {running + L".tmp", 0, nullptr, false, true, false},
                        {running + L".tmp", 2 * kMinute, nullptr, false, false, false},
                        {running + L".tmp", -10 * kMinute, nullptr, false, true, false},
                        {running + L".whole.tmp", 0, nullptr, false, true, false},
                        {ended + L".tmp", 0, nullptr, false, false, false},
                        {ended + L".whole.tmp", 0, nullptr, false, false, true},
                        {ended + L".whole.tmp", 0, L"", false, false, true},
                        {ended + L".whole.tmp", 0, L"[S]\r\nk=old\r\n", false, false, false},
                        {ended + L".whole.tmp", 0, L"[S]\r\nk=new\r\nold\r\n", true, false, true}};
  for (const Case& each : cases) {
    SCOPED_TRACE(each.copy + L" " + std::to_wstring(each.age) + L" " + (each.file ? each.file : L"(missing)"));
    TempFolder folder;
    const std::wstring path = folder.File(L"Horavel.ini");
    testing_support::WriteUtf16(folder.File(each.copy), L"[S]\r\nk=new\r\n");
    if (each.file != nullptr) testing_support::WriteUtf16(path, each.file);
    if (each.linked) CreateHardLinkW(folder.File(L"link.ini").c_str(), path.c_str(), nullptr);
    const std::vector<unsigned char> whole = ReadBytes(folder.File(each.copy));
    const std::vector<unsigned char> before = ReadBytes(path);
    comlib::UniqueKernelHandle file = comlib::OwnFile(
        CreateFileW(folder.File(each.copy).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG stamp = ((ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime) - each.age;
    const FILETIME written{static_cast<DWORD>(stamp), static_cast<DWORD>(stamp >> 32)};
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written));
    file.reset();
    Inifile_CL::RemoveLeftoverCopies(path);
    EXPECT_EQ(each.kept, testing_support::FileExists(folder.File(each.copy)));
    EXPECT_EQ(each.file != nullptr || each.takenBack, testing_support::FileExists(path));
    EXPECT_EQ(each.takenBack ? whole : before, ReadBytes(path));
    EXPECT_EQ(each.linked ? whole : std::vector<unsigned char>{}, ReadBytes(folder.File(L"link.ini")));
  }
}

TEST(Inifile, IntegersAndColoursRoundTripThroughSignedDecimals) {
  TempFolder folder;
  const std::wstring path = folder.File(L"t.ini");
  Inifile_CL::CreateIfMissing(path);
  Inifile_CL ini(path);

  ini.WriteInt(L"S", L"minus", -1);
  ini.WriteInt(L"S", L"colour", static_cast<int>(0xFF00FA00u));
  EXPECT_EQ(-1, ini.GetInt(L"S", L"minus", 0));
  EXPECT_EQ(0xFF00FA00u, static_cast<unsigned>(ini.GetInt(L"S", L"colour", 0)));
  EXPECT_EQ(L"-16713216", ini.GetString(L"S", L"colour", L""));
  EXPECT_EQ(77, ini.GetInt(L"S", L"missing", 77));
  EXPECT_EQ(77, ini.GetInt(L"Missing", L"colour", 77));
  EXPECT_EQ(L"dflt", ini.GetString(L"S", L"missing", L"dflt"));
}

TEST(Inifile, JapaneseTextRoundTripsAsUnicode) {
  TempFolder folder;
  const std::wstring path = folder.File(L"t.ini");
  Inifile_CL::CreateIfMissing(path);
  Inifile_CL ini(path);

  const std::wstring family = L"ＭＳ ゴシック";
  ini.WriteString(L"CLOCK_DISP", L"font_family", family);
  EXPECT_EQ(family, ini.GetString(L"CLOCK_DISP", L"font_family", L""));
  // Stored as UTF-16 text in the file, not in a code page.
  EXPECT_NE(std::wstring::npos, testing_support::ReadUtf16(path).find(L"font_family=" + family));
}

TEST(Inifile, Hex64ReadsBothHalvesOrTheDefault) {
  EXPECT_EQ(0x0000000A00000001ull, inistore::ParseHex64(L"0000000a:00000001", 5));
  EXPECT_EQ(0xFFFFFFFF80000000ull, inistore::ParseHex64(L"ffffffff:80000000", 5));
  EXPECT_EQ(5u, inistore::ParseHex64(L"", 5));
  // No low half after the separator.
  EXPECT_EQ(5u, inistore::ParseHex64(L"0000000a", 5));
  EXPECT_EQ(5u, inistore::ParseHex64(L"0000000a:", 5));
  // A half without digits reads as 0.
  EXPECT_EQ(0x0000000100000000ull, inistore::ParseHex64(L"00000001:zz", 5));
  EXPECT_EQ(L"0000000a:00000001", inistore::FormatHex64(0x0000000A00000001ull));

  TempFolder folder;
  const std::wstring path = folder.File(L"t.ini");
  Inifile_CL::CreateIfMissing(path);
  Inifile_CL ini(path);
  ini.WriteString(L"VERSION", L"stamp", inistore::FormatHex64(0x0123456789ABCDEFull));
  EXPECT_EQ(0x0123456789ABCDEFull, ini.GetHex64(L"VERSION", L"stamp", 0));
  EXPECT_EQ(9u, ini.GetHex64(L"VERSION", L"missing", 9));
}

namespace {

class PlainWindow {
 public:
  PlainWindow() {
    window_ = CreateWindowExW(0, L"STATIC", L"rect test", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~PlainWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

}  // namespace

TEST(Inifile, SaveWindowRectWritesOnlyForANormalWindow) {
  TempFolder folder;
  const std::wstring path = folder.File(L"t.ini");
  Inifile_CL::CreateIfMissing(path);
  Inifile_CL ini(path);
  PlainWindow window;
  ASSERT_NE(nullptr, window.get());

  ShowWindow(window.get(), SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(window.get()));
  EXPECT_FALSE(ini.SaveWindowRect(L"WINDOW", L"rect", window.get()));
  EXPECT_EQ(L"", ini.GetString(L"WINDOW", L"rect", L""));

  ShowWindow(window.get(), SW_SHOWNOACTIVATE);
  SetWindowPos(window.get(), nullptr, 10, 20, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(ini.SaveWindowRect(L"WINDOW", L"rect", window.get()));
  ASSERT_TRUE(ini.Flush());
  RECT expected{};
  GetWindowRect(window.get(), &expected);
  INT32 stored[4] = {};
  ASSERT_TRUE(GetPrivateProfileStructW(L"WINDOW", L"rect", stored, sizeof(stored), path.c_str()));
  EXPECT_EQ(expected.left, stored[0]);
  EXPECT_EQ(expected.top, stored[1]);
  EXPECT_EQ(expected.right, stored[2]);
  EXPECT_EQ(expected.bottom, stored[3]);
}
