#include "view/context_menu.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app_ids.h"
#include "comlib/unique_handle.h"
#include "support/test_support.h"

namespace {

using testing_support::ProgramFolder;
using testing_support::TempFolder;
using testing_support::WaitUntil;

constexpr UINT kSentinelMessage = WM_APP + 7;
constexpr UINT_PTR kWatchdogTimerId = 1;
constexpr UINT kWatchdogMs = 10000;

// A hidden window that owns the menu the way the clock does: it hands its
// messages to HandleMenuOwnerDraw, receives the chosen command, and plays the
// keys a user would press while the menu waits for input.
class MenuOwner {
 public:
  explicit MenuOwner(std::vector<WPARAM> keys) : keys_(std::move(keys)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &MenuOwner::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExW(0, kClassName, L"menu owner", WS_POPUP, 100, 100, 50, 50, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    // Closes a menu that the keys failed to close, so that a fault fails the test instead of hanging it.
    SetTimer(window_, kWatchdogTimerId, kWatchdogMs, nullptr);
  }
  ~MenuOwner() { DestroyWindow(window_); }
  MenuOwner(const MenuOwner&) = delete;
  MenuOwner& operator=(const MenuOwner&) = delete;

  HWND get() const { return window_; }

  // Lets every message posted while the menu was open arrive.
  void Settle() {
    PostMessageW(window_, kSentinelMessage, 0, 0);
    EXPECT_TRUE(WaitUntil([this] { return sentinelSeen_; }, 5000));
    sentinelSeen_ = false;
  }

  std::vector<WPARAM> commands;
  std::map<UINT, SIZE> measured;  // item id -> size given by HandleMenuOwnerDraw
  size_t keysPosted = 0;
  bool watchdogFired = false;

 private:
  static constexpr wchar_t kClassName[] = L"HoravelTestMenuOwner";

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* owner = reinterpret_cast<MenuOwner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    HandleMenuOwnerDraw(window, message, lParam);
    if (owner != nullptr && owner->Handle(window, message, wParam, lParam)) return TRUE;
    return DefWindowProcW(window, message, wParam, lParam);
  }

  bool Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_MEASUREITEM: {
        const auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_MENU) return false;
        measured[measure->itemID] = SIZE{static_cast<LONG>(measure->itemWidth), static_cast<LONG>(measure->itemHeight)};
        return true;
      }
      case WM_ENTERIDLE:
        // One key each time the menu waits, as a user types: a key may cause
        // further messages that the menu handles before the next one.
        if (wParam == MSGF_MENU && keysPosted < keys_.size()) {
          const UINT key = static_cast<UINT>(keys_[keysPosted++]);
          const LPARAM repeatAndScan = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
          PostMessageW(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, key, repeatAndScan);
        }
        return false;
      case WM_COMMAND:
        commands.push_back(wParam);
        return true;
      case WM_TIMER:
        if (wParam != kWatchdogTimerId) return false;
        KillTimer(window, kWatchdogTimerId);
        watchdogFired = true;
        EndMenu();
        return true;
      case kSentinelMessage:
        sentinelSeen_ = true;
        return true;
      default:
        return false;
    }
  }

  std::vector<WPARAM> keys_;
  HWND window_ = nullptr;
  bool sentinelSeen_ = false;
};

struct MenuEntry {
  UINT type;
  UINT id;
  std::wstring text;
  UINT state;
  ULONG_PTR data;
};

std::vector<MenuEntry> ReadMenu(HMENU menu) {
  std::vector<MenuEntry> entries;
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    wchar_t text[260] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_DATA;
    info.dwTypeData = text;
    info.cch = 260;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
    entries.push_back(MenuEntry{info.fType, info.wID, text, info.fState, info.dwItemData});
  }
  return entries;
}

// Ids of the display items, and of those greyed, for a menu built from count and index.
struct DisplayItems {
  std::vector<UINT> ids;
  std::vector<UINT> greyed;
};
DisplayItems DisplayItemsFor(int count, int displayIndex) {
  PopupMenu_CL menu;
  EXPECT_TRUE(menu.CreatePopup());
  contextmenu::Build(menu, {count, displayIndex}, L"");
  DisplayItems items;
  for (const MenuEntry& entry : ReadMenu(menu.Handle())) {
    if (entry.id < kCommandFirstDisplay || entry.id > kCommandLastDisplay) continue;
    items.ids.push_back(entry.id);
    if (entry.state & MFS_GRAYED) items.greyed.push_back(entry.id);
  }
  return items;
}

