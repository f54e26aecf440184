// The clock and date windows created in this process, with the shell's
// desktop manager and the tray played by the test.

#include "view/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "comlib/font_family.h"
#include "comlib/gdiplus_flat.h"
#include "comlib/live_objects.h"
#include "data/data_test_support.h"
#include "data/face_measure.h"
#include "data/placement.h"
#include "data/save_data.h"
#include "support/test_support.h"
#include "view/face_window.h"
#include "view/power_events.h"
#include "view/virtual_desktop.h"

namespace {

class ScriptedDesktop : public VirtualDesktopQuery {
 public:
  bool Ask(HWND, HRESULT* status, BOOL* onCurrentDesktop) override {
    ++asked;
    *status = status_;
    *onCurrentDesktop = FALSE;
    return true;
  }
  HRESULT status_ = E_FAIL;
  int asked = 0;
};

class AcceptingTray : public TrayShell {
 public:
  BOOL NotifyIcon(DWORD, NOTIFYICONDATAW*) override { return TRUE; }
  void StartPause(HWND, UINT_PTR, DWORD) override {}
  void StopPause(HWND, UINT_PTR) override {}
  int AskRetry(HWND, const std::wstring&, const std::wstring&) override { return IDCANCEL; }
};

POWERBROADCAST_SETTING PowerSetting(const GUID& setting, DWORD state) {
  POWERBROADCAST_SETTING broadcast{};
  broadcast.PowerSetting = setting;
  broadcast.DataLength = sizeof(DWORD);
  memcpy(broadcast.Data, &state, sizeof(state));
  return broadcast;
}

// Both windows of the program, made in this process and closed at the end.
class InProcessClock : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_ = std::make_unique<MainDialog_CL>(settings_, display_, desktop_, tray_);
    date_ = std::make_unique<DateDialog_CL>(display_);
    ASSERT_NE(nullptr, clock_->Create());
    ASSERT_NE(nullptr, date_->Create());
    display_.Start(false);
  }
  void TearDown() override {
    SendMessageW(date_->Window(), WM_CLOSE, 2, 0);
    SendMessageW(clock_->Window(), WM_CLOSE, 2, 0);
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    date_.reset();
    clock_.reset();
  }

  RECT ClockRect() const {
    RECT rect{};
    GetWindowRect(clock_->Window(), &rect);
    return rect;
  }
  void MoveClockAway() const {
    SetWindowPos(clock_->Window(), nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  data_testing::TestSettings settings_;
  Display_CL display_{settings_};
  ScriptedDesktop desktop_;
  AcceptingTray tray_;
  std::unique_ptr<MainDialog_CL> clock_;
  std::unique_ptr<DateDialog_CL> date_;
};

}  // namespace

TEST(PowerEvents, OnlyTheDisplayComingOnCounts) {
  EXPECT_TRUE(power::IsResumeEvent(PBT_APMRESUMEAUTOMATIC));
  EXPECT_TRUE(power::IsResumeEvent(PBT_APMRESUMESUSPEND));
  EXPECT_FALSE(power::IsResumeEvent(PBT_APMSUSPEND));

  POWERBROADCAST_SETTING on = PowerSetting(power::kDisplayPowerSetting, 1);
  POWERBROADCAST_SETTING dimmed = PowerSetting(power::kMonitorPowerSetting, 2);
  POWERBROADCAST_SETTING off = PowerSetting(power::kDisplayPowerSetting, 0);
  POWERBROADCAST_SETTING other = PowerSetting(GUID{0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}}, 1);
  POWERBROADCAST_SETTING shortData = on;
  shortData.DataLength = 2;
  EXPECT_TRUE(power::IsDisplayOnSetting(&on));
  EXPECT_TRUE(power::IsDisplayOnSetting(&dimmed));
  EXPECT_FALSE(power::IsDisplayOnSetting(&off));
  EXPECT_FALSE(power::IsDisplayOnSetting(&other));
  EXPECT_FALSE(power::IsDisplayOnSetting(&shortData));
  EXPECT_FALSE(power::IsDisplayOnSetting(nullptr));
}

