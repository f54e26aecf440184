// The settings records and the settings object over a file of each test's
// own: the data folder, loads, writes, the snapshot and the save.

#include "data/save_data.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "comlib/inifile.h"
#include "comlib/log_file.h"
#include "comlib/unique_handle.h"
#include "data/data_test_support.h"
#include "data/settings.h"
#include "support/test_support.h"

using data_testing::TestSettings;
using testing_support::ReadBytes;
using testing_support::ReadUtf16;
using testing_support::ScopedAppLog;
using testing_support::SplitLines;
using testing_support::TempFolder;

namespace {

const std::vector<unsigned char> kBareUnicodeFile = {0xFF, 0xFE};

// Every key in the store's file, as "SECTION.key", in the file's order,
// once what the store holds has been written.
std::vector<std::wstring> StoredKeys(const Inifile_CL& store) {
  store.Flush();
  std::vector<std::wstring> keys;
  std::wstring section;
  for (const std::wstring& line : SplitLines(ReadUtf16(store.Path()))) {
    if (line.size() > 1 && line.front() == L'[' && line.back() == L']') {
      section = line.substr(1, line.size() - 2);
    } else if (line.find(L'=') != std::wstring::npos) {
      keys.push_back(section + L"." + line.substr(0, line.find(L'=')));
    }
  }
  return keys;
}

std::wstring Stored(const Inifile_CL& store, const wchar_t* section, const wchar_t* key) {
  return store.GetString(section, key, L"<missing>");
}

// Values far from every default, so that a load that skips a key shows.
void ScrambleClock(AppSaveData_CL& clock) {
  clock.alpha = clock.blink = clock.disp_index = clock.disp_offset_x = clock.disp_offset_y = 77;
  clock.font_family = L"scrambled";
  clock.font_bold = clock.font_italic = clock.font_em_height = clock.border_frame_scale = 77;
  clock.font_color1 = clock.font_color2 = clock.font_color3 = 77;
  clock.draw_type = clock.display_index = clock.display_all = clock.disp_second = clock.disp_startup_hidden = 77;
  clock.hour12 = clock.faint_on_hover = clock.hide_on_fullscreen = 77;
  clock.hotkey = clock.language = clock.display_id = L"scrambled";
}

void ScrambleDate(DateSaveData_CL& date) {
  date.show_date = date.hide_clock = date.alpha = date.offset_x = date.offset_y = date.date_format = 77;
  date.draw_type = date.faint_on_hover = date.disp_startup_hidden = 77;
  date.font_family = L"scrambled";
  date.font_bold = date.font_italic = date.font_em_height = date.border_frame_scale = 77;
  date.font_color1 = date.font_color3 = 77;
}

void ExpectClockDefaults(const AppSaveData_CL& clock) {
  EXPECT_EQ(1, clock.blink);
  EXPECT_EQ(0, clock.hour12);
  EXPECT_EQ(0, clock.draw_type);
  EXPECT_EQ(0, clock.display_index);
  EXPECT_EQ(L"", clock.display_id);
  EXPECT_EQ(0, clock.display_all);
  EXPECT_EQ(0, clock.disp_index);
  EXPECT_EQ(32, clock.disp_offset_x);
  EXPECT_EQ(32, clock.disp_offset_y);
  EXPECT_EQ(220, clock.alpha);
  EXPECT_EQ(L"Comic Sans MS", clock.font_family);
  EXPECT_EQ(1, clock.font_bold);
  EXPECT_EQ(1, clock.font_italic);
  EXPECT_EQ(128, clock.font_em_height);
  EXPECT_EQ(6, clock.border_frame_scale);
  EXPECT_EQ(0xFF00FA00u, clock.font_color1);
  EXPECT_EQ(0xFF00C800u, clock.font_color2);
  EXPECT_EQ(0xFFFFFFFFu, clock.font_color3);
  EXPECT_EQ(0, clock.disp_startup_hidden);
  EXPECT_EQ(1, clock.disp_second);
  EXPECT_EQ(1, clock.faint_on_hover);
  EXPECT_EQ(1, clock.hide_on_fullscreen);
  EXPECT_EQ(L"Ctrl+Alt+H", clock.hotkey);
  EXPECT_EQ(L"auto", clock.language);
}

// Every key in the store's file with its value, as "SECTION.key=value",
// once what the store holds has been written.
std::vector<std::wstring> StoredLines(const Inifile_CL& store) {
  store.Flush();
  std::vector<std::wstring> lines;
  std::wstring section;
  for (const std::wstring& line : SplitLines(ReadUtf16(store.Path()))) {
    if (line.size() > 1 && line.front() == L'[') {
      section = line.substr(1, line.size() - 2);
    } else if (!line.empty()) {
      lines.push_back(section + L"." + line);
    }
  }
  return lines;
}

void ExpectDateDefaults(const DateSaveData_CL& date) {
  EXPECT_EQ(1, date.show_date);
  EXPECT_EQ(0, date.hide_clock);
  EXPECT_EQ(203, date.alpha);
  EXPECT_EQ(1, date.date_format);
  EXPECT_EQ(0, date.draw_type);
  EXPECT_EQ(1, date.faint_on_hover);
  EXPECT_EQ(0, date.disp_startup_hidden);
  EXPECT_EQ(103, date.offset_x);
  EXPECT_EQ(61, date.offset_y);
  EXPECT_EQ(L"Comic Sans MS", date.font_family);
  EXPECT_EQ(1, date.font_bold);
  EXPECT_EQ(0, date.font_italic);
  EXPECT_EQ(56, date.font_em_height);
  EXPECT_EQ(10, date.border_frame_scale);
  EXPECT_EQ(0xFF1F7839u, date.font_color1);
  EXPECT_EQ(0xFFFFFFFFu, date.font_color3);
}

// Settings of the test's own, set up in a throwaway documents folder.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.InitializeIn(documents_.Path());
    path_ = settings_.SettingsPath();
  }

  const Inifile_CL& Store() const { return settings_.Store(); }

  // Starts the next case from a settings file without keys.
  void EmptyTheFile() {
    Store().Flush();
    testing_support::WriteBytes(path_, kBareUnicodeFile);
  }

  TempFolder documents_;
  // The set-up moves the log into the data folder; it comes back at the end.
  ScopedAppLog log_{documents_.File(L"test-log.txt")};
  TestSettings settings_;
  std::wstring path_;
};

}  // namespace