// The width and height of an item with this text, measured as the menu does.
SIZE TextExtent(HWND window, const std::wstring& text) {
  SIZE extent{};
  comlib::WindowDC dc(window);
  comlib::SelectionScope font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent;
}

}  // namespace

TEST(ContextMenuText, DisplaysAreCountedFromOneInFullWidthDigits) {
  EXPECT_EQ(L"ディスプレイ１ に表示", contextmenu::DisplayItemText(0));
  EXPECT_EQ(L"ディスプレイ２ に表示", contextmenu::DisplayItemText(1));
  EXPECT_EQ(L"ディスプレイ９ に表示", contextmenu::DisplayItemText(8));
  EXPECT_EQ(L"ディスプレイ１０ に表示", contextmenu::DisplayItemText(9));
  EXPECT_EQ(L"ディスプレイ３２ に表示", contextmenu::DisplayItemText(31));
}

TEST(ContextMenu, ItemsComeInOrderWithTheirIdsTextsAndImages) {
  TempFolder folder;
  PopupMenu_CL menu;
  ASSERT_TRUE(menu.CreatePopup());
  contextmenu::Build(menu, {3, 1, true}, folder.File(L"missing.bmp"));

  const ULONG_PTR self = reinterpret_cast<ULONG_PTR>(&menu);
  const std::vector<MenuEntry> expected = {
      {MFT_OWNERDRAW, 130, L"アプリ設定", 0, self},
      {MFT_SEPARATOR, 0, L"", 0, 0},
      {MFT_OWNERDRAW, 200, L"ディスプレイ１ に表示", 0, self},
      {MFT_OWNERDRAW, 201, L"ディスプレイ２ に表示", MFS_GRAYED, self},
      {MFT_OWNERDRAW, 202, L"ディスプレイ３ に表示", 0, self},
      {MFT_OWNERDRAW, 131, L"すべてのディスプレイに表示", MFS_CHECKED, self},
      {MFT_SEPARATOR, 0, L"", 0, 0},
      {MFT_OWNERDRAW, 127, L"サポートサイトへ", 0, self},
      {MFT_SEPARATOR, 0, L"", 0, 0},
      {MFT_OWNERDRAW, 128, L"Horavelの終了", 0, self},
  };
  const std::vector<MenuEntry> entries = ReadMenu(menu.Handle());
  ASSERT_EQ(expected.size(), entries.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].type, entries[i].type & (MFT_OWNERDRAW | MFT_SEPARATOR));
    EXPECT_EQ(expected[i].id, entries[i].id);
    EXPECT_EQ(expected[i].text, entries[i].text);
    EXPECT_EQ(expected[i].state, entries[i].state & (MFS_GRAYED | MFS_CHECKED));
    EXPECT_EQ(expected[i].data, entries[i].data);
  }

  // Separators are not kept as records; each text item has its image.
  const std::vector<std::pair<UINT, int>> records = {{130, 2}, {200, 0}, {201, 0}, {202, 0},
                                                     {131, -1}, {127, 3}, {128, 0}};
  ASSERT_EQ(records.size(), menu.ItemCount());
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].first, menu.Item(i)->info.wID);
    EXPECT_EQ(records[i].second, menu.Item(i)->imageIndex);
  }
}

TEST(ContextMenu, OnlyTheCurrentDisplayIsGreyed) {
  const DisplayItems one = DisplayItemsFor(1, 0);
  EXPECT_EQ(std::vector<UINT>{200}, one.ids);
  EXPECT_EQ(std::vector<UINT>{200}, one.greyed);

  EXPECT_EQ((std::vector<UINT>{202}), DisplayItemsFor(3, 2).greyed);

  // A display that is no longer there greys nothing.
  const DisplayItems beyond = DisplayItemsFor(2, 2);
  EXPECT_EQ((std::vector<UINT>{200, 201}), beyond.ids);
  EXPECT_TRUE(beyond.greyed.empty());
  EXPECT_TRUE(DisplayItemsFor(2, -1).greyed.empty());

  // The clock takes display commands up to 231 only.
  const DisplayItems many = DisplayItemsFor(40, 35);
  ASSERT_EQ(32u, many.ids.size());
  EXPECT_EQ(231u, many.ids.back());
  EXPECT_TRUE(many.greyed.empty());
}

