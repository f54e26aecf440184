#include "comlib/log_file.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/test_support.h"

using testing_support::ReadBytes;
using testing_support::ReadUtf16;
using testing_support::TempFolder;

namespace {

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace

TEST(LogFile, FirstLineHasByteOrderMarkStampOriginAndLineEnd) {
  TempFolder folder;
  LogFile_CL log;
  log.SetPath(folder.File(L"log.txt"));

  WriteLog(log, L"value=%d name=%s", "C:\\work\\src\\comlib\\task_tray_icon.cpp", 7, 42, L"時計");

  const std::vector<unsigned char> bytes = ReadBytes(log.Path());
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(0xFF, bytes[0]);
  EXPECT_EQ(0xFE, bytes[1]);
  const std::vector<unsigned char> end(bytes.end() - 4, bytes.end());
  EXPECT_EQ((std::vector<unsigned char>{0x0D, 0x00, 0x0A, 0x00}), end);

  const std::wstring text = ReadUtf16(log.Path());
  ASSERT_EQ(L"\r\n", text.substr(text.size() - 2));
  const std::wstring line = text.substr(0, text.size() - 2);
  EXPECT_EQ(std::wstring::npos, line.find(L"\r\n")) << "exactly one line";
  // Time stamp, then the origin with a five-place line number and the file
  // name padded to 32 characters, then the message.
  const std::wstring origin = L"(    7)task_tray_icon.cpp               : ";
  ASSERT_GT(line.size(), 26u) << Narrow(line);
  EXPECT_TRUE(std::regex_match(Narrow(line.substr(0, 26)),
                               std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{3} : )")))
      << Narrow(line);
  EXPECT_EQ(origin + L"value=42 name=時計", line.substr(26));
}

TEST(LogFile, OriginNamesOnlyTheFileAndKeepsLongNamesAndNumbersWhole) {
  const std::wstring longName = L"a_source_file_with_a_rather_long_name.cpp";
  EXPECT_EQ(L"c.cpp", logline::SourceFileName("a\\b\\c.cpp"));
  EXPECT_EQ(L"c.cpp", logline::SourceFileName("/home/dev/src/c.cpp"));
  EXPECT_EQ(L"plain.cpp", logline::SourceFileName("plain.cpp"));

  SYSTEMTIME time{};
  time.wYear = 2024;
  time.wMonth = 3;
  time.wDay = 5;
  time.wHour = 9;
  time.wMinute = 7;
  time.wSecond = 2;
  time.wMilliseconds = 45;
  EXPECT_EQ(L"2024/03/05 09:07:02.045 : (123456)" + longName + L" : m",
            logline::Compose(time, longName, 123456, L"m"));
  EXPECT_EQ(L"2024/03/05 09:07:02.045 : (    1)x.cpp                            : ",
            logline::Compose(time, L"x.cpp", 1, L""));
}

TEST(LogFile, OverlongMessageIsCutToItsRoom) {
  TempFolder folder;
  LogFile_CL log;
  log.SetPath(folder.File(L"log.txt"));
  const std::wstring huge(5000, L'x');
  WriteLog(log, L"%s", "f.cpp", 1, huge.c_str());

  const std::wstring text = ReadUtf16(log.Path());
  const size_t xs = testing_support::CountOccurrences(text, L"x");
  EXPECT_EQ(logline::kMessageRoom - 1, xs);
  EXPECT_LT(text.size(), logline::kLineRoom + 2);
}

TEST(LogFile, FileIsEmptiedOnlyWhenLargerThanTheLimit) {
  TempFolder folder;
  LogFile_CL log;
  log.SetPath(folder.File(L"log.txt"));
  const std::wstring line = L"line";

  // Exactly at the limit: appended to.
  std::vector<unsigned char> full(static_cast<size_t>(LogFile_CL::kSizeLimitBytes), 0x41);
  full[0] = 0xFF;
  full[1] = 0xFE;
  testing_support::WriteBytes(log.Path(), full);
  ASSERT_TRUE(log.AppendLine(line));
  EXPECT_EQ(full.size() + 2 * line.size() + 4, ReadBytes(log.Path()).size());

  // One byte over: emptied, then a new byte-order mark and the one line.
  full.push_back(0x41);
  testing_support::WriteBytes(log.Path(), full);
  ASSERT_TRUE(log.AppendLine(line));
  const std::vector<unsigned char> bytes = ReadBytes(log.Path());
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE, 'l', 0, 'i', 0, 'n', 0, 'e', 0, 0x0D, 0, 0x0A, 0}), bytes);
}

TEST(LogFile, SecondLineHasNoByteOrderMark) {
  TempFolder folder;
  LogFile_CL log;
  log.SetPath(folder.File(L"log.txt"));
  ASSERT_TRUE(log.AppendLine(L"a"));
  ASSERT_TRUE(log.AppendLine(L"b"));
  EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 'b', 0, 0x0D, 0, 0x0A, 0}),
            ReadBytes(log.Path()));
}

TEST(LogFile, EmptyPathOrMissingFolderWritesNothing) {
  TempFolder folder;
  LogFile_CL log;
  EXPECT_FALSE(log.AppendLine(L"dropped"));
  WriteLog(log, L"dropped %d", "f.cpp", 1, 1);

  log.SetPath(folder.File(L"missing\\log.txt"));
  EXPECT_FALSE(log.AppendLine(L"dropped"));
  EXPECT_FALSE(testing_support::FileExists(log.Path()));
}
