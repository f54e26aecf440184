#include "comlib/popup_menu.h"

#include <gtest/gtest.h>

#include "comlib/unique_handle.h"

TEST(MenuOwnerDraw, ItemSizeAddsRoomForTextAndImage) {
  // 60 + 48 + 24 + 4 wide; the taller of text + 1 and image + 1.
  EXPECT_EQ(136, menulayout::MeasureItem(SIZE{60, 13}, true, SIZE{24, 16}).cx);
  EXPECT_EQ(17, menulayout::MeasureItem(SIZE{60, 13}, true, SIZE{24, 16}).cy);
  EXPECT_EQ(108, menulayout::MeasureItem(SIZE{60, 13}, false, SIZE{0, 0}).cx);
  EXPECT_EQ(14, menulayout::MeasureItem(SIZE{60, 13}, false, SIZE{0, 0}).cy);
  EXPECT_EQ(21, menulayout::MeasureItem(SIZE{60, 20}, true, SIZE{24, 16}).cy);
  // At 144 DPI the room around them grows by half: 90 + 72 + 36 + 6.
  EXPECT_EQ(204, menulayout::MeasureItem(SIZE{90, 20}, true, SIZE{36, 24}, 144).cx);
}

TEST(MenuOwnerDraw, TextSplitsAtTheFirstTab) {
  EXPECT_EQ(L"Open", menulayout::SplitAtTab(L"Open\tCtrl+O\tx").left);
  EXPECT_EQ(L"Ctrl+O\tx", menulayout::SplitAtTab(L"Open\tCtrl+O\tx").right);
  EXPECT_EQ(L"Plain", menulayout::SplitAtTab(L"Plain").left);
  EXPECT_EQ(L"", menulayout::SplitAtTab(L"Plain").right);
}

TEST(PopupMenu, RecordsAreAppendedOnlyAtTheEnd) {
  PopupMenu_CL menu;
  ASSERT_TRUE(menu.CreatePopup());
  MenuItemRecord* first = menu.Item(0);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(sizeof(MENUITEMINFOW), first->info.cbSize);
  EXPECT_EQ(static_cast<UINT>(MFT_OWNERDRAW), first->info.fType);
  EXPECT_EQ(0, first->imageIndex);
  EXPECT_EQ(first, menu.Item(0));
  EXPECT_EQ(nullptr, menu.Item(5));
  EXPECT_EQ(1u, menu.ItemCount());
}

TEST(PopupMenu, MeasuresItsOwnerDrawnItemsFromTheirText) {
  PopupMenu_CL menu;
  ASSERT_TRUE(menu.CreatePopup());
  menu.AppendText(L"アプリ設定", 130, 2);
  menu.AppendSeparator();
  menu.AppendText(L"Horavelの終了", 128, 0);
  EXPECT_EQ(3, GetMenuItemCount(menu.Handle()));

  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  SIZE text{};
  {
    comlib::WindowDC dc(window);
    comlib::SelectionScope font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32W(dc.get(), L"アプリ設定", 5, &text);
  }
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemID = 130;
  measure.itemData = reinterpret_cast<ULONG_PTR>(&menu);
  HandleMenuOwnerDraw(window, WM_MEASUREITEM, reinterpret_cast<LPARAM>(&measure));
  EXPECT_EQ(static_cast<UINT>(text.cx + 48), measure.itemWidth);
  EXPECT_EQ(static_cast<UINT>(text.cy + 1), measure.itemHeight);

  // Other control types are left alone.
  MEASUREITEMSTRUCT other{};
  other.CtlType = ODT_LISTBOX;
  other.itemID = 130;
  other.itemData = reinterpret_cast<ULONG_PTR>(&menu);
  HandleMenuOwnerDraw(window, WM_MEASUREITEM, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(0u, other.itemWidth);
  DestroyWindow(window);
}