TEST(ContextMenu, ImagesComeFromTheStripBesideTheProgram) {
  EXPECT_EQ(ProgramFolder() + L"\\menu_image.bmp", contextmenu::MenuImagePath());

  PopupMenu_CL withImages;
  ASSERT_TRUE(withImages.CreatePopup());
  contextmenu::Build(withImages, {1, 0}, contextmenu::MenuImagePath());
  ASSERT_NE(nullptr, withImages.ImageHandle());
  int width = 0;
  int height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(withImages.ImageHandle(), &width, &height));
  EXPECT_EQ(24, width);
  EXPECT_GT(height, 0);
  EXPECT_GE(ImageList_GetImageCount(withImages.ImageHandle()), 4);  // images 0, 2 and 3 are used

  // At 144 DPI the images are half as large again, and as many.
  PopupMenu_CL scaled;
  ASSERT_TRUE(scaled.CreatePopup());
  scaled.SetDpi(144);
  contextmenu::Build(scaled, {1, 0}, contextmenu::MenuImagePath());
  int scaledWidth = 0;
  int scaledHeight = 0;
  ASSERT_TRUE(ImageList_GetIconSize(scaled.ImageHandle(), &scaledWidth, &scaledHeight));
  EXPECT_EQ(36, scaledWidth);
  EXPECT_EQ(height * 3 / 2, scaledHeight);
  EXPECT_EQ(ImageList_GetImageCount(withImages.ImageHandle()), ImageList_GetImageCount(scaled.ImageHandle()));

  TempFolder folder;
  PopupMenu_CL without;
  ASSERT_TRUE(without.CreatePopup());
  contextmenu::Build(without, {1, 0}, folder.File(L"menu_image.bmp"));
  EXPECT_EQ(nullptr, without.ImageHandle());
  EXPECT_EQ(8, GetMenuItemCount(without.Handle()));
}

TEST(ContextMenu, ChosenDisplayReachesTheOwnerAsACommand) {
  // The first item, then the first two displays.
  MenuOwner owner({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  ShowContextMenu(owner.get(), {3, 2});
  owner.Settle();

  EXPECT_EQ(4u, owner.keysPosted);
  EXPECT_FALSE(owner.watchdogFired);
  EXPECT_EQ(std::vector<WPARAM>{201}, owner.commands);

  // The items were measured through HandleMenuOwnerDraw, with room for an image.
  ASSERT_EQ(1u, owner.measured.count(kCommandSettings));
  const SIZE text = TextExtent(owner.get(), L"アプリ設定");
  EXPECT_EQ(text.cx + 48 + 24 + 4, owner.measured[kCommandSettings].cx);
  EXPECT_GE(owner.measured[kCommandSettings].cy, text.cy + 1);
}

TEST(ContextMenu, WorksWithoutImages) {
  TempFolder folder;
  PopupMenu_CL menu;
  ASSERT_TRUE(menu.CreatePopup());
  contextmenu::Build(menu, {1, 0}, folder.File(L"menu_image.bmp"));
  MenuOwner owner({VK_DOWN, VK_RETURN});
  contextmenu::TrackAtCursor(menu, owner.get());
  owner.Settle();

  EXPECT_FALSE(owner.watchdogFired);
  EXPECT_EQ(std::vector<WPARAM>{kCommandSettings}, owner.commands);
  const SIZE text = TextExtent(owner.get(), L"アプリ設定");
  ASSERT_EQ(1u, owner.measured.count(kCommandSettings));
  EXPECT_EQ(text.cx + 48, owner.measured[kCommandSettings].cx);
  EXPECT_EQ(text.cy + 1, owner.measured[kCommandSettings].cy);
}

TEST(ContextMenu, GreyedDisplayCannotBeChosen) {
  // Down to the second display, which the clock is on, try it, then leave.
  MenuOwner owner({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE});
  ShowContextMenu(owner.get(), {3, 1});
  owner.Settle();

  // Escape is only needed when the menu stays open after the refused choice.
  EXPECT_GE(owner.keysPosted, 4u);
  EXPECT_FALSE(owner.watchdogFired);
  EXPECT_TRUE(owner.commands.empty());
}

TEST(ContextMenu, ClosingWithoutAChoiceSendsNothing) {
  MenuOwner owner({VK_ESCAPE});
  ShowContextMenu(owner.get(), {2, 0});
  owner.Settle();

  EXPECT_EQ(1u, owner.keysPosted);
  EXPECT_FALSE(owner.watchdogFired);
  EXPECT_TRUE(owner.commands.empty());
}
