#include "comlib/inifile.h"

#include <gtest/gtest.h>

#include <cstring>

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
// and one whose file loses its tail as on a full disk.
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

bool CopiesLeftBeside(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((path + L".*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace

TEST(Inifile, AWriteThatFailsAnywhereLeavesTheFileAsItWasAndIsLoggedOncePerCause) {
  TempFolder folder;
  testing_support::ScopedAppLog log(folder.File(L"log.txt"));
  const std::wstring path = folder.File(L"Horavel.ini");
  Inifile_CL::CreateIfMissing(path);
  Inifile_CL ini(path);
  ASSERT_TRUE(ini.WriteInt(L"CLOCK_DISP", L"alpha", 220));
  ASSERT_TRUE(ini.WriteString(L"DATE_DISP", L"font_family", L"ＭＳ ゴシック"));
  const std::vector<unsigned char> before = ReadBytes(path);

  // A settings file held open without delete sharing (an editor, a virus
  // scanner) cannot be replaced either.
  comlib::UniqueKernelHandle held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  EXPECT_FALSE(ini.WriteInt(L"CLOCK_DISP", L"alpha", 2));
  held.reset();
  EXPECT_EQ(before, ReadBytes(path));

  const Inifile_CL::ChangeFunction faults[] = {&RefuseChange, &LoseTheTail};
  for (const Inifile_CL::ChangeFunction fault : faults) {
    ini.SetChangeFunctionForTest(fault);
    for (int attempt = 0; attempt < 3; ++attempt) {
      EXPECT_FALSE(ini.WriteInt(L"CLOCK_DISP", L"alpha", 2));
      EXPECT_FALSE(ini.WriteString(L"DATE_DISP", L"offset_x", L"5"));
    }
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_FALSE(CopiesLeftBeside(path));
  }
  EXPECT_EQ(3u, testing_support::CountOccurrences(testing_support::ReadUtf16(folder.File(L"log.txt")),
                                                  L"設定を保存できませんでした"));

  // Every stored form goes through the same path and reads back.
  ini.SetChangeFunctionForTest(nullptr);
  const INT32 rect[4] = {-5, 10, 300, 2000};
  ASSERT_TRUE(ini.WriteInt(L"CLOCK_DISP", L"alpha", 2));
  ASSERT_TRUE(ini.WriteInt(L"CLOCK_DISP", L"font_color1", static_cast<int>(0xFF00FA00u)));
  ASSERT_TRUE(ini.WriteString(L"VERSION", L"next_notify", inistore::FormatHex64(0x0123456789ABCDEFull)));
  ASSERT_TRUE(ini.WriteStruct(L"WINDOW", L"rect", rect, sizeof(rect)));
  EXPECT_EQ(2, ini.GetInt(L"CLOCK_DISP", L"alpha", 0));
  EXPECT_EQ(0xFF00FA00u, static_cast<unsigned>(ini.GetInt(L"CLOCK_DISP", L"font_color1", 0)));
  EXPECT_EQ(0x0123456789ABCDEFull, ini.GetHex64(L"VERSION", L"next_notify", 0));
  EXPECT_EQ(L"ＭＳ ゴシック", ini.GetString(L"DATE_DISP", L"font_family", L""));
  INT32 stored[4] = {};
  ASSERT_TRUE(GetPrivateProfileStructW(L"WINDOW", L"rect", stored, sizeof(stored), path.c_str()));
  EXPECT_EQ(0, memcmp(rect, stored, sizeof(rect)));
  EXPECT_FALSE(CopiesLeftBeside(path));
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
  RECT expected{};
  GetWindowRect(window.get(), &expected);
  INT32 stored[4] = {};
  ASSERT_TRUE(GetPrivateProfileStructW(L"WINDOW", L"rect", stored, sizeof(stored), path.c_str()));
  EXPECT_EQ(expected.left, stored[0]);
  EXPECT_EQ(expected.top, stored[1]);
  EXPECT_EQ(expected.right, stored[2]);
  EXPECT_EQ(expected.bottom, stored[3]);
}
