// Any settings file, however broken, loads into values inside their ranges
// and leaves both windows painted and placed where a user can reach them.
// Every file is loaded; a sample that holds every size, outline and date
// format the files bring is also placed and painted.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "comlib/inifile.h"
#include "data/data_test_support.h"
#include "data/placement.h"
#include "data/setting_table.h"
#include "support/test_support.h"
#include "support/window_checks.h"
#include "text/time_text.h"
#include "text/zone_time.h"
#include "view/face_window.h"
#include "view/display.h"
#include "view/main_dialog.h"
#include "view/virtual_desktop.h"

namespace {

constexpr int kFiles = 10000;
constexpr std::uint32_t kSeed = 20240607;
// Placing and painting cost several times a load, and most files bring
// only the defaults or a clamped end: beyond the first file that brings a
// value, one file in this many is placed and painted.
constexpr int kPaintOneIn = 64;

class NoDesktop : public VirtualDesktopQuery {
 public:
  bool Ask(HWND, HRESULT*, BOOL*) override { return false; }
};

class NoTray : public TrayShell {
 public:
  BOOL NotifyIcon(DWORD, NOTIFYICONDATAW*) override { return TRUE; }
  void StartPause(HWND, UINT_PTR, DWORD) override {}
  void StopPause(HWND, UINT_PTR) override {}
  int AskRetry(HWND, const std::wstring&, const std::wstring&) override { return IDCANCEL; }
};

// Writes settings files of every kind of damage, from one seed.
class HostileFiles {
 public:
  explicit HostileFiles(std::uint32_t seed) : random_(seed) {}

  std::vector<unsigned char> Next() {
    switch (Pick(8)) {
      case 0:
        return {};
      case 1:
        return RandomBytes();
      case 2:
        return Utf8(Text());
      default:
        return Utf16(Text());
    }
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

  std::vector<unsigned char> RandomBytes() {
    std::vector<unsigned char> bytes(static_cast<size_t>(Pick(3000)));
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(Pick(256));
    return bytes;
  }

  // Both sections (each maybe missing, maybe twice), random keys of them
  // with hostile values, and some lines that are no INI at all.
  std::wstring Text() {
    std::wstring text;
    for (const wchar_t* section : {kClockSection, kDateSection}) {
      const int copies = Pick(4) == 0 ? 0 : 1 + (Pick(8) == 0 ? 1 : 0);
      for (int copy = 0; copy < copies; ++copy) {
        text += std::wstring(L"[") + section + L"]\r\n";
        for (const settings::KeyRange& rule : Settings_CL::LoadRanges(section)) {
          if (Pick(3) == 0) continue;
          text += std::wstring(rule.key) + (Pick(6) == 0 ? L" = " : L"=") + Value(rule) + L"\r\n";
        }
        if (Pick(4) == 0) text += Junk() + L"\r\n";
      }
    }
    if (Pick(2) == 0) text += Places();
    if (Pick(4) == 0) text = Junk() + L"\r\n" + text;
    return text;
  }

  // The world clocks: zone names real, misspelt, long or hostile, labels
  // and the rest as hostile as any value.
  std::wstring Places() {
    static const wchar_t* const zones[] = {L"Tokyo Standard Time", L"GMT Standard Time", L"Tokyo Standard Tim",
                                           L"..\\Tokyo Standard Time", L"Nepal Standard Time"};
    const settings::KeyRange plain{L"", false, 0, 0};
    std::wstring text = std::wstring(L"[") + kZoneSection + L"]\r\n";
    for (int place = 0; place < kPlaceCount; ++place) {
      const std::wstring number = std::to_wstring(place + 1);
      const std::wstring zone = Pick(2) == 0 ? zones[Pick(static_cast<int>(std::size(zones)))] : Value(plain);
      text += L"zone" + number + L"=" + zone + L"\r\nlabel" + number + L"=" + Value(plain) + L"\r\nshow" + number +
              L"=" + (Pick(2) == 0 ? L"1" : Value(plain)) + L"\r\n";
    }
    return text + L"offset_x=" + Value(plain) + L"\r\noffset_y=" + Value(plain) + L"\r\n";
  }

  std::wstring Value(const settings::KeyRange& rule) {
    switch (Pick(10)) {
      case 0:
        return std::to_wstring(INT32_MAX);
      case 1:
        return std::to_wstring(INT32_MIN);
      case 2:
        return L"99999999999999999999999";
      case 3:
        return std::to_wstring(-std::uniform_int_distribution<int>(1, 100000000)(random_));
      case 4:
        return std::wstring(static_cast<size_t>(Pick(6000)), L"9a\u65E5"[Pick(3)]);
      case 5:
        return Junk();
      case 6: {
        const int lowest = rule.ranged ? rule.lowest : -3000;
        const int highest = rule.ranged ? rule.highest : 3000;
        return std::to_wstring(std::uniform_int_distribution<int>(lowest - 10, highest + 10)(random_));
      }
      default:
        return std::to_wstring(std::uniform_int_distribution<int>(INT32_MIN, INT32_MAX)(random_));
    }
  }

  std::wstring Junk() {
    static const wchar_t* const pieces[] = {L"abc",    L"",       L"  12abc", L"0x10", L"1e9",  L"-",
                                            L"+5",     L"[",      L"]",       L"=",    L";x=1", L"\uFF11\uFF12",
                                            L"日本語", L"\U0001F600", L"\t",   L"\"q\"", L"%s%n", L"\\"};
    std::wstring junk;
    const int count = 1 + Pick(4);
    for (int i = 0; i < count; ++i) junk += pieces[Pick(static_cast<int>(std::size(pieces)))];
    return junk;
  }

  static std::vector<unsigned char> Utf16(const std::wstring& text) {
    std::vector<unsigned char> bytes{0xFF, 0xFE};
    for (wchar_t unit : text) {
      bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
      bytes.push_back(static_cast<unsigned char>((unit >> 8) & 0xFF));
    }
    return bytes;
  }

  static std::vector<unsigned char> Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    if (size > 0) {
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                          reinterpret_cast<char*>(bytes.data()), size, nullptr, nullptr);
    }
    return bytes;
  }