TEST(SaveData, FirstStartMakesTheFolderAndAKeylessUnicodeFileAndLoadsDefaults) {
  TempFolder documents;
  ScopedAppLog log(documents.File(L"test-log.txt"));
  TestSettings settings;
  AppSaveData_CL& clock = settings.Clock();
  DateSaveData_CL& date = settings.Date();
  // Made, before any load: each default is the key table's.
  ExpectClockDefaults(clock);
  ExpectDateDefaults(date);
  ScrambleClock(clock);
  ScrambleDate(date);
  settings.InitializeIn(documents.Path());

  const std::wstring folder = documents.Path() + L"\\Horavel";
  EXPECT_EQ(folder, settings.DataFolder());
  EXPECT_EQ(folder + L"\\Horavel.ini", settings.SettingsPath());
  EXPECT_EQ(settings.SettingsPath(), settings.Store().Path());
  EXPECT_EQ(folder + L"\\log.txt", AppLog().Path());
  EXPECT_EQ(kBareUnicodeFile, ReadBytes(settings.SettingsPath()));
  ExpectClockDefaults(clock);
  ExpectDateDefaults(date);

  ScrambleClock(clock);
  ScrambleDate(date);
  settings.Load();
  ExpectClockDefaults(clock);
  ExpectDateDefaults(date);
  // Loading writes nothing.
  EXPECT_EQ(kBareUnicodeFile, ReadBytes(settings.SettingsPath()));

  // The banner stands on a line of its own; the folder follows.
  const std::vector<std::wstring> lines = SplitLines(ReadUtf16(AppLog().Path()));
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(L"★★★★★ アプリ起動 ★★★★★", lines[1]);
  EXPECT_NE(std::wstring::npos, lines[2].find(L": DataFolderPath = \"" + folder + L"\""));
}

TEST(SaveData, AFolderWithoutItsSettingsFileGetsOneAndAnExistingFileIsLeftAsItIs) {
  TempFolder documents;
  ScopedAppLog log(documents.File(L"test-log.txt"));
  TestSettings settings;
  const std::wstring folder = documents.Path() + L"\\Horavel";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  settings.InitializeIn(documents.Path());
  EXPECT_EQ(kBareUnicodeFile, ReadBytes(folder + L"\\Horavel.ini"));
  EXPECT_NE(std::wstring::npos,
            ReadUtf16(folder + L"\\log.txt").find(L"Inifile新規作成 = " + folder + L"\\Horavel.ini"));

  testing_support::WriteUtf16(folder + L"\\Horavel.ini", L"[CLOCK_DISP]\r\nalpha=100\r\n");
  const std::vector<unsigned char> before = ReadBytes(folder + L"\\Horavel.ini");
  settings.InitializeIn(documents.Path());
  EXPECT_EQ(before, ReadBytes(folder + L"\\Horavel.ini"));
  EXPECT_EQ(100, settings.Clock().alpha);
}

