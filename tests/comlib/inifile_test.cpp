#include "comlib/inifile.h"

#include <gtest/gtest.h>

#include "comlib/log_file.h"
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

  // An empty file made by hand gets the mark, so that it stores Unicode.
  testing_support::WriteBytes(path, {});
  Inifile_CL::CreateIfMissing(path);
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), ReadBytes(path));
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