  std::mt19937 random_;
};

// The furthest the offsets of a section can move a window, from the load's
// own ranges.
int OffsetReach(const wchar_t* section) {
  int reach = 0;
  for (const settings::KeyRange& rule : Settings_CL::LoadRanges(section)) {
    const std::wstring key = rule.key;
    if (rule.ranged && key.find(L"offset") != std::wstring::npos) {
      reach = std::max({reach, std::abs(rule.lowest), std::abs(rule.highest)});
    }
  }
  return reach;
}

// Every ranged value of a record lies inside the range its key is loaded to.
template <typename Record>
::testing::AssertionResult ValuesInRange(const Record& record) {
  for (const settingtable::Setting<Record>& setting : Record::Keys().keys) {
    if (setting.rule != settingtable::LoadRule::kRange) continue;
    const int value = record.*setting.number;
    if (value < setting.lowest || value > setting.highest) {
      return ::testing::AssertionFailure() << "a value of " << value << " is out of its range";
    }
  }
  return ::testing::AssertionSuccess();
}

// Labels as short as a place keeps them, offsets in their range.
::testing::AssertionResult PlacesInRange(const ZoneSaveData_CL& zones) {
  for (int index = 0; index < kPlaceCount; ++index) {
    if (zones.Place(index).label.size() > zonetext::kMaxLabelLength) return ::testing::AssertionFailure() << "a label too long";
  }
  if (std::abs(zones.offset_x) > 1024 || std::abs(zones.offset_y) > 1024) {
    return ::testing::AssertionFailure() << "an offset out of range";
  }
  return ::testing::AssertionSuccess();
}