TEST(VirtualDesktopAnswer, OnlyASuccessfulNoMeansAnotherDesktop) {
  EXPECT_TRUE(HasMovedToOtherDesktop(true, S_OK, FALSE));
  EXPECT_FALSE(HasMovedToOtherDesktop(true, S_OK, TRUE));
  EXPECT_FALSE(HasMovedToOtherDesktop(true, E_FAIL, FALSE));
  EXPECT_FALSE(HasMovedToOtherDesktop(false, S_OK, FALSE));
}

TEST_F(InProcessClock, DisplayOnBroadcastPutsTheClockBack) {
  const RECT home = ClockRect();
  MoveClockAway();
  POWERBROADCAST_SETTING off = PowerSetting(power::kDisplayPowerSetting, 0);
  EXPECT_EQ(TRUE, SendMessageW(clock_->Window(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                               reinterpret_cast<LPARAM>(&off)));
  EXPECT_EQ(500, ClockRect().left) << "a display going off changes nothing";

  POWERBROADCAST_SETTING on = PowerSetting(power::kDisplayPowerSetting, 1);
  EXPECT_EQ(TRUE, SendMessageW(clock_->Window(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                               reinterpret_cast<LPARAM>(&on)));
  EXPECT_EQ(home.left, ClockRect().left);
  EXPECT_EQ(home.top, ClockRect().top);

  // While hidden, power events are left alone.
  SendMessageW(clock_->Window(), WM_COMMAND, 126, 0);
  MoveClockAway();
  SendMessageW(clock_->Window(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&on));
  EXPECT_EQ(500, ClockRect().left);
}

TEST_F(InProcessClock, FailingDesktopQueryKeepsTheClockRunning) {
  desktop_.status_ = E_FAIL;
  for (int tick = 0; tick < 5; ++tick) SendMessageW(clock_->Window(), WM_TIMER, 0x3000, 0);
  EXPECT_EQ(5, desktop_.asked);
  EXPECT_TRUE(IsWindow(clock_->Window()));
  EXPECT_TRUE(IsWindowVisible(clock_->Window()));

  // Hidden, the heartbeat asks nothing and shows nothing.
  SendMessageW(clock_->Window(), WM_COMMAND, 126, 0);
  for (int tick = 0; tick < 5; ++tick) SendMessageW(clock_->Window(), WM_TIMER, 0x3000, 0);
  EXPECT_EQ(5, desktop_.asked);
  EXPECT_FALSE(IsWindowVisible(clock_->Window()));
  EXPECT_FALSE(IsWindowVisible(date_->Window()));
}

TEST_F(InProcessClock, TheClocksTickFadesTheDateUnderTheCursor) {
  testing_support::CursorKept cursor;
  const HWND date = date_->Window();
  ASSERT_TRUE(IsWindowVisible(date));
  RECT rect{};
  GetWindowRect(date, &rect);
  auto opacityAfterTick = [&] {
    SendMessageW(clock_->Window(), WM_TIMER, 0x3000, 0);
    BYTE alpha = 0;
    GetLayeredWindowAttributes(date, nullptr, &alpha, nullptr);
    return alpha;
  };
  ASSERT_TRUE(testing_support::MoveCursorTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
  const BYTE under = opacityAfterTick();
  ASSERT_TRUE(testing_support::MoveCursorTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1));
  EXPECT_LT(under, opacityAfterTick());
}

namespace {

// Each name spelled in the font file's name table, as bytes and as UTF-16
// big-endian, replaced by another of the same length.
void RenameFont(std::vector<unsigned char>& font, const std::string& from, const std::string& to) {
  auto replaceAll = [&font](const std::vector<unsigned char>& old, const std::vector<unsigned char>& fresh) {
    for (auto at = std::search(font.begin(), font.end(), old.begin(), old.end()); at != font.end();
         at = std::search(at, font.end(), old.begin(), old.end())) {
      at = std::copy(fresh.begin(), fresh.end(), at);
    }
  };
  auto wide = [](const std::string& text) {
    std::vector<unsigned char> bytes;
    for (char c : text) bytes.insert(bytes.end(), {0, static_cast<unsigned char>(c)});
    return bytes;
  };
  replaceAll(std::vector<unsigned char>(from.begin(), from.end()), std::vector<unsigned char>(to.begin(), to.end()));
  replaceAll(wide(from), wide(to));
}

std::wstring DrawnClockFamily(const AppSaveData_CL& clock) {
  wchar_t name[LF_FACESIZE] = {};
  gdip::GdipGetFamilyName(ClockFont(clock, dpi::kBaseDpi).get().family, name, LANG_NEUTRAL);
  return name;
}

}  // namespace

TEST_F(InProcessClock, AFontInstalledWhileTheClockRunsIsDrawnOnceFontsChangeAndOneGdiplusCannotReadIsCopiedOnlyOnce) {
  std::vector<unsigned char> font = testing_support::ReadBytes(L"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf");
  if (font.empty()) GTEST_SKIP() << "needs DejaVu Sans under Wine";
  // DejaVu Sans under a family name of its own: a font nobody has installed.
  RenameFont(font, "DejaVu Sans", "HoravelTest");
  const testing_support::TempFolder folder;
  const std::wstring path = folder.File(L"horavel-test.ttf");
  testing_support::WriteBytes(path, font);
  settings_.Clock().font_family = L"HoravelTest";
  display_.Apply(display::kClockPlace);
  ASSERT_NE(L"HoravelTest", DrawnClockFamily(settings_.Clock())) << "drawn with a stand-in";

  ASSERT_NE(0, AddFontResourceW(path.c_str()));
  SendMessageW(clock_->Window(), WM_FONTCHANGE, 0, 0);
  EXPECT_EQ(L"HoravelTest", DrawnClockFamily(settings_.Clock()));

  // A bold face alone under a name of its own, which GDI draws and Wine's
  // GDI+ makes no family of: its file is copied out of GDI once however
  // often the size changes, and once more after the fonts change.
  std::vector<unsigned char> bold =
      testing_support::ReadBytes(L"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans-Bold.ttf");
  RenameFont(bold, "DejaVu Sans", "HoravelBold");
  const std::wstring unreadable = folder.File(L"horavel-bold.ttf");
  testing_support::WriteBytes(unreadable, bold);
  ASSERT_NE(0, AddFontResourceW(unreadable.c_str()));
  settings_.Clock().font_family = L"HoravelBold";
  const long copiesBefore = comlib::FontFilesCopiedFromGdi();
  for (const int size : {100, 101, 102}) {
    settings_.Clock().font_em_height = size;
    display_.Apply(display::kClockPlace);
  }
  EXPECT_EQ(copiesBefore + 1, comlib::FontFilesCopiedFromGdi());
  SendMessageW(clock_->Window(), WM_FONTCHANGE, 0, 0);
  EXPECT_EQ(copiesBefore + 2, comlib::FontFilesCopiedFromGdi());

  RemoveFontResourceW(unreadable.c_str());
  RemoveFontResourceW(path.c_str());
  SendMessageW(clock_->Window(), WM_FONTCHANGE, 0, 0);
}

TEST_F(InProcessClock, AnswersWithTheLiveObjectCounts) {
  const UINT message = comlib::LiveObjectsMessage();
  const LRESULT gdi = SendMessageW(clock_->Window(), message, comlib::kLiveGdiObjects, 0);
  EXPECT_EQ(comlib::LiveGdiObjects(), gdi);
  EXPECT_GE(gdi, 1) << "the back buffer holds a bitmap";
  EXPECT_EQ(comlib::LiveGdiplusObjects(), SendMessageW(clock_->Window(), message, comlib::kLiveGdiplusObjects, 0));
  // The text paths the fonts keep are among the live objects, and go with the fonts.
  const LRESULT kept = SendMessageW(clock_->Window(), message, comlib::kKeptGdiplusObjects, 0);
  EXPECT_TRUE(kept > 0 && kept == comlib::KeptGdiplusObjects()) << kept;
  const long others = comlib::LiveGdiplusObjects() - static_cast<long>(kept);
  ReleaseKeptFonts();
  EXPECT_EQ(0, comlib::KeptGdiplusObjects());
  EXPECT_LE(comlib::LiveGdiplusObjects(), others);
}