namespace {
// The folders this test lets be written; the rest are read-only.
std::vector<std::wstring> g_writableFolders;
bool CanWriteListed(const std::wstring& base) {
  return std::find(g_writableFolders.begin(), g_writableFolders.end(), base) != g_writableFolders.end();
}
}  // namespace

TEST(SaveData, WithoutDocumentsTheDataGoesToTheFirstWritablePlace) {
  const std::wstring documents = L"C:\\users\\me\\Documents";
  const std::wstring program = L"C:\\Program Files\\Horavel";
  const std::wstring local = L"C:\\users\\me\\AppData\\Local";
  struct Case {
    std::wstring documents;
    std::vector<std::wstring> writable;
    std::wstring localAppData;
    std::wstring expected;
  };
  const Case cases[] = {
      {documents, {}, local, documents},
      {L"", {program, local}, local, program},
      {L"", {local}, local, local},
      {L"", {}, local, program},
      {L"", {local}, L"", program},
  };
  for (const Case& c : cases) {
    g_writableFolders = c.writable;
    EXPECT_EQ(c.expected, settings::ChooseDataBase(c.documents, program, c.localAppData, &CanWriteListed));
  }
  g_writableFolders.clear();
}

TEST(SaveData, NowhereToWriteRunsWithTheDefaultsAndAReadOnlyFileStaysUntouched) {
  TempFolder documents;
  ScopedAppLog log(documents.File(L"test-log.txt"));
  TestSettings settings;
  AppSaveData_CL& clock = settings.Clock();
  settings.InitializeIn(L"C:\\no such folder\\nor this one");
  ExpectClockDefaults(clock);
  clock.SetDisplay(1, L"");
  EXPECT_FALSE(testing_support::FileExists(settings.SettingsPath()));

  // A settings file that can be read but not written: held open here
  // without write sharing (Wine, run as root, writes through a read-only
  // attribute).
  settings.InitializeIn(documents.Path());
  testing_support::WriteUtf16(settings.SettingsPath(), L"[CLOCK_DISP]\r\nalpha=100\r\n");
  const std::vector<unsigned char> before = ReadBytes(settings.SettingsPath());
  comlib::UniqueKernelHandle lock(CreateFileW(settings.SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(INVALID_HANDLE_VALUE, lock.get());
  settings.InitializeIn(documents.Path());
  EXPECT_EQ(100, clock.alpha);
  clock.SetDisplay(1, L"");
  clock.SetClockFontEmHeight(90);
  EXPECT_FALSE(settings.Store().Flush());
  lock.reset();
  EXPECT_EQ(before, ReadBytes(settings.SettingsPath()));
}

TEST_F(SettingsTest, LoadsClampOffsetsOutlinesAndTheDateFormatAndKeepTheRest) {
  AppSaveData_CL& clock = settings_.Clock();
  DateSaveData_CL& date = settings_.Date();
  const Inifile_CL& ini = Store();
  ini.WriteInt(kClockSection, L"disp_offset_x", 5000);
  ini.WriteInt(kClockSection, L"disp_offset_y", -5000);
  ini.WriteInt(kClockSection, L"border_frame_scale", -3);
  ini.WriteInt(kClockSection, L"font_color1", -16713216);
  ini.WriteInt(kClockSection, L"alpha", 300);
  ini.WriteInt(kClockSection, L"display_index", 7);
  ini.WriteInt(kClockSection, L"disp_index", 9);
  ini.WriteString(kClockSection, L"font_family", L"ＭＳ ゴシック");
  ini.WriteInt(kDateSection, L"offset_x", -1025);
  ini.WriteInt(kDateSection, L"offset_y", 1024);
  ini.WriteInt(kDateSection, L"border_frame_scale", 25);
  ini.WriteInt(kDateSection, L"date_format", 8);
  ini.WriteInt(kClockSection, L"font_em_height", 10000);
  ini.WriteInt(kDateSection, L"font_em_height", -56);
  settings_.Load();

  EXPECT_EQ(1024, clock.disp_offset_x);
  EXPECT_EQ(-1024, clock.disp_offset_y);
  EXPECT_EQ(0, clock.border_frame_scale);
  EXPECT_EQ(0xFF00FA00u, clock.font_color1);
  EXPECT_EQ(300, clock.alpha);
  EXPECT_EQ(7, clock.display_index);
  EXPECT_EQ(9, clock.disp_index);
  EXPECT_EQ(L"ＭＳ ゴシック", clock.font_family);
  EXPECT_EQ(-1024, date.offset_x);
  EXPECT_EQ(1024, date.offset_y);
  EXPECT_EQ(20, date.border_frame_scale);
  EXPECT_EQ(1, date.date_format);
  EXPECT_EQ(1024, clock.font_em_height);
  EXPECT_EQ(8, date.font_em_height);
  // The file keeps what it held until the key is written again.
  EXPECT_EQ(L"5000", Stored(Store(), kClockSection, L"disp_offset_x"));
  EXPECT_EQ(L"10000", Stored(Store(), kClockSection, L"font_em_height"));

  ini.WriteInt(kClockSection, L"border_frame_scale", 25);
  ini.WriteInt(kDateSection, L"border_frame_scale", -3);
  for (const int format : {-1, 8, 1000}) {
    ini.WriteInt(kDateSection, L"date_format", format);
    settings_.Load();
    EXPECT_EQ(1, date.date_format) << format;
  }
  for (const int format : {0, 5, 7}) {
    ini.WriteInt(kDateSection, L"date_format", format);
    settings_.Load();
    EXPECT_EQ(format, date.date_format);
  }
  settings_.Load();
  EXPECT_EQ(20, clock.border_frame_scale);
  EXPECT_EQ(0, date.border_frame_scale);
}

TEST_F(SettingsTest, EachSetterWritesExactlyItsOwnKeys) {
  AppSaveData_CL& clock = settings_.Clock();
  DateSaveData_CL& date = settings_.Date();
  using Keys = std::vector<std::wstring>;

  EmptyTheFile();
  clock.SetClockFontEmHeight(40);
  EXPECT_EQ(Keys{L"CLOCK_DISP.font_em_height"}, StoredKeys(Store()));
  EXPECT_EQ(L"40", Stored(Store(), kClockSection, L"font_em_height"));
  // Sizes are held to 8 ... 1024 in the setters as on load.
  for (const auto& [asked, kept] : {std::pair<int, int>{3000, 1024}, {-20, 8}, {7, 8}, {1024, 1024}}) {
    clock.SetClockFontEmHeight(asked);
    EXPECT_EQ(kept, clock.font_em_height) << asked;
    EXPECT_EQ(std::to_wstring(kept), Stored(Store(), kClockSection, L"font_em_height")) << asked;
    date.SetDateFontEmHeight(asked);
    EXPECT_EQ(kept, date.font_em_height) << asked;
    EXPECT_EQ(std::to_wstring(kept), Stored(Store(), kDateSection, L"font_em_height")) << asked;
  }
  EmptyTheFile();
  clock.SetClockFontEmHeight(40);

  EmptyTheFile();
  clock.SetClockFont(L"DejaVu Sans", 0, 1);
  EXPECT_EQ((Keys{L"CLOCK_DISP.font_family", L"CLOCK_DISP.font_bold", L"CLOCK_DISP.font_italic",
                  L"CLOCK_DISP.font_em_height"}),
            StoredKeys(Store()));
  EXPECT_EQ(L"DejaVu Sans", Stored(Store(), kClockSection, L"font_family"));
  EXPECT_EQ(L"0", Stored(Store(), kClockSection, L"font_bold"));
  EXPECT_EQ(L"1", Stored(Store(), kClockSection, L"font_italic"));

  EmptyTheFile();
  clock.font_color1 = 0xFF00FA00;
  clock.font_color2 = 0xFF102030;
  clock.font_color3 = 0xFFFFFFFF;
  clock.SaveClockColors();
  EXPECT_EQ((Keys{L"CLOCK_DISP.font_color1", L"CLOCK_DISP.font_color2", L"CLOCK_DISP.font_color3"}),
            StoredKeys(Store()));
  EXPECT_EQ(L"-16713216", Stored(Store(), kClockSection, L"font_color1"));
  EXPECT_EQ(L"-15720400", Stored(Store(), kClockSection, L"font_color2"));
  EXPECT_EQ(L"-1", Stored(Store(), kClockSection, L"font_color3"));

  EmptyTheFile();
  clock.SetClockDrawType(2);
  EXPECT_EQ(Keys{L"CLOCK_DISP.draw_type"}, StoredKeys(Store()));
  EXPECT_EQ(2, clock.draw_type);

  EmptyTheFile();
  clock.SetDisplay(1, L"1920,0,3200,1024,name");
  EXPECT_EQ((Keys{L"CLOCK_DISP.display_index", L"CLOCK_DISP.display_id"}), StoredKeys(Store()));
  EXPECT_EQ(L"1920,0,3200,1024,name", Stored(Store(), kClockSection, L"display_id"));

  EmptyTheFile();
  clock.alpha = 150;
  clock.hour12 = 1;
  clock.SaveClockDispFlags();
  EXPECT_EQ((Keys{L"CLOCK_DISP.disp_startup_hidden", L"CLOCK_DISP.disp_second", L"CLOCK_DISP.blink",
                  L"CLOCK_DISP.hour12", L"CLOCK_DISP.faint_on_hover", L"CLOCK_DISP.alpha"}),
            StoredKeys(Store()));
  EXPECT_EQ(L"150", Stored(Store(), kClockSection, L"alpha"));
  EXPECT_EQ(L"1", Stored(Store(), kClockSection, L"hour12"));

  EmptyTheFile();
  date.SetDateFontEmHeight(30);
  EXPECT_EQ(Keys{L"DATE_DISP.font_em_height"}, StoredKeys(Store()));
  EXPECT_EQ(30, date.font_em_height);

  EmptyTheFile();
  date.font_color1 = 0xFF1F7839;
  date.font_color3 = 0xFF000000;
  date.SaveDateColors();
  EXPECT_EQ((Keys{L"DATE_DISP.font_color1", L"DATE_DISP.font_color3"}), StoredKeys(Store()));
  EXPECT_EQ(L"-14714823", Stored(Store(), kDateSection, L"font_color1"));
  EXPECT_EQ(L"-16777216", Stored(Store(), kDateSection, L"font_color3"));

  EmptyTheFile();
  date.offset_x = -40;
  date.date_format = 6;
  date.SaveDateDisp();
  EXPECT_EQ((Keys{L"DATE_DISP.show_date", L"DATE_DISP.hide_clock", L"DATE_DISP.alpha", L"DATE_DISP.offset_x",
                  L"DATE_DISP.offset_y", L"DATE_DISP.date_format", L"DATE_DISP.draw_type",
                  L"DATE_DISP.faint_on_hover", L"DATE_DISP.disp_startup_hidden", L"DATE_DISP.font_family",
                  L"DATE_DISP.font_bold", L"DATE_DISP.font_italic", L"DATE_DISP.font_em_height",
                  L"DATE_DISP.border_frame_scale", L"DATE_DISP.font_color1", L"DATE_DISP.font_color3"}),
            StoredKeys(Store()));
  // What was saved is what the next start loads.
  ScrambleDate(date);
  settings_.Load();
  EXPECT_EQ(-40, date.offset_x);
  EXPECT_EQ(6, date.date_format);
  EXPECT_EQ(30, date.font_em_height);
  EXPECT_EQ(0xFF000000u, date.font_color3);
  EXPECT_EQ(L"Comic Sans MS", date.font_family);
}

TEST_F(SettingsTest, TheDateFontReachesTheFileOnlyWithTheNextSave) {
  DateSaveData_CL& date = settings_.Date();
  date.SaveDateDisp();
  Store().Flush();
  const std::vector<unsigned char> saved = ReadBytes(path_);

  date.SetDateFont(L"DejaVu Sans", 0, 1);
  EXPECT_EQ(saved, ReadBytes(path_));
  EXPECT_EQ(L"DejaVu Sans", date.font_family);

  // A restart without a save reads the old font back.
  settings_.Load();
  EXPECT_EQ(L"Comic Sans MS", date.font_family);
  EXPECT_EQ(1, date.font_bold);
  EXPECT_EQ(0, date.font_italic);

  date.SetDateFont(L"DejaVu Sans", 0, 1);
  date.SaveDateDisp();
  settings_.Load();
  EXPECT_EQ(L"DejaVu Sans", date.font_family);
  EXPECT_EQ(0, date.font_bold);
  EXPECT_EQ(1, date.font_italic);
}

TEST(SaveData, TheFadeEllipseLiesOverTheUpperPartOfTheWindow) {
  // 200 x 100 at (100, 100): centre (200, 130), semi-axes 150 and 30.
  const RECT window{100, 100, 300, 200};
  EXPECT_EQ(44, settings::FadedAlpha(220, POINT{200, 130}, window));
  EXPECT_EQ(132, settings::FadedAlpha(220, POINT{275, 130}, window));
  EXPECT_EQ(132, settings::FadedAlpha(220, POINT{200, 115}, window));
  // On the rim the window is back to full opacity; just outside, too.
  EXPECT_EQ(220, settings::FadedAlpha(220, POINT{350, 130}, window));
  EXPECT_EQ(220, settings::FadedAlpha(220, POINT{351, 130}, window));
  EXPECT_EQ(218, settings::FadedAlpha(220, POINT{349, 130}, window));
  // The ellipse is wider than the window but leaves its lower part alone.
  EXPECT_LT(settings::FadedAlpha(220, POINT{320, 130}, window), 220);
  EXPECT_EQ(220, settings::FadedAlpha(220, POINT{200, 190}, window));
  // A window without width or height does not fade.
  EXPECT_EQ(220, settings::FadedAlpha(220, POINT{100, 100}, RECT{100, 100, 101, 200}));
  EXPECT_EQ(220, settings::FadedAlpha(220, POINT{100, 100}, RECT{100, 100, 300, 100}));
}

TEST_F(SettingsTest, SnapshotPutsBackEveryStoredValueOkWritesWhatDiffersAndBothSectionsWriteWhole) {
  AppSaveData_CL& clock = settings_.Clock();
  DateSaveData_CL& date = settings_.Date();
  EmptyTheFile();
  settings_.Load();
  const SettingsSnapshot snapshot = settings_.TakeSnapshot();

  ScrambleClock(clock);
  ScrambleDate(date);
  settings_.Restore(snapshot);
  ExpectClockDefaults(clock);
  ExpectDateDefaults(date);
  EXPECT_TRUE(StoredKeys(Store()).empty());

  // OK writes each key a load would not give its value, written before or
  // changed in memory only, and nothing else; Cancel removes them again.
  clock.alpha = 90;
  date.font_family = L"DejaVu Sans";
  EXPECT_TRUE(settings_.SaveRecords());
  EXPECT_EQ((std::vector<std::wstring>{L"CLOCK_DISP.alpha=90", L"DATE_DISP.font_family=DejaVu Sans"}),
            StoredLines(Store()));
  settings_.Restore(snapshot);
  EXPECT_TRUE(settings_.PutBackInFile(snapshot));
  EXPECT_TRUE(StoredKeys(Store()).empty());

  clock.SaveClockDisp();
  date.SaveDateDisp();
  const std::vector<std::wstring> keys = StoredKeys(Store());
  auto inSection = [&keys](const std::wstring& section) {
    return std::count_if(keys.begin(), keys.end(), [&](const std::wstring& key) { return key.rfind(section, 0) == 0; });
  };
  EXPECT_EQ(24, inSection(L"CLOCK_DISP."));
  EXPECT_EQ(16, inSection(L"DATE_DISP."));
  // What was written loads back as the same values.
  ScrambleClock(clock);
  ScrambleDate(date);
  settings_.Load();
  ExpectClockDefaults(clock);
  ExpectDateDefaults(date);

  // A snapshot taken while another program (a backup) holds the file
  // without sharing: Cancel removes nothing, and each key holds the value in
  // effect when it was taken.
  testing_support::WriteUtf16(path_, L"[CLOCK_DISP]\r\nalpha=90\r\n[DATE_DISP]\r\nfont_family=DejaVu Sans\r\n");
  settings_.Load();
  comlib::UniqueKernelHandle held =
      comlib::OwnFile(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  const SettingsSnapshot unreadable = settings_.TakeSnapshot();
  held.reset();
  clock.disp_second = 0;
  EXPECT_TRUE(settings_.SaveRecords());
  settings_.Restore(unreadable);
  EXPECT_TRUE(settings_.PutBackInFile(unreadable));
  EXPECT_EQ((std::vector<std::wstring>{L"CLOCK_DISP.alpha=90", L"CLOCK_DISP.disp_second=1",
                                       L"DATE_DISP.font_family=DejaVu Sans"}),
            StoredLines(Store()));
}