// True when the window's rectangle meets the target, widened on every side
// by what the offsets can add.
::testing::AssertionResult Reaches(HWND window, RECT target, int reach) {
  const RECT rect = testing_support::WindowRect(window);
  InflateRect(&target, reach, reach);
  RECT meet{};
  if (IntersectRect(&meet, &rect, &target)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "window (" << rect.left << ", " << rect.top << ", " << rect.right << ", "
                                       << rect.bottom << ") is out of reach";
}

// Picks the files to place and paint: each that brings a size, an outline
// or a date format not painted before, and a seeded share of the rest.
class PaintSample {
 public:
  explicit PaintSample(std::uint32_t seed) : random_(seed) {}

  bool Takes(const AppSaveData_CL& clock, const DateSaveData_CL& date) {
    const std::array<int, kKinds> values = {clock.font_em_height, date.font_em_height, clock.border_frame_scale,
                                            date.border_frame_scale, date.date_format};
    bool fresh = false;
    for (size_t kind = 0; kind < kKinds; ++kind) fresh |= seen_[kind].insert(values[kind]).second;
    return std::uniform_int_distribution<int>(1, kPaintOneIn)(random_) == 1 || fresh;
  }

 private:
  static constexpr size_t kKinds = 5;
  std::mt19937 random_;
  std::array<std::set<int>, kKinds> seen_;
};

RECT VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

TEST(HostileSettings, AnySettingsFileLoadsInRangeAndLeavesEveryFacePaintedWithinReach) {
  if (!data_testing::FontSizesAreRanged()) GTEST_SKIP() << "font sizes are not yet held to a range on load";
  data_testing::TestSettings settings;
  const AppSaveData_CL& clockSettings = settings.Clock();
  const DateSaveData_CL& dateSettings = settings.Date();
  NoDesktop desktop;
  NoTray tray;
  Display_CL display(settings);
  MainDialog_CL clock(settings, display, desktop, tray);
  DateDialog_CL date(display);
  ZoneDialog_CL zones(display);
  const HWND faces[] = {clock.Create(), date.Create(), zones.Create()};
  for (HWND face : faces) {
    ASSERT_NE(nullptr, face);
    // Placed and painted, but not on the screen: without a window manager,
    // Wine waits seconds each time a shown window moves on or off the screen.
    ShowWindow(face, SW_HIDE);
  }
  const std::wstring path = settings.Folder().File(L"hostile.ini");
  // A section written twice, as hand edits and merges leave it: a read finds
  // only the first, so unticking the seconds, then OK, must write the key
  // there, though the second section holds that value.
  testing_support::WriteUtf16(path, L"[CLOCK_DISP]\r\nalpha=90\r\n[DATE_DISP]\r\n[clock_disp]\r\ndisp_second=0\r\n");
  settings.Store().SetPath(path);
  settings.Load();
  ASSERT_EQ(1, clockSettings.disp_second);
  settings.Clock().disp_second = 0;
  ASSERT_TRUE(settings.SaveRecords());
  settings.Load();
  EXPECT_EQ(0, clockSettings.disp_second);
  EXPECT_EQ(90, clockSettings.alpha);
  // The clock's near edge stands at its offset from a monitor's edge; the
  // date stands at its offset from the clock's centre, or on the clock's
  // monitor where that offset would take it off.
  const int clockReach = OffsetReach(kClockSection);
  const int dateReach = OffsetReach(kDateSection);

  HostileFiles files(kSeed);
  PaintSample sample(kSeed);
  for (int file = 0; file < kFiles; ++file) {
    const std::vector<unsigned char> bytes = files.Next();
    testing_support::WriteBytes(path, bytes);
    settings.Store().SetPath(path);
    settings.Load();
    ASSERT_TRUE(PlacesInRange(settings.Zones())) << "file " << file;
    ASSERT_TRUE(ValuesInRange(clockSettings)) << "file " << file;
    ASSERT_TRUE(ValuesInRange(dateSettings)) << "file " << file;
    ASSERT_EQ(timetext::KnownDateFormat(dateSettings.date_format), dateSettings.date_format) << "file " << file;
    if (!sample.Takes(clockSettings, dateSettings)) continue;

    // As the windows' creation applies them: placement; then a paint of
    // each, shown or not.
    display.Apply(display::kClockPlace | display::kDatePlace | display::kZonesPlace);
    for (HWND face : faces) SendMessageW(face, WM_PAINT, 0, 0);
    EXPECT_TRUE(Reaches(clock.Window(), VirtualScreen(), clockReach)) << "file " << file;
    if (dateSettings.show_date) {
      const POINT centre = placement::CentreOf(testing_support::WindowRect(clock.Window()));
      EXPECT_TRUE(Reaches(date.Window(), RECT{centre.x, centre.y, centre.x + 1, centre.y + 1}, dateReach) ||
                  Reaches(date.Window(), VirtualScreen(), 0))
          << "file " << file;
    }
    // The lines stand below the date or the clock, or were kept on a monitor.
    const POINT centre = placement::CentreOf(testing_support::WindowRect(clock.Window()));
    EXPECT_TRUE(Reaches(zones.Window(), RECT{centre.x, centre.y, centre.x + 1, centre.y + 1}, 3 * dateReach) ||
                Reaches(zones.Window(), VirtualScreen(), 0))
        << "file " << file;
  }
  for (HWND face : faces) DestroyWindow(face);
  testing_support::PumpMessages();
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}
