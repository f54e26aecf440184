#pragma once
// A popup menu with owner-drawn items and the image list they draw from.

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <string>

#include "comlib/unique_handle.h"
#include "comlib/window_dpi.h"

class ImageList_CL {
 public:
  ImageList_CL() = default;
  ImageList_CL(HIMAGELIST list, bool shared) : list_(list), shared_(shared) {}
  virtual ~ImageList_CL() { Reset(); }
  ImageList_CL(const ImageList_CL&) = delete;
  ImageList_CL& operator=(const ImageList_CL&) = delete;

  HIMAGELIST get() const { return list_; }
  void Reset(HIMAGELIST list = nullptr, bool shared = false) {
    if (list_ && !shared_) ImageList_Destroy(list_);
    list_ = list;
    shared_ = shared;
  }

  // A strip of images side by side, each imageWidth wide; pixels of the mask
  // colour become transparent. Loads nothing when the file cannot be read.
  // The images are drawn for 96 DPI and stretched to the given DPI.
  bool LoadStrip(const std::wstring& bitmapPath, int imageWidth, COLORREF maskColour, int dpi = dpi::kBaseDpi);

 private:
  HIMAGELIST list_ = nullptr;
  bool shared_ = false;
};

// One inserted item: how it was inserted and which image it shows.
struct MenuItemRecord {
  MENUITEMINFOW info{};
  int imageIndex = 0;  // -1 for none
  std::wstring text;   // owns the text that info points at
};

class PopupMenu_CL {
 public:
  static constexpr int kNoImage = -1;

  PopupMenu_CL() = default;
  virtual ~PopupMenu_CL();
  PopupMenu_CL(const PopupMenu_CL&) = delete;
  PopupMenu_CL& operator=(const PopupMenu_CL&) = delete;

  virtual bool CreatePopup();
  virtual bool CreateMenuBar();

  // The record at index; the index one past the end appends a fresh
  // owner-drawn record. Null beyond that.
  MenuItemRecord* Item(size_t index);
  // The first record whose command id is id, or null.
  const MenuItemRecord* FindById(UINT id) const;
  size_t ItemCount() const { return items_.size(); }

  // Appends an owner-drawn text item whose item data is this menu.
  MenuItemRecord* AppendText(const std::wstring& text, UINT id, int imageIndex);
  void AppendSeparator();
  void SetItemState(UINT id, UINT state);

  HMENU Handle() const { return menu_.get(); }
  ImageList_CL& Images() { return images_; }
  HIMAGELIST ImageHandle() const { return images_.get(); }
  // The DPI the menu's room around texts and images follows.
  void SetDpi(int dotsPerInch) { dpi_ = dotsPerInch; }
  int Dpi() const { return dpi_; }

 private:
  comlib::UniqueMenu menu_;
  std::deque<MenuItemRecord> items_;  // a deque keeps records in place as it grows
  ImageList_CL images_;
  int dpi_ = dpi::kBaseDpi;
};

// Measures and paints owner-drawn items of a PopupMenu_CL: WM_MEASUREITEM and
// WM_DRAWITEM of type ODT_MENU; anything else is left alone.
void HandleMenuOwnerDraw(HWND window, UINT message, LPARAM lParam);

namespace menulayout {

// Room an item takes around its text, and between its image and text, at 96 DPI.
constexpr int kTextExtraWidth = 48;
constexpr int kImageGap = 4;
constexpr int kSecondColumnEndInset = 24;

// The size of an item whose left text measures `text`, with images of size
// `image` when the menu has an image list.
SIZE MeasureItem(SIZE text, bool hasImages, SIZE image, int dpi = dpi::kBaseDpi);

// A menu text split at its first tab: the label and the right-aligned column.
struct SplitText {
  std::wstring left;
  std::wstring right;
};
SplitText SplitAtTab(const std::wstring& text);

}  // namespace menulayout
