#include "comlib/popup_menu.h"

#include <algorithm>

#include "comlib/unique_handle.h"

namespace {
constexpr UINT kRecordMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_FTYPE;
constexpr UINT kReadMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_STRING | MIIM_SUBMENU | MIIM_ID | MIIM_STATE;
constexpr int kTextRoom = 260;
}  // namespace

bool ImageList_CL::LoadStrip(const std::wstring& bitmapPath, int imageWidth, COLORREF maskColour, int dpi) {
  Reset();
  // Loaded unshared: the image list copies the pixels, so the bitmap is ours to delete.
  comlib::UniqueBitmap owned(
      static_cast<HBITMAP>(LoadImageW(nullptr, bitmapPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  if (!owned) return false;
  BITMAP info{};
  GetObjectW(owned.get(), sizeof(info), &info);
  if (imageWidth <= 0) return false;
  if (dpi != dpi::kBaseDpi) {
    // Loaded again, stretched to the DPI; the unstretched strip stands in if that fails.
    HBITMAP stretched = static_cast<HBITMAP>(LoadImageW(nullptr, bitmapPath.c_str(), IMAGE_BITMAP,
                                                        dpi::Scale(info.bmWidth, dpi), dpi::Scale(info.bmHeight, dpi),
                                                        LR_LOADFROMFILE));
    if (stretched != nullptr) {
      owned.reset(stretched);
      GetObjectW(stretched, sizeof(info), &info);
      imageWidth = dpi::Scale(imageWidth, dpi);
    }
  }
  HBITMAP bitmap = owned.get();
  HIMAGELIST list = ImageList_Create(imageWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 0,
                                     std::max(1, static_cast<int>(info.bmWidth / imageWidth)));
  if (list == nullptr) return false;
  ImageList_AddMasked(list, bitmap, maskColour);
  Reset(list, false);
  return true;
}

PopupMenu_CL::~PopupMenu_CL() = default;

bool PopupMenu_CL::CreatePopup() {
  menu_.reset(CreatePopupMenu());
  return static_cast<bool>(menu_);
}

bool PopupMenu_CL::CreateMenuBar() {
  menu_.reset(CreateMenu());
  return static_cast<bool>(menu_);
}

MenuItemRecord* PopupMenu_CL::Item(size_t index) {
  if (index < items_.size()) return &items_[index];
  if (index > items_.size()) return nullptr;
  MenuItemRecord& record = items_.emplace_back();
  record.info.cbSize = sizeof(MENUITEMINFOW);
  record.info.fMask = kRecordMask;
  record.info.fType = MFT_OWNERDRAW;
  return &record;
}

const MenuItemRecord* PopupMenu_CL::FindById(UINT id) const {
  for (const MenuItemRecord& record : items_) {
    if (record.info.wID == id) return &record;
  }
  return nullptr;
}

MenuItemRecord* PopupMenu_CL::AppendText(const std::wstring& text, UINT id, int imageIndex) {
  MenuItemRecord* record = Item(items_.size());
  record->text = text;
  record->imageIndex = imageIndex;
  record->info.wID = id;
  record->info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  record->info.dwTypeData = record->text.data();
  record->info.cch = static_cast<UINT>(record->text.size());
  InsertMenuItemW(menu_.get(), GetMenuItemCount(menu_.get()), TRUE, &record->info);
  return record;
}

void PopupMenu_CL::AppendSeparator() {
  MENUITEMINFOW separator{};
  separator.cbSize = sizeof(separator);
  separator.fMask = MIIM_FTYPE;
  separator.fType = MFT_SEPARATOR;
  InsertMenuItemW(menu_.get(), GetMenuItemCount(menu_.get()), TRUE, &separator);
}

void PopupMenu_CL::SetItemState(UINT id, UINT state) {
  for (MenuItemRecord& record : items_) {
    if (record.info.wID != id) continue;
    record.info.fState = state;
    MENUITEMINFOW change{};
    change.cbSize = sizeof(change);
    change.fMask = MIIM_STATE;
    change.fState = state;
    SetMenuItemInfoW(menu_.get(), id, FALSE, &change);
  }
}

namespace menulayout {

SIZE MeasureItem(SIZE text, bool hasImages, SIZE image, int dpi) {
  SIZE item{text.cx + dpi::Scale(kTextExtraWidth, dpi), text.cy + 1};
  if (hasImages) {
    item.cx += image.cx + dpi::Scale(kImageGap, dpi);
    item.cy = std::max(item.cy, image.cy + 1);
  }
  return item;
}

SplitText SplitAtTab(const std::wstring& text) {
  const size_t tab = text.find(L'\t');
  if (tab == std::wstring::npos) return SplitText{text, std::wstring()};
  return SplitText{text.substr(0, tab), text.substr(tab + 1)};
}

}  // namespace menulayout

namespace {

// The item's text, read back from the menu; empty when there is none.
std::wstring ReadItemText(HMENU menu, UINT id) {
  wchar_t buffer[kTextRoom] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = kReadMask;
  info.dwTypeData = buffer;
  info.cch = kTextRoom;
  if (!GetMenuItemInfoW(menu, id, FALSE, &info)) return std::wstring();
  return std::wstring(buffer);
}

SIZE ImageSize(HIMAGELIST images) {
  int width = 0;
  int height = 0;
  if (images == nullptr || !ImageList_GetIconSize(images, &width, &height)) return SIZE{0, 0};
  return SIZE{width, height};
}

void MeasureMenuItem(HWND window, MEASUREITEMSTRUCT* measure) {
  auto* menu = reinterpret_cast<PopupMenu_CL*>(measure->itemData);
  if (menu == nullptr) return;
  const std::wstring text = ReadItemText(menu->Handle(), measure->itemID);
  if (text.empty()) return;
  const menulayout::SplitText split = menulayout::SplitAtTab(text);

  comlib::WindowDC dc(window);
  SIZE extent{0, 0};
  {
    comlib::SelectionScope font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32W(dc.get(), split.left.c_str(), static_cast<int>(split.left.size()), &extent);
  }
  const SIZE item = menulayout::MeasureItem(extent, menu->ImageHandle() != nullptr, ImageSize(menu->ImageHandle()),
                                             menu->Dpi());
  measure->itemWidth = static_cast<UINT>(item.cx);
  measure->itemHeight = static_cast<UINT>(item.cy);
}

COLORREF ItemTextColour(UINT state) {
  const bool selected = (state & ODS_SELECTED) != 0;
  if (state & ODS_GRAYED) return GetSysColor(selected ? COLOR_GRAYTEXT : COLOR_BTNSHADOW);
  return GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
}

// Marlett's "a" is the system's own check mark; drawn as text, it takes the
// item's text colour, selected or not.
void DrawCheckMark(HDC dc, RECT cell) {
  comlib::UniqueFont marlett(CreateFontW(cell.right - cell.left, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                         SYMBOL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH, L"Marlett"));
  comlib::SelectionScope font(dc, marlett.get());
  DrawTextW(dc, L"a", 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void DrawMenuItem(DRAWITEMSTRUCT* draw) {
  auto* menu = reinterpret_cast<PopupMenu_CL*>(draw->itemData);
  if (menu == nullptr) return;
  const MenuItemRecord* record = menu->FindById(draw->itemID);
  const std::wstring text = ReadItemText(menu->Handle(), draw->itemID);
  if (text.empty()) return;
  const menulayout::SplitText split = menulayout::SplitAtTab(text);

  HDC dc = draw->hDC;
  const COLORREF background = GetSysColor((draw->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU);
  const COLORREF foreground = ItemTextColour(draw->itemState);
  const COLORREF oldBackground = SetBkColor(dc, background);
  const COLORREF oldForeground = SetTextColor(dc, foreground);
  const int oldMode = SetBkMode(dc, TRANSPARENT);

  HIMAGELIST images = menu->ImageHandle();
  const SIZE image = ImageSize(images);
  RECT textRect = draw->rcItem;
  if (images) textRect.left += image.cx + dpi::Scale(menulayout::kImageGap, menu->Dpi());
  // A checked item shows its mark where the images stand, or before its
  // text in a menu without them.
  const int checkWidth = images ? image.cx : GetSystemMetrics(SM_CXMENUCHECK);
  if (!images && (draw->itemState & ODS_CHECKED)) textRect.left += checkWidth;
  {
    comlib::SelectionScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &draw->rcItem, nullptr, 0, nullptr);
    DrawTextW(dc, split.left.c_str(), static_cast<int>(split.left.size()), &textRect, DT_SINGLELINE | DT_VCENTER);
    textRect.right -= dpi::Scale(menulayout::kSecondColumnEndInset, menu->Dpi());
    DrawTextW(dc, split.right.c_str(), static_cast<int>(split.right.size()), &textRect,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
  // An item without a record is drawn without an image.
  if (images && record && record->imageIndex != PopupMenu_CL::kNoImage) {
    ImageList_DrawEx(images, record->imageIndex, dc, draw->rcItem.left, draw->rcItem.top, image.cx, image.cy,
                     background, foreground, ILD_NORMAL);
  } else if (draw->itemState & ODS_CHECKED) {
    DrawCheckMark(dc, RECT{draw->rcItem.left, draw->rcItem.top, draw->rcItem.left + checkWidth, draw->rcItem.bottom});
  }
  SetBkColor(dc, oldBackground);
  SetTextColor(dc, oldForeground);
  SetBkMode(dc, oldMode);
}

}  // namespace

void HandleMenuOwnerDraw(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (measure && measure->CtlType == ODT_MENU) MeasureMenuItem(window, measure);
  } else if (message == WM_DRAWITEM) {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (draw && draw->CtlType == ODT_MENU) DrawMenuItem(draw);
  }
}
