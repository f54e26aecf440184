// The real program's texts in the language its locale, or its settings, ask
// for: the update notice, the icon's menu and the settings sheet, compared
// with the tables. scripts/test runs this under a Japanese and under an
// English locale.

#include <windows.h>

#include <gtest/gtest.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "comlib/control_factory.h"
#include "comlib/popup_menu.h"
#include "comlib/ui_text.h"
#include "comlib/update_dialog.h"
#include "comlib/window_dpi.h"
#include "product.h"
#include "support/loopback_server.h"
#include "support/program_data.h"
#include "support/program_process.h"
#include "support/screen_pixels.h"
#include "support/settings_sheet.h"
#include "support/test_support.h"
#include "support/window_checks.h"
#include "view/context_menu.h"

using namespace testing_support;

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr wchar_t kPublished[] = L"9.9.9.9";
// Both menus open here, so that the same texts give the same pixels.
constexpr POINT kMenuCorner{400, 420};
constexpr TextId kTabs[] = {TextId::kClockPage,    TextId::kClockFontPage,  TextId::kClockColourPage, TextId::kDatePage,
                            TextId::kDateFontPage, TextId::kDateColourPage, TextId::kZonePage,
                            TextId::kTimeSyncPage, TextId::kVersionPage};

BOOL CALLBACK CollectChild(HWND child, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
  return TRUE;
}

// Every control below the window whose class is `className`.
std::vector<HWND> Controls(HWND parent, const wchar_t* className) {
  std::vector<HWND> all;
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> found;
  for (HWND control : all) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    if (_wcsicmp(name, className) == 0) found.push_back(control);
  }
  return found;
}

// A table text of the language, or a text made from one: a bar's label
// with its value, the version with its number.
bool ComesFromTable(const std::wstring& text, UiLanguage language) {
  if (text.empty() || text == kColumnSpacerText) return true;
  for (int index = 0; index < static_cast<int>(TextId::kCount); ++index) {
    const std::wstring entry = UiText(static_cast<TextId>(index), language);
    const size_t slot = entry.find(L"%s");
    const std::wstring fixed = slot != std::wstring::npos ? entry.substr(0, slot) : entry.back() == L'(' ? entry : L"";
    if (text == entry || (!fixed.empty() && text.compare(0, fixed.size(), fixed) == 0)) return true;
  }
  return false;
}

// The icon's menu as this test program builds it from the table: the owner
// takes its picture once the menu waits for input, then closes it.
class ReferenceMenu {
 public:
  explicit ReferenceMenu(UiLanguage language) {
    ScopedUiLanguage inLanguage(language);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &ReferenceMenu::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when already registered
    HWND owner =
        CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    PopupMenu_CL menu;
    if (owner != nullptr && menu.CreatePopup()) {
      menu.SetDpi(dpi::ForWindow(owner));
      contextmenu::Build(menu, {GetSystemMetrics(SM_CMONITORS), 0}, contextmenu::MenuImagePath());
      for (int item = 0; item < GetMenuItemCount(menu.Handle()); ++item) {
        wchar_t text[64] = {};
        if (GetMenuStringW(menu.Handle(), static_cast<UINT>(item), text, 64, MF_BYPOSITION) > 0) texts.push_back(text);
      }
      SetCursorPos(kMenuCorner.x, kMenuCorner.y);
      contextmenu::TrackAtCursor(menu, owner);
    }
    if (owner != nullptr) DestroyWindow(owner);
  }

  ScreenPixels pixels;
  // Its items' texts, separators left out.
  std::vector<std::wstring> texts;

 private:
  static constexpr wchar_t kClassName[] = L"HoravelTestReferenceMenu";

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    HandleMenuOwnerDraw(window, message, lParam);
    auto* self = reinterpret_cast<ReferenceMenu*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && self != nullptr && self->pixels.width == 0) {
      HWND menuWindow = reinterpret_cast<HWND>(lParam);
      UpdateWindow(menuWindow);
      self->pixels = CaptureScreen(WindowRect(menuWindow));
      PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};

// The menu's texts as the table gives them, for every monitor there is.
std::vector<std::wstring> MenuTexts(UiLanguage language) {
  std::vector<std::wstring> texts = {UiText(TextId::kMenuSettings, language)};
  const wchar_t zero = UiText(TextId::kMenuDisplayDigitZero, language)[0];
  for (int display = 1; display <= GetSystemMetrics(SM_CMONITORS); ++display) {
    std::wstring number = std::to_wstring(display);
    for (wchar_t& digit : number) digit = static_cast<wchar_t>(zero + (digit - L'0'));
    ScopedUiLanguage inLanguage(language);
    texts.push_back(UiTextWith(TextId::kMenuDisplay, {number}));
  }
  texts.push_back(UiText(TextId::kEveryDisplay, language));
  texts.push_back(UiText(TextId::kMenuSupportSite, language));
  texts.push_back(UiText(TextId::kMenuExit, language));
  return texts;
}

HWND ShownMenu(DWORD processId) {
  for (HWND menu : FindTopLevelWindows(L"", processId, L"#32768")) {
    if (IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

// Opens the program's menu at kMenuCorner as a right click on its icon
// does; true once the screen shows exactly the expected menu.
bool ProgramMenuLooksLike(const ScreenPixels& expected, HWND clock, DWORD processId) {
  SetCursorPos(kMenuCorner.x, kMenuCorner.y);
  PostMessageW(clock, kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  if (!WaitUntil([&] { return (menu = ShownMenu(processId)) != nullptr; }, kTimeoutMs)) return false;
  const bool same = WaitUntil([&] { return CaptureScreen(WindowRect(menu)).rgb == expected.rgb; }, 3000);
  PostMessageW(clock, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return ShownMenu(processId) == nullptr; }, kTimeoutMs));
  return same;
}

}  // namespace

TEST(ProgramLanguage, NoticeMenuAndSheetSpeakTheLocalesLanguageUnlessTheSettingsChoose) {
  const UiLanguage locale = ChooseUiLanguage(L"auto", GetUserDefaultUILanguage());
  wchar_t lang[64] = {};
  GetEnvironmentVariableW(L"LANG", lang, 64);
  ASSERT_EQ(_wcsnicmp(lang, L"ja", 2) == 0 ? UiLanguage::kJapanese : UiLanguage::kEnglish, locale)
      << "Wine follows LANG only where glibc has the locale";
  CursorKept cursor;
  const ReferenceMenu japaneseMenu(UiLanguage::kJapanese);
  const ReferenceMenu englishMenu(UiLanguage::kEnglish);
  ASSERT_NE(japaneseMenu.pixels.rgb, englishMenu.pixels.rgb) << "the pictures tell the languages apart";
  EXPECT_EQ(MenuTexts(UiLanguage::kJapanese), japaneseMenu.texts);
  EXPECT_EQ(MenuTexts(UiLanguage::kEnglish), englishMenu.texts);

  const struct {
    const wchar_t* setting;  // null: no key, as in a new settings file
    UiLanguage expected;
  } cases[] = {{nullptr, locale}, {L"ja", UiLanguage::kJapanese}, {L"en", UiLanguage::kEnglish}};
  for (const auto& each : cases) {
    SCOPED_TRACE(each.setting != nullptr ? each.setting : L"(none)");
    ScopedUiLanguage texts(each.expected);
    LoopbackHttpServer server;
    server.Answer(HttpResponse("9.9.9.9\r\nhttps://127.0.0.1/download\r\n"));
    ResetProgramData();
    if (each.setting != nullptr) SetProgramSetting(L"CLOCK_DISP", L"language", each.setting);
    SetProgramSetting(L"VERSION", L"notify", 0);
    SetProgramSetting(L"VERSION", L"update_url", server.Url());
    SetProgramSetting(L"VERSION", L"next_version", kPublished);
    SetProgramSetting(L"VERSION", L"next_notify", L"00000000:00000001");

    // The notice, found by its caption.
    ProgramProcess program;
    ASSERT_TRUE(program.Start());
    HWND notice = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (notice = FindUpdateNotice(program.Id())) != nullptr; }, kTimeoutMs));
    const std::vector<HWND> noticeTexts = Controls(notice, L"Static");
    ASSERT_EQ(1u, noticeTexts.size());
    // It names the host its site button leads to: the update server's own.
    EXPECT_EQ(NoticeText(kPublished, product::kVersion, L"127.0.0.1"), ControlText(noticeTexts[0]));
    EXPECT_EQ(UiText(TextId::kNoticeOpenSite), ControlText(GetDlgItem(notice, UpdateDialog_CL::kOpenSiteButtonId)));
    HWND later = GetDlgItem(notice, UpdateDialog_CL::kLaterButtonId);
    EXPECT_EQ(UiText(TextId::kNoticeLater), ControlText(later));
    PostMessageW(later, BM_CLICK, 0, 0);
    HWND clock = WaitForWindows(program);
    ASSERT_NE(nullptr, clock);

    const ReferenceMenu& expectedMenu = each.expected == UiLanguage::kJapanese ? japaneseMenu : englishMenu;
    EXPECT_TRUE(ProgramMenuLooksLike(expectedMenu.pixels, clock, program.Id()));

    // The sheet, found by its caption; its tabs; every label, box, button and frame on every page.
    HWND sheet = OpenSettingsSheet(clock, program.Id());
    ASSERT_NE(nullptr, sheet);
    std::vector<std::wstring> tabs;
    for (TextId tab : kTabs) tabs.push_back(UiText(tab));
    EXPECT_EQ(tabs, TabTitles(program.Id(), sheet));
    for (size_t tab = 0; tab < std::size(kTabs); ++tab) {
      SendMessageW(sheet, PSM_SETCURSEL, tab, 0);
      HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
      for (const wchar_t* kind : {L"Static", L"Button"}) {
        for (HWND control : Controls(page, kind)) {
          EXPECT_TRUE(ComesFromTable(ControlText(control), each.expected)) << tab << ": " << ControlText(control);
        }
      }
    }
    EXPECT_TRUE(PressSheetButton(sheet, clock, PSBTN_CANCEL));
    program.End();
  }
}
